// The program's place on the user's desktop: its desktop entry and icon in
// $XDG_DATA_HOME, its open-with associations in $XDG_CONFIG_HOME/mimeapps.list,
// and the four actions the command-line switches perform on them.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

class Interaction;

// The desktop file id and the icon name the entry and the windows use.
inline constexpr std::string_view kDesktopFileId = "Korvath.Iconmill.desktop";
inline constexpr std::string_view kIconName = "Korvath.Iconmill";

// The types of the seven extensions the editor opens, as the shared MIME
// database names them: .bmp and .dib image/bmp, .png, .psd, .ico, .cur (the
// database's image/x-win-bitmap) and .ani.
const std::vector<std::string>& ShellMimeTypes();

struct XdgFolders {
    std::filesystem::path dataHome;    // $XDG_DATA_HOME, default ~/.local/share
    std::filesystem::path configHome;  // $XDG_CONFIG_HOME, default ~/.config
};

// The folders from the variables' values (null: unset). A value that is empty
// or not absolute is ignored, as the base directory rules say.
XdgFolders XdgFoldersFrom(const char* dataHome, const char* configHome, const char* home);
XdgFolders XdgFoldersOfEnvironment();

// Where the actions read and write.
struct ShellPaths {
    std::filesystem::path applications;  // <data>/applications
    std::filesystem::path desktopEntry;  // <data>/applications/Korvath.Iconmill.desktop
    std::filesystem::path icon;          // <data>/icons/hicolor/scalable/apps/Korvath.Iconmill.svg
    std::filesystem::path mimeapps;      // <config>/mimeapps.list
    std::filesystem::path settings;      // <config>/Korvath/Iconmill.conf: every version's settings
};
ShellPaths ShellPathsOf(const XdgFolders& folders);

// `path` as one argument of a desktop entry's Exec key: quoted when it holds a
// reserved character, with the escapes of the quoting rule and then of the
// string type, and '%' doubled. Empty when the path holds a control character,
// which the key cannot carry.
std::string DesktopExecArgument(std::string_view path);

// The desktop entry whose Exec key is `program` followed by %f.
std::string DesktopEntryText(std::string_view program);

// mimeapps.list with `desktopId` appended to the [Added Associations] value of
// each of `types` (the group and the keys are made when missing). Every other
// line stays as it was.
std::string AddAssociations(std::string_view mimeapps, std::string_view desktopId,
                            const std::vector<std::string>& types);
// mimeapps.list with `desktopId` taken out of the [Added Associations] values of
// `types`; a key left without values goes. Every other line stays as it was.
std::string RemoveAssociations(std::string_view mimeapps, std::string_view desktopId,
                               const std::vector<std::string>& types);

// What the actions need from the process around them.
struct ShellEnvironment {
    XdgFolders folders;
    std::filesystem::path executable;  // absolute; empty: Install writes nothing
    // Whether a main window of the program runs now.
    std::function<bool()> isRunning;
    // Refreshes the desktop's caches after the entry or the associations changed;
    // the default runs update-desktop-database and update-mime-database when
    // they are installed.
    std::function<void(const ShellPaths&)> refreshCaches;
};

// The environment of this process: its XDG folders, its executable, the
// instance lock and the cache tools.
ShellEnvironment ShellEnvironmentOfProcess();

// Performs `action`:
//  - Enable adds the entry to the associations of every type;
//  - Disable takes it out of them;
//  - Install writes the user's desktop entry (Exec: the executable's path and
//    %f) and its icon, then enables;
//  - Uninstall, while a main window runs, shows "The application is already
//    running. Please close the application and try again." and changes nothing
//    (returns false); otherwise disables, removes the entry, the icon and the
//    settings file.
// Failures of single files are not reported: the action goes on with the next.
bool PerformShellAction(ShellAction action, const ShellEnvironment& environment,
                        Interaction& door);
