#include <QApplication>
#include <QIcon>

#include "ui/editor.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Korvath"));
    QApplication::setApplicationName(QStringLiteral("Iconmill"));
    QApplication::setDesktopFileName(QStringLiteral("Korvath.Iconmill"));
    if (QIcon::fallbackThemeName().isEmpty()) QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    CEditor editor;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    editor.Start(arguments);
    const int result = QApplication::exec();
    editor.Finish();
    return result;
}
