// The editor as a whole: the application object with its door, clipboard and
// main window, started and ended in the program's order.
#pragma once

#include <QStringList>
#include <memory>

#include "app/application.h"
#include "platform/door/clipboard.h"
#include "platform/process.h"
#include "ui/main_window.h"
#include "ui/qt_interaction.h"

class CEditor {
public:
    // `clipboard` null: the system clipboard.
    explicit CEditor(std::unique_ptr<Clipboard> clipboard = nullptr);
    ~CEditor();

    // Startup after the Qt application exists: reads the settings, creates the
    // main window with its saved placement, shows it, opens the first file of
    // `arguments` (the command line without the program name) and clears the
    // modified flag. Switches ("/Install", "-EnableShellIntegration", ...) are
    // not files.
    void Start(const QStringList& arguments);
    // Exit: writes the settings.
    void Finish();

    bool Started() const { return window_ != nullptr; }
    CIconmillApp& App() { return app_; }
    CMainFrame& Window() { return *window_; }
    QtInteraction& Door() { return door_; }

private:
    QtInteraction door_{nullptr, nullptr};
    CIconmillApp app_{door_};
    std::unique_ptr<Clipboard> clipboard_;
    std::unique_ptr<InstanceLock> instanceLock_;
    std::unique_ptr<CMainFrame> window_;
};

// The file a command line names: the first argument that is not a switch.
QString StartupFile(const QStringList& arguments);
