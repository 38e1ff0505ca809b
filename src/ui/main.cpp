#include <QApplication>
#include <QIcon>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/shell_integration.h"
#include "ui/editor.h"
#include "ui/qt_interaction.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Korvath"));
    QApplication::setApplicationName(QStringLiteral("Iconmill"));
    QApplication::setDesktopFileName(QStringLiteral("Korvath.Iconmill"));
    if (QIcon::fallbackThemeName().isEmpty()) QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    std::vector<std::string> words;
    for (const QString& argument : arguments) words.push_back(argument.toStdString());
    // A desktop-integration switch does its work and ends without a window.
    if (const CAppCommandLineInfo line = CAppCommandLineInfo::Parse(words); line.shellAction != kShellActionNone) {
        QtInteraction door(nullptr, nullptr);
        return PerformShellAction(static_cast<ShellAction>(line.shellAction), ShellEnvironmentOfProcess(), door)
                   ? 0
                   : 1;
    }
    CEditor editor;
    editor.Start(arguments);
    const int result = QApplication::exec();
    editor.Finish();
    return result;
}
