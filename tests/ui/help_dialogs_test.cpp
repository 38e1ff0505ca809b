#include "ui/help_dialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "ui_test_support.h"

namespace {

void PressWhenShown(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    QTimer::singleShot(0, &dialog, [&dialog, which] {
        dialog.findChild<QDialogButtonBox*>()->button(which)->click();
    });
}

TEST(OptionsDialog, ShowsTheSequenceSettingAndHandsBackAChangedCopyOnOk) {
    struct Case {
        int stored;
        int shown;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{7, 0}, Case{-1, 0}}) {
        CAppSettings settings;
        settings.animatedCursorSequence = c.stored;
        settings.background = 4;
        COptionsDialog dialog(nullptr, settings);
        EXPECT_EQ(dialog.SequenceList()->currentIndex(), c.shown) << c.stored;
        EXPECT_EQ(dialog.Settings().animatedCursorSequence, c.shown) << c.stored;
        EXPECT_EQ(dialog.Settings().background, 4);
    }
    CAppSettings settings;
    COptionsDialog dialog(nullptr, settings);
    ASSERT_EQ(dialog.SequenceList()->count(), 3);
    EXPECT_EQ(dialog.SequenceList()->itemText(1), "Ignore duplicated images");
    dialog.SequenceList()->setCurrentIndex(2);
    PressWhenShown(dialog, QDialogButtonBox::Ok);
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Settings().animatedCursorSequence, 2);
}

TEST(AboutDialog, CarriesItsLinesAndTheTermOfUseText) {
    CAboutDialog about(nullptr);
    EXPECT_EQ(about.windowTitle(), "About Iconmill");
    bool version = false;
    for (const QLabel* label : about.findChildren<QLabel*>())
        version = version || label->text() == "Version: 2.0.0";
    EXPECT_TRUE(version);
    EXPECT_NE(about.TermLink()->text().indexOf("Term of Use"), -1);

    CTermOfUseDialog term(nullptr);
    EXPECT_EQ(term.windowTitle(), "Term of Use");
    EXPECT_TRUE(term.Text()->isReadOnly());
    EXPECT_FALSE(term.Text()->toPlainText().isEmpty());
    EXPECT_EQ(term.Text()->focusPolicy(), Qt::ClickFocus);
}

TEST(ProgramFiles, OpenWithTheDesktopOrShowThePathAndTheReason) {
    QUrl opened;
    SetUrlOpenerForTesting([&](const QUrl& url) {
        opened = url;
        return true;
    });
    OpenProgramFile(nullptr, "VersionHistory.txt");
    EXPECT_TRUE(opened.toLocalFile().endsWith("VersionHistory.txt"));

    QString text;
    AnswerNextMessageBox(QMessageBox::Ok, &text);
    OpenProgramFile(nullptr, "NoSuchFile.txt");
    EXPECT_TRUE(text.endsWith("NoSuchFile.txt\n\nNo such file or directory")) << text.toStdString();

    SetUrlOpenerForTesting([](const QUrl&) { return false; });
    AnswerNextMessageBox(QMessageBox::Ok, &text);
    OpenProgramFile(nullptr, "TermOfUse.txt");
    EXPECT_TRUE(text.contains("TermOfUse.txt\n\n")) << text.toStdString();
    SetUrlOpenerForTesting(nullptr);
}

}  // namespace
