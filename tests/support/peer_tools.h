// The programs the tests compare our output with (icotool, pngcheck, python3
// with PIL, a C compiler). Tests that use them are labelled "tool".
#pragma once

#include <optional>
#include <string>

#include "support/test_env.h"

// Whether `program` is on the PATH.
bool HaveProgram(const std::string& program);

// Whether `program` is on the PATH, for a test that checks more when it is and
// goes on without it; under ICONMILL_STRICT=1 its absence also fails the running test.
bool OptionalProgram(const std::string& program);

// A python3 that can import PIL, or nullopt.
std::optional<std::string> PythonWithPil();

// Runs a command and returns what it printed on stdout (and on stderr too when
// asked), or nullopt when the program is not installed. The exit status is not
// looked at. Throws when the command cannot be started.
std::optional<std::string> RunTool(const std::string& program, const std::string& arguments,
                                   bool withStderr = false);

// Skips the running test (fails it under ICONMILL_STRICT=1) when `program` is not installed;
// `package` says where it comes from.
#define REQUIRE_PROGRAM(program, package)                                     \
    do {                                                                      \
        if (!HaveProgram(program))                                            \
            SKIP_OR_FAIL((program) << " (" << (package) << ") is not installed"); \
    } while (false)

// Declares `var`, a python3 with PIL, or skips (fails under ICONMILL_STRICT=1) without one.
#define REQUIRE_PYTHON_WITH_PIL(var)                                            \
    const std::optional<std::string> var##_opt = PythonWithPil();               \
    if (!var##_opt) {                                                           \
        SKIP_OR_FAIL("python3 with PIL (python3-pil) is not installed");        \
    }                                                                           \
    const std::string var = *var##_opt
