#include "app/shell_integration.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/embedded_data.h"
#include "platform/door/interaction.h"
#include "platform/process.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kAddedGroup = "[Added Associations]";

fs::path FolderOf(const char* value, const char* home, const char* fallback) {
    if (value && value[0] == '/') return fs::path(value);
    return fs::path(home && home[0] ? home : "/") / fallback;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The file as lines without their line ends; `finalNewline` tells whether the
// last line had one.
std::vector<std::string> SplitLines(std::string_view text, bool* finalNewline) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            *finalNewline = false;
            return lines;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    *finalNewline = true;
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, bool finalNewline) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || finalNewline) text += '\n';
    }
    return text;
}

bool IsGroupHeader(std::string_view line) {
    return Trim(line).starts_with('[');
}

// The key of a "key=value" line; empty for comments, blanks and headers.
std::string_view KeyOf(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '[') return {};
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return Trim(line.substr(0, equals));
}

std::vector<std::string> ValuesOf(std::string_view line) {
    std::vector<std::string> values;
    std::string_view rest = line.substr(line.find('=') + 1);
    while (!rest.empty()) {
        const auto semicolon = rest.find(';');
        const std::string_view value = Trim(rest.substr(0, semicolon));
        if (!value.empty()) values.emplace_back(value);
        if (semicolon == std::string_view::npos) break;
        rest.remove_prefix(semicolon + 1);
    }
    return values;
}

std::string LineOf(std::string_view key, const std::vector<std::string>& values) {
    std::string line(key);
    line += '=';
    for (const std::string& value : values) line += value + ';';
    return line;
}

// Writes beside the target and renames over it, so a failed write leaves the
// old file whole.
bool ReplaceFile(const fs::path& path, std::string_view content) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const fs::path temporary = path.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, path, error);
    if (error) fs::remove(temporary, error);
    return !error;
}

// The file's text; empty when it does not exist. False when it exists but
// cannot be read, so that nothing is written over it.
bool ReadText(const fs::path& path, std::string* text) {
    std::error_code error;
    if (!fs::exists(path, error)) {
        text->clear();
        return !error;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad() || !in.is_open()) return false;
    *text = content.str();
    return true;
}

void EditMimeapps(const ShellPaths& paths, bool add) {
    std::string text;
    if (!ReadText(paths.mimeapps, &text)) return;
    if (!add && text.empty()) return;
    const std::string edited = add ? AddAssociations(text, kDesktopFileId, ShellMimeTypes())
                                   : RemoveAssociations(text, kDesktopFileId, ShellMimeTypes());
    if (edited != text) ReplaceFile(paths.mimeapps, edited);
}

void RemoveFile(const fs::path& path) {
    std::error_code error;
    fs::remove(path, error);
}

void RefreshCachesWithTools(const ShellPaths& paths) {
    std::error_code error;
    if (fs::is_directory(paths.applications, error))
        RunQuietly("update-desktop-database", {paths.applications.string()});
    const fs::path mime = paths.applications.parent_path() / "mime";
    if (fs::is_directory(mime / "packages", error)) RunQuietly("update-mime-database", {mime.string()});
}

}  // namespace

const std::vector<std::string>& ShellMimeTypes() {
    static const std::vector<std::string> kTypes = {
        "image/bmp",        "image/png",          "image/vnd.adobe.photoshop", "image/vnd.microsoft.icon",
        "image/x-win-bitmap", "application/x-navi-animation"};
    return kTypes;
}

XdgFolders XdgFoldersFrom(const char* dataHome, const char* configHome, const char* home) {
    return {FolderOf(dataHome, home, ".local/share"), FolderOf(configHome, home, ".config")};
}

XdgFolders XdgFoldersOfEnvironment() {
    return XdgFoldersFrom(std::getenv("XDG_DATA_HOME"), std::getenv("XDG_CONFIG_HOME"),
                          std::getenv("HOME"));
}

ShellPaths ShellPathsOf(const XdgFolders& folders) {
    ShellPaths paths;
    paths.applications = folders.dataHome / "applications";
    paths.desktopEntry = paths.applications / kDesktopFileId;
    paths.icon = folders.dataHome / "icons/hicolor/scalable/apps" / (std::string(kIconName) + ".svg");
    paths.mimeapps = folders.configHome / "mimeapps.list";
    paths.settings = folders.configHome / "Korvath/Iconmill.conf";
    return paths;
}

std::string DesktopExecArgument(std::string_view path) {
    static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    static constexpr std::string_view kEscapedInQuotes = "\"`$\\";
    if (std::any_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return {};
    const bool quote = path.find_first_of(kReserved) != std::string_view::npos;
    std::string argument;
    for (const char c : path) {
        if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) argument += '\\';
        argument += c;
    }
    if (quote) argument = '"' + argument + '"';
    // The string type's escapes apply before the quoting rule, so each
    // backslash is written twice; '%' starts a field code and is doubled.
    std::string value;
    for (const char c : argument) {
        if (c == '\\') value += '\\';
        if (c == '%') value += '%';
        value += c;
    }
    return value;
}

std::string DesktopEntryText(std::string_view program) {
    std::string mimeTypes;
    for (const std::string& type : ShellMimeTypes()) mimeTypes += type + ';';
    std::string text =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Iconmill\n"
        "GenericName=Icon Editor\n"
        "Comment=Edit Windows icons, cursors, animated cursors and animated PNG images\n";
    text += "Exec=" + std::string(program) + " %f\n";
    text += "Icon=" + std::string(kIconName) + "\n";
    text +=
        "Terminal=false\n"
        "Categories=Graphics;2DGraphics;RasterGraphics;\n";
    text += "MimeType=" + mimeTypes + "\n";
    text += "Keywords=icon;cursor;ico;cur;ani;apng;\n";
    return text;
}

std::string AddAssociations(std::string_view mimeapps, std::string_view desktopId,
                            const std::vector<std::string>& types) {
    bool finalNewline = true;
    std::vector<std::string> lines = SplitLines(mimeapps, &finalNewline);
    const std::size_t originalCount = lines.size();
    auto header = std::find_if(lines.begin(), lines.end(),
                               [](const std::string& line) { return Trim(line) == kAddedGroup; });
    if (header == lines.end()) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.emplace_back(kAddedGroup);
        header = lines.end() - 1;
    }
    // The group runs to the next header; new keys go after its last line that is
    // not blank.
    const std::size_t begin = static_cast<std::size_t>(header - lines.begin()) + 1;
    std::size_t end = begin;
    while (end < lines.size() && !IsGroupHeader(lines[end])) ++end;
    std::size_t insertAt = end;
    while (insertAt > begin && Trim(lines[insertAt - 1]).empty()) --insertAt;

    for (const std::string& type : types) {
        bool found = false;
        for (std::size_t i = begin; i < end; ++i) {
            if (KeyOf(lines[i]) != type) continue;
            found = true;
            std::vector<std::string> values = ValuesOf(lines[i]);
            if (std::find(values.begin(), values.end(), desktopId) == values.end()) {
                values.emplace_back(desktopId);
                lines[i] = LineOf(type, values);
            }
            break;
        }
        if (found) continue;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), LineOf(type, {std::string(desktopId)}));
        ++insertAt;
        ++end;
    }
        // A file that ended without a line end gets one when lines were added.
    return JoinLines(lines, finalNewline || lines.size() != originalCount);
}

std::string RemoveAssociations(std::string_view mimeapps, std::string_view desktopId,
                               const std::vector<std::string>& types) {
    bool finalNewline = true;
    const std::vector<std::string> lines = SplitLines(mimeapps, &finalNewline);
    std::vector<std::string> kept;
    bool inAdded = false;
    for (const std::string& line : lines) {
        if (IsGroupHeader(line)) inAdded = Trim(line) == kAddedGroup;
        const std::string_view key = inAdded ? KeyOf(line) : std::string_view{};
        if (key.empty() || std::find(types.begin(), types.end(), key) == types.end()) {
            kept.push_back(line);
            continue;
        }
        std::vector<std::string> values = ValuesOf(line);
        const auto ours = std::remove(values.begin(), values.end(), desktopId);
        if (ours == values.end()) {
            kept.push_back(line);
            continue;
        }
        values.erase(ours, values.end());
        if (!values.empty()) kept.push_back(LineOf(key, values));
    }
    return JoinLines(kept, finalNewline);
}

ShellEnvironment ShellEnvironmentOfProcess() {
    ShellEnvironment environment;
    environment.folders = XdgFoldersOfEnvironment();
    environment.executable = ExecutablePath();
    environment.isRunning = [] { return IsInstanceLockHeld(InstanceLockPath()); };
    environment.refreshCaches = RefreshCachesWithTools;
    return environment;
}

bool PerformShellAction(ShellAction action, const ShellEnvironment& environment,
                        Interaction& door) {
    const ShellPaths paths = ShellPathsOf(environment.folders);
    auto refresh = [&] {
        if (environment.refreshCaches) environment.refreshCaches(paths);
    };
    switch (action) {
        case kShellActionNone:
            return true;
        case kShellActionEnable:
        case kShellActionDisable:
            EditMimeapps(paths, action == kShellActionEnable);
            refresh();
            return true;
        case kShellActionInstall: {
            const std::string program = DesktopExecArgument(environment.executable.string());
            if (environment.executable.empty() || program.empty()) return true;
            ReplaceFile(paths.desktopEntry, DesktopEntryText(program));
            ReplaceFile(paths.icon, ApplicationIconSvg());
            EditMimeapps(paths, true);
            refresh();
            return true;
        }
        case kShellActionUninstall:
            if (environment.isRunning && environment.isRunning()) {
                door.ShowMessage(PlainMessage(kStrAlreadyRunning, MessageIcon::None));
                return false;
            }
            EditMimeapps(paths, false);
            RemoveFile(paths.desktopEntry);
            RemoveFile(paths.icon);
            RemoveFile(paths.settings);
            RemoveFile(paths.settings.string() + ".lock");
            {
                std::error_code error;
                fs::remove(paths.settings.parent_path(), error);  // only when empty
            }
            refresh();
            return true;
    }
    return true;
}
