// The persisted settings and the main window's placement, in QSettings under
// organisation "Korvath", application "Iconmill", section "2.0/Settings" (on
// Linux the file Korvath/Iconmill.conf in the XDG config folder).
#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <vector>

#include "app/recent_files.h"
#include "app/settings.h"
#include "app/view_state.h"

class QSettings;
class QWidget;

// The settings store of the running program.
QSettings& SettingsStore();

// The seven settings; a missing value reads as its default.
CAppSettings ReadSettings(QSettings& store);
void WriteSettings(QSettings& store, const CAppSettings& settings);

// The saved placement: the normal rectangle and whether the window was maximised.
struct WindowPlacement {
    QRect rect;  // left, top, right, bottom as saved
    bool maximized = false;
};

// Null when "MainWindowRect" is missing or not 16 bytes.
std::optional<WindowPlacement> ReadPlacement(QSettings& store);
void WritePlacement(QSettings& store, const WindowPlacement& placement);

// Puts the window where the placement says: at the top-left corner of the
// saved rectangle's intersection with the work area of the screen nearest to
// its top-left corner, with the saved size; a rectangle off that work area
// leaves the window where it is. Returns whether to show it maximised.
bool RestorePlacement(QWidget& window, const WindowPlacement& placement);
// Which of the three toolbars are shown ("2.0/Dock State"); all when never saved.
void ReadToolbarState(QSettings& store, CViewState* view);
void WriteToolbarState(QSettings& store, const CViewState& view);

// File > Recent Files ("2.0/Recent File List", File1 to File4), newest first.
std::vector<std::string> ReadRecentFiles(QSettings& store);
void WriteRecentFiles(QSettings& store, const std::vector<std::string>& paths);

// The window's normal rectangle and maximised state.
WindowPlacement PlacementOf(const QWidget& window);
