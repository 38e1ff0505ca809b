#include "cli/cli.h"

#include <ostream>

#include "cli/commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const CliArgs&, std::ostream&, std::ostream&);
    const char* const* usage;
};

const Command kCommands[] = {
    {"info", RunInfoCommand, &kInfoUsage},
    {"op", RunOpCommand, &kOpUsage},
    {"export", RunExportCommand, &kExportUsage},
    {"convert", RunConvertCommand, &kConvertUsage},
};

void PrintHelp(std::ostream& out) {
    out << "iconmill-cli: the editor's file commands without a window.\n\n"
           "usage: iconmill-cli COMMAND [OPTIONS] ...\n\n";
    for (const Command& command : kCommands) out << *command.usage << '\n';
    out << "A failure prints the message the editor would show to stderr and exits with 1;\n"
           "a usage error exits with 2. Questions are never asked: each takes its default\n"
           "answer (Yes, or OK) unless its command says otherwise (convert's --yes).\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    for (const Command& command : kCommands) {
        if (args[0] == command.name)
            return command.run(CliArgs(args.begin() + 1, args.end()), out, err);
    }
    err << "iconmill-cli: unknown command '" << args[0] << "' (see --help)\n";
    return 2;
}
