#include "ui/fonts.h"

#include <gtest/gtest.h>

#include <QFontDatabase>

TEST(Fonts, FamiliesAreTakenInTheirOrderOfPreference) {
    struct Case {
        QStringList installed;
        QString chosen;
    } cases[] = {
        {{"DejaVu Sans", "Tahoma", "Segoe UI"}, "Segoe UI"},
        {{"tahoma", "MS Sans Serif"}, "Tahoma"},
        {{"MS Sans Serif", "Noto Sans"}, "MS Sans Serif"},
        {{"Noto Sans", "Segoe"}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installed.join(",").toStdString());
        EXPECT_EQ(ChooseFontFamily(c.installed), c.chosen);
    }
}

TEST(Fonts, AUiFontHasThePointsAndNormalWeight) {
    const QFont font = MakeUiFont(9);
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(font.weight(), QFont::Normal);
    const QString expected = ChooseFontFamily(QFontDatabase::families());
    EXPECT_EQ(font.family(), expected.isEmpty()
                                 ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                                 : expected);
}
