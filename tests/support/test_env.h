// What a test needs from outside this clone: the shared corpus and the peer
// programs it compares with.
#pragma once

#include <gtest/gtest.h>

#include <string>

// True when CI=true (or CI=1) is set: whatever a test needs from outside the
// clone must then be there, and its absence fails the test instead of skipping it.
bool StrictEnvironment();

// Under ctest every test carries its labels in ICONMILL_TEST_LABELS (see
// tests/CMakeLists.txt). Adds a failure when `label` is not among them, so a test
// that starts reading the corpus or running a program without being labelled for
// it is caught; `what` names the need in the message. Outside ctest it does nothing.
void ExpectLabelled(const char* label, const std::string& what);

// Skips the running test, or fails it under CI=true; `reason` may stream (a << b).
// Only in a function returning void, like GTEST_SKIP.
#define SKIP_OR_FAIL(reason)                                            \
    do {                                                                \
        if (StrictEnvironment()) {                                      \
            GTEST_FAIL() << "CI=true, so this is a failure: " << reason; \
        } else {                                                        \
            GTEST_SKIP() << reason;                                     \
        }                                                               \
    } while (false)
