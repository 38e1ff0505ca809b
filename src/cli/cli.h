// The command-line tool's commands, callable in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs iconmill-cli with its arguments (without the program name); output goes to
// `out`, messages and errors to `err`. Returns the process exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
