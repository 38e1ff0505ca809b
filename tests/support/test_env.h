// What a test needs from outside this clone: the shared corpus and the peer
// programs it compares with.
#pragma once

#include <gtest/gtest.h>

#include <string>

// True when ICONMILL_STRICT=1 (or true) is set: whatever a test needs from outside
// the clone must then be there, and its absence fails the test instead of
// skipping it. Not CI=true: most CI services set that on machines that have no
// ../shared beside the clone, where the corpus tests must skip.
bool StrictEnvironment();

// Under ctest every test carries its labels in ICONMILL_TEST_LABELS (see
// tests/CMakeLists.txt). Adds a failure when `label` is not among them, so a test
// that starts reading the corpus or running a program without being labelled for
// it is caught; `what` names the need in the message. Outside ctest it does nothing.
void ExpectLabelled(const char* label, const std::string& what);

// Skips the running test, or fails it under ICONMILL_STRICT=1; `reason` may stream (a << b).
// Only in a function returning void, like GTEST_SKIP.
#define SKIP_OR_FAIL(reason)                                            \
    do {                                                                \
        if (StrictEnvironment()) {                                      \
            GTEST_FAIL() << "ICONMILL_STRICT=1, so this is a failure: " << reason; \
        } else {                                                        \
            GTEST_SKIP() << reason;                                     \
        }                                                               \
    } while (false)
