// Runs iconmill-cli in-process and keeps what it printed, for the tool's tests.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
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

// The standard output of a shell command, or nullopt when it fails.
inline std::optional<std::string> ShellOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return std::nullopt;
    std::string text;
    std::array<char, 512> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        text.append(buffer.data(), n);
    if (pclose(pipe.release()) != 0) return std::nullopt;
    return text;
}
