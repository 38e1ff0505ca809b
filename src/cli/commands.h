// The commands of the command-line tool. Each takes the arguments after its
// name and returns the process exit code: 0 success, 1 failure, 2 bad usage.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

int RunInfoCommand(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunOpCommand(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunExportCommand(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunConvertCommand(const CliArgs& args, std::ostream& out, std::ostream& err);

class CIconmillApp;
// What `info --json` prints for the application's compilation.
std::string InfoJsonText(CIconmillApp& app);

// The usage text of every command.
extern const char* const kInfoUsage;
extern const char* const kOpUsage;
extern const char* const kExportUsage;
extern const char* const kConvertUsage;
