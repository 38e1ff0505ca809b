#include "support/peer_tools.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

bool HaveProgram(const std::string& program) {
    ExpectLabelled("tool", program);
    const std::string probe = "command -v '" + program + "' >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

bool OptionalProgram(const std::string& program) {
    const bool found = HaveProgram(program);
    if (!found && StrictEnvironment())
        ADD_FAILURE() << "ICONMILL_STRICT=1, so this is a failure: " << program << " is not installed";
    return found;
}

std::optional<std::string> PythonWithPil() {
    ExpectLabelled("tool", "python3 with PIL");
    for (const char* python : {"python3", "/usr/bin/python3"}) {
        const std::string command = std::string(python) + " -c 'import PIL' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) return python;
    }
    return std::nullopt;
}

std::optional<std::string> RunTool(const std::string& program, const std::string& arguments,
                                   bool withStderr) {
    if (!HaveProgram(program)) return std::nullopt;
    const std::string command =
        program + " " + arguments + (withStderr ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot start: " + command);
    std::string output;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
    return output;
}
