// The program's command line: one file to open, or one of four switches that
// manage the desktop integration instead of starting the editor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum ShellAction : std::int32_t {
    kShellActionNone = 0,
    kShellActionEnable = 1,     // "EnableShellIntegration"
    kShellActionDisable = 2,    // "DisableShellIntegration"
    kShellActionInstall = 3,    // "Install"
    kShellActionUninstall = 4,  // "Uninstall"
};

class CAppCommandLineInfo {
public:
    // Reads the arguments after the program name, in order.
    static CAppCommandLineInfo Parse(const std::vector<std::string>& arguments);

    // One parameter. A switch is a parameter that begins with '/' or '-' and
    // names one of the four actions, ignoring case; the last one given wins.
    // Other parameters beginning with '-' are options of no meaning here and are
    // ignored. Every other parameter, including an absolute path such as
    // "/home/a.ico", is a file: the first one is opened, the rest are ignored.
    void ParseParam(std::string_view parameter);

    std::int32_t shellAction = kShellActionNone;
    std::string fileName;  // empty: none
};

// The action a switch name (without its '/' or '-') names, ignoring case;
// kShellActionNone for any other text.
ShellAction ShellActionOfSwitch(std::string_view name);
