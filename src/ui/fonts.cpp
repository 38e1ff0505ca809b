#include "ui/fonts.h"

#include <QFontDatabase>

QString ChooseFontFamily(const QStringList& installedFamilies) {
    for (const char* family : {"Segoe UI", "Tahoma", "MS Sans Serif"}) {
        const QString name = QString::fromLatin1(family);
        if (installedFamilies.contains(name, Qt::CaseInsensitive)) return name;
    }
    return {};
}

QFont MakeUiFont(int points) {
    QString family = ChooseFontFamily(QFontDatabase::families());
    if (family.isEmpty()) family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points);
    font.setWeight(QFont::Normal);
    return font;
}
