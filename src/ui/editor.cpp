#include "ui/editor.h"

#include <QSettings>

#include "app/command_line.h"
#include "app/open_flows.h"
#include "ui/qt_clipboard.h"
#include "ui/settings_store.h"

namespace {

// The settings as the window applies them: an alignment other than 1 or 2 is
// auto, a background above 5 the window colour (and is written back so).
void NormaliseSettings(CAppSettings& settings) {
    if (settings.alignment != ListAlignmentHorizontal && settings.alignment != ListAlignmentVertical)
        settings.alignment = ListAlignmentAuto;
    if (settings.background > ViewBackgroundCustom || settings.background < 0)
        settings.background = ViewBackgroundWindow;
}

}  // namespace

QString StartupFile(const QStringList& arguments) {
    std::vector<std::string> words;
    for (const QString& argument : arguments) words.push_back(argument.toStdString());
    return QString::fromStdString(CAppCommandLineInfo::Parse(words).fileName);
}

CEditor::CEditor(std::unique_ptr<Clipboard> clipboard) : clipboard_(std::move(clipboard)) {
    if (!clipboard_) clipboard_ = std::make_unique<QtClipboard>();
}

CEditor::~CEditor() {
    window_.reset();
    instanceLock_.reset();
}

void CEditor::Start(const QStringList& arguments) {
    app_.settings = ReadSettings(SettingsStore());
    NormaliseSettings(app_.settings);
    if (app_.settings.background == ViewBackgroundCustom)
        app_.view.customColor = static_cast<std::uint32_t>(app_.settings.customBackground);
    ReadToolbarState(SettingsStore(), &app_.view);
    // Held while the window runs, so that Uninstall from another process
    // refuses to remove what this one still uses.
    instanceLock_ = std::make_unique<InstanceLock>(InstanceLockPath());
    window_ = std::make_unique<CMainFrame>(app_, door_, *clipboard_);
    bool maximized = false;
    if (const std::optional<WindowPlacement> placement = ReadPlacement(SettingsStore()))
        maximized = RestorePlacement(*window_, *placement);
    if (maximized)
        window_->showMaximized();
    else
        window_->show();
    const QString file = StartupFile(arguments);
    if (!file.isEmpty()) OpenStartupFile(app_, file.toUtf8().constData());
    app_.ClearModified();
    window_->RefreshCommandStates();
}

void CEditor::Finish() {
    WriteSettings(SettingsStore(), app_.settings);
}
