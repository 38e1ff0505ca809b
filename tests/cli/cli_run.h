// Runs iconmill-cli in-process and keeps what it printed, for the tool's tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}
