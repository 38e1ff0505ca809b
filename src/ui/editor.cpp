#include "ui/editor.h"

#include <QSettings>

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

bool IsSwitch(const QString& argument) {
    static const QStringList kSwitches = {"EnableShellIntegration", "DisableShellIntegration",
                                          "Install", "Uninstall"};
    if (!argument.startsWith('/') && !argument.startsWith('-')) return false;
    QString name = argument;
    while (name.startsWith('/') || name.startsWith('-')) name.remove(0, 1);
    return kSwitches.contains(name, Qt::CaseInsensitive) || argument.startsWith('-');
}

}  // namespace

QString StartupFile(const QStringList& arguments) {
    for (const QString& argument : arguments)
        if (!argument.isEmpty() && !IsSwitch(argument)) return argument;
    return {};
}

CEditor::CEditor(std::unique_ptr<Clipboard> clipboard) : clipboard_(std::move(clipboard)) {
    if (!clipboard_) clipboard_ = std::make_unique<QtClipboard>();
}

CEditor::~CEditor() {
    window_.reset();
}

void CEditor::Start(const QStringList& arguments) {
    app_.settings = ReadSettings(SettingsStore());
    NormaliseSettings(app_.settings);
    if (app_.settings.background == ViewBackgroundCustom)
        app_.view.customColor = static_cast<std::uint32_t>(app_.settings.customBackground);
    ReadToolbarState(SettingsStore(), &app_.view);
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
