#include "app/command_line.h"

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

ShellAction ShellActionOfSwitch(std::string_view name) {
    struct Switch {
        const char* name;
        ShellAction action;
    };
    static constexpr Switch kSwitches[] = {
        {"EnableShellIntegration", kShellActionEnable},
        {"DisableShellIntegration", kShellActionDisable},
        {"Install", kShellActionInstall},
        {"Uninstall", kShellActionUninstall},
    };
    for (const Switch& s : kSwitches)
        if (EqualsIgnoringCase(name, s.name)) return s.action;
    return kShellActionNone;
}

void CAppCommandLineInfo::ParseParam(std::string_view parameter) {
    if (parameter.empty()) return;
    const bool flag = parameter.front() == '/' || parameter.front() == '-';
    if (flag) {
        if (const ShellAction action = ShellActionOfSwitch(parameter.substr(1))) {
            shellAction = action;
            return;
        }
        // On this system '/' begins every absolute path: only '-' marks an option.
        if (parameter.front() == '-') return;
    }
    if (fileName.empty()) fileName = std::string(parameter);
}

CAppCommandLineInfo CAppCommandLineInfo::Parse(const std::vector<std::string>& arguments) {
    CAppCommandLineInfo info;
    for (const std::string& argument : arguments) info.ParseParam(argument);
    return info;
}
