#include "cli/cli.h"

#include <ostream>

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    (void)args;
    (void)err;
    out << "usage: iconmill-cli info FILE...\n";
    return 0;
}
