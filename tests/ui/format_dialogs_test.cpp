// The save dialog with its naming panel, the per-item dialog, PNG Options and
// Array Options, driven as a user would through the editor's door.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "formats/png/png_save_options.h"
#include "support/test_files.h"
#include "ui/array_options_dialog.h"
#include "ui/png_options_dialog.h"
#include "ui/qt_interaction.h"
#include "ui/save_file_dialog.h"
#include "ui/up_down_edit.h"
#include "ui_test_support.h"

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void PressOk(QDialog* dialog) {
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

TEST(SaveFileDialog, ShowsTheSixTypesAndThePanelOnlyForSeveralItems) {
    CSaveFileDialog several(QStringLiteral("Untitled"), 3);
    EXPECT_TRUE(several.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(several.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(several.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(several.nameFilters(),
              QStringList({"Bitmap Files (*.bmp)", "PNG Files (*.png)", "Animated PNG (*.png)",
                           "Icon Files (*.ico)", "Cursor Files (*.cur)",
                           "Animated Cursor Files (*.ani)"}));
    EXPECT_EQ(several.defaultSuffix(), QStringLiteral("bmp"));
    ASSERT_NE(several.NamingPanel(), nullptr);
    EXPECT_EQ(several.PanelText()->text(), QStringLiteral("3 items to be save"));
    EXPECT_EQ(several.findChild<QGroupBox*>("namingGroup")->title(),
              QStringLiteral("For next files name:"));
    EXPECT_EQ(several.UseCounterButton()->text(), QStringLiteral("&Use counter"));
    EXPECT_EQ(several.AskEachButton()->accessibleName(), QStringLiteral("Ask for each item"));
    EXPECT_TRUE(several.UseCounterButton()->isChecked());
    EXPECT_FALSE(several.AskForEachItem());

    CSaveFileDialog one(QStringLiteral("Untitled"), 1);
    EXPECT_EQ(one.NamingPanel(), nullptr);
    EXPECT_EQ(one.findChild<QRadioButton*>(), nullptr);
}

TEST(SaveFileDialog, ThePanelIsEnabledOnlyForTheSeriesAndEachTypeGivesItsTarget) {
    CSaveFileDialog dialog(QStringLiteral("Untitled"), 2);
    struct Case {
        int filter;
        bool panel;
        SaveTarget target;
        const char* suffix;
    };
    const Case cases[] = {
        {3, false, SaveTargetIcon, "ico"},           {1, true, SaveTargetPngSeries, "png"},
        {2, false, SaveTargetAnimatedPng, "png"},    {4, false, SaveTargetCursor, "cur"},
        {5, false, SaveTargetAnimatedCursor, "ani"}, {0, true, SaveTargetBmpSeries, "bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        dialog.selectNameFilter(dialog.nameFilters()[c.filter]);
        EXPECT_EQ(dialog.NamingPanel()->isEnabled(), c.panel);
        EXPECT_EQ(dialog.AskEachButton()->isEnabled(), c.panel);
        EXPECT_EQ(dialog.ChosenTarget(), c.target);
        EXPECT_EQ(dialog.defaultSuffix(), QString::fromUtf8(c.suffix));
    }
}

TEST(SaveFileDialog, TheDoorHandsOverPathTargetAndNamingChoiceAndCancelGivesNothing) {
    ScratchDir dir;
    QtInteraction door(nullptr, nullptr);
    WhenModalOpens<CSaveFileDialog>([&](CSaveFileDialog* dialog) {
        dialog->selectNameFilter(dialog->nameFilters()[1]);
        dialog->AskEachButton()->click();
        dialog->selectFile(Q(dir.File("series")));
        dialog->accept();
    });
    const std::optional<SaveDialogChoice> choice = door.ChooseSaveTarget({"Untitled", 4});
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, dir.File("series.png"));
    EXPECT_EQ(choice->target, SaveTargetPngSeries);
    EXPECT_TRUE(choice->askForEachItem);

    WhenModalOpens<CSaveFileDialog>([](CSaveFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(door.ChooseSaveTarget({"Untitled", 4}));
}

TEST(SaveFileDialog, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    ScratchDir dir;
    const std::string existing = dir.File("there.ico");
    WriteBytes(existing, {1, 2, 3});
    CSaveFileDialog dialog(QStringLiteral("Untitled"), 1);
    dialog.selectNameFilter(dialog.nameFilters()[3]);
    dialog.selectFile(Q(existing));
    QString question;
    AnswerNextMessageBox(QMessageBox::No, &question);
    dialog.accept();
    EXPECT_TRUE(question.contains(QStringLiteral("already exists")));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    AnswerNextMessageBox(QMessageBox::Yes);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenPath(), Q(existing));

    CSaveFileDialog nowhere(QStringLiteral("Untitled"), 1);
    nowhere.selectFile(Q(dir.File("missing/x.bmp")));
    QString refusal;
    AnswerNextMessageBox(QMessageBox::Ok, &refusal);
    nowhere.accept();
    EXPECT_TRUE(refusal.contains(QStringLiteral("does not exist")));
    EXPECT_NE(nowhere.result(), QDialog::Accepted);
}

TEST(SaveFileDialog, ThePerItemDialogCountsTheItemsStillToCome) {
    const struct {
        unsigned remaining;
        const char* text;
    } cases[] = {{2, "2 item(s) remain"}, {0, "Final item"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remaining);
        CSaveFileDialog dialog(
            SeriesItemRequest{"32x32,24-bit", c.remaining, "png", "PNG Files (*.png)|*.png||"});
        EXPECT_EQ(dialog.findChild<QLabel*>("remainingText")->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(dialog.NamingPanel(), nullptr);
        EXPECT_EQ(dialog.nameFilters(), QStringList({"PNG Files (*.png)"}));
        EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("png"));
        EXPECT_EQ(dialog.ChosenTarget(), SaveTargetNone);
    }
    ScratchDir dir;
    QtInteraction door(nullptr, nullptr);
    QString initialName;
    WhenModalOpens<CSaveFileDialog>([&](CSaveFileDialog* dialog) {
        initialName = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        dialog->selectFile(Q(dir.File("next")));
        dialog->accept();
    });
    EXPECT_EQ(door.ChooseSeriesItemPath({"16x16,8-bit", 1, "bmp", "Bitmap Files (*.bmp)|*.bmp||"}),
              dir.File("next.bmp"));
    EXPECT_EQ(initialName, QStringLiteral("16x16,8-bit"));
}

TEST(PngOptionsDialog, OpensOnTheDefaultsAndHandsBackWhatOkConfirms) {
    CPNGOptionsDialog fresh{PngSaveOptions{}};
    EXPECT_EQ(fresh.windowTitle(), QStringLiteral("PNG Options"));
    EXPECT_EQ(fresh.GrayscaleBox()->text(), QStringLiteral("&Grayscale"));
    EXPECT_EQ(fresh.InterlacedBox()->text(), QStringLiteral("&Interlaced"));
    EXPECT_FALSE(fresh.GrayscaleBox()->isChecked());
    EXPECT_FALSE(fresh.InterlacedBox()->isChecked());
    QStringList filters, compressions;
    for (int i = 0; i < fresh.FilterList()->count(); ++i)
        filters << fresh.FilterList()->itemText(i);
    for (int i = 0; i < fresh.CompressionList()->count(); ++i)
        compressions << fresh.CompressionList()->itemText(i);
    EXPECT_EQ(filters, QStringList({"None", "Sub", "Up", "Average", "Paeth", "Best"}));
    EXPECT_EQ(compressions,
              QStringList({"Default", "No compression", "Best speed", "Best compression"}));
    EXPECT_EQ(fresh.FilterList()->currentText(), QStringLiteral("Best"));
    EXPECT_EQ(fresh.CompressionList()->currentText(), QStringLiteral("Default"));
    EXPECT_EQ(fresh.FilterList()->accessibleName(), QStringLiteral("Filtering"));

    // A value the lists do not hold shows as what the encoder makes of it.
    CPNGOptionsDialog odd{PngSaveOptions{false, true, 9, 7}};
    EXPECT_EQ(odd.FilterList()->currentText(), QStringLiteral("Paeth"));
    EXPECT_EQ(odd.CompressionList()->currentText(), QStringLiteral("Default"));
    EXPECT_TRUE(odd.InterlacedBox()->isChecked());

    QtInteraction door(nullptr, nullptr);
    PngSaveOptions options;
    WhenModalOpens<CPNGOptionsDialog>([](CPNGOptionsDialog* dialog) {
        dialog->GrayscaleBox()->click();
        dialog->FilterList()->setCurrentIndex(2);
        dialog->CompressionList()->setCurrentIndex(3);
        PressOk(dialog);
    });
    ASSERT_TRUE(door.EditPngOptions(options));
    EXPECT_TRUE(options.grayscale);
    EXPECT_FALSE(options.interlaced);
    EXPECT_EQ(options.filter, PngFilterOptionUp);
    EXPECT_EQ(options.compression, PngCompressionBest);

    WhenModalOpens<CPNGOptionsDialog>([](CPNGOptionsDialog* dialog) {
        dialog->InterlacedBox()->click();
        dialog->FilterList()->setCurrentIndex(0);
        dialog->reject();
    });
    EXPECT_FALSE(door.EditPngOptions(options));
    EXPECT_FALSE(options.interlaced);
    EXPECT_EQ(options.filter, PngFilterOptionUp);
}

TEST(ArrayOptionsDialog, StartsOnTheDefaultsAndReverseFollowsTheType) {
    CArrayOptionsDialog dialog{CArrayOptions{}};
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Array Options"));
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("dataChunk"));
    EXPECT_EQ(dialog.NameEdit()->maxLength(), 64);
    EXPECT_EQ(dialog.TypeList()->currentText(), QStringLiteral("unsigned 32-bit"));
    EXPECT_EQ(dialog.TypeList()->itemText(0), QStringLiteral("unsigned 8-bit"));
    EXPECT_EQ(dialog.SplitEdit()->text(), QStringLiteral("2147483647"));
    EXPECT_EQ(dialog.PerLineEdit()->text(), QStringLiteral("8"));
    EXPECT_FALSE(dialog.ReverseBox()->isChecked());
    EXPECT_TRUE(dialog.ReverseBox()->isEnabled());

    dialog.ReverseBox()->click();
    dialog.TypeList()->setCurrentIndex(CArrayUInt8);
    EXPECT_FALSE(dialog.ReverseBox()->isChecked());
    EXPECT_FALSE(dialog.ReverseBox()->isEnabled());
    dialog.TypeList()->setCurrentIndex(CArrayUInt16);
    EXPECT_TRUE(dialog.ReverseBox()->isEnabled());

    // The arrows stay within 1 to 256; typing is digits only.
    dialog.PerLineEdit()->Line()->setText(QStringLiteral("256"));
    dialog.PerLineEdit()->stepBy(1);
    EXPECT_EQ(dialog.PerLineEdit()->text(), QStringLiteral("256"));
    dialog.PerLineEdit()->stepBy(-3);
    EXPECT_EQ(dialog.PerLineEdit()->text(), QStringLiteral("253"));
    QString typed = QStringLiteral("1x");
    int position = 2;
    EXPECT_EQ(dialog.PerLineEdit()->validate(typed, position), QValidator::Invalid);
    EXPECT_EQ(dialog.SplitEdit()->validator()->validate(typed, position), QValidator::Invalid);
}

TEST(ArrayOptionsDialog, OkRefusesTheFirstBadFieldWithItsMessageFocusAndSelection) {
    struct Case {
        const char* name;
        const char* split;
        const char* perLine;
        const char* message;
        const char* field;
    };
    const Case cases[] = {
        {"   ", "0", "0", "Variable name cannot be null.", "variableName"},
        {"x", "", "8", "Please enter a value between 1 and 2147483647.", "splitCount"},
        {"x", "2147483648", "8", "Please enter a value between 1 and 2147483647.", "splitCount"},
        {"x", "5", "0", "Please enter a value between 1 and 256.", "elementsPerLine"},
        {"x", "5", "257", "Please enter a value between 1 and 256.", "elementsPerLine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        CArrayOptionsDialog dialog{CArrayOptions{}};
        dialog.show();
        dialog.NameEdit()->setText(QString::fromUtf8(c.name));
        dialog.SplitEdit()->setText(QString::fromUtf8(c.split));
        dialog.PerLineEdit()->Line()->setText(QString::fromUtf8(c.perLine));
        QString message;
        AnswerNextMessageBox(QMessageBox::Ok, &message);
        PressOk(&dialog);
        EXPECT_EQ(message, QString::fromUtf8(c.message));
        EXPECT_TRUE(dialog.isVisible());
        QWidget* field = dialog.findChild<QWidget*>(QString::fromUtf8(c.field));
        QLineEdit* line = qobject_cast<QLineEdit*>(field);
        if (!line) line = static_cast<CUpDownEdit*>(field)->Line();
        EXPECT_TRUE(dialog.focusWidget() == field || dialog.focusWidget() == line);
        EXPECT_EQ(line->selectedText(), line->text());
        dialog.reject();
    }
}

TEST(ArrayOptionsDialog, TheDoorGivesTheCheckedLayoutOrNothingOnCancel) {
    QtInteraction door(nullptr, nullptr);
    WhenModalOpens<CArrayOptionsDialog>([](CArrayOptionsDialog* dialog) {
        dialog->NameEdit()->setText(QStringLiteral("  my icon  "));
        dialog->TypeList()->setCurrentIndex(CArrayUInt64);
        dialog->SplitEdit()->setText(QStringLiteral("12"));
        dialog->PerLineEdit()->Line()->setText(QStringLiteral("3"));
        dialog->ReverseBox()->click();
        PressOk(dialog);
    });
    const std::optional<CArrayOptions> chosen = door.ChooseCArrayOptions(CArrayOptions{});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->variableName, "my icon");
    EXPECT_EQ(chosen->elementType, CArrayUInt64);
    EXPECT_EQ(chosen->splitCount, 12u);
    EXPECT_EQ(chosen->elementsPerLine, 3);
    EXPECT_TRUE(chosen->reverseBytes);

    WhenModalOpens<CArrayOptionsDialog>([](CArrayOptionsDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(door.ChooseCArrayOptions(CArrayOptions{}));
}

}  // namespace
