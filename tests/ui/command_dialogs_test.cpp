// The dialogs of New Empty Bitmap, Image Resize, Canvas Resize, Merge and Split,
// driven through their real widgets, alone and through the editor's commands.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <cstring>

#include "app/merge_split_commands.h"
#include "app/resize_dialogs.h"
#include "core/dib.h"
#include "support/test_items.h"
#include "ui/bitmap_attributes_dialog.h"
#include "ui/color_box.h"
#include "ui/editor.h"
#include "ui/image_ctrl.h"
#include "ui/image_resize_dialogs.h"
#include "ui/image_viewer_dialog.h"
#include "ui/merge_split_dialogs.h"
#include "ui/settings_store.h"
#include "ui/up_down_edit.h"
#include "ui_test_support.h"

namespace {

constexpr const char* kSideRange = "Please enter a value between 1 and 2147483647.";

void PressOk(QDialog* dialog) {
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

// Presses OK expecting one refusal: returns its message.
QString OkRefused(QDialog* dialog) {
    QString message;
    AnswerNextMessageBox(QMessageBox::Ok, &message);
    PressOk(dialog);
    return message;
}

// The edit has the dialog's focus and its whole text selected.
void ExpectFocusedAndSelected(QDialog* dialog, QLineEdit* edit) {
    EXPECT_EQ(dialog->focusWidget(), edit);
    EXPECT_EQ(edit->selectedText(), edit->text());
}
// An up-down edit holds the focus for its line.
void ExpectFocusedAndSelected(QDialog* dialog, CUpDownEdit* edit) {
    EXPECT_EQ(dialog->focusWidget(), edit);
    EXPECT_EQ(edit->Line()->selectedText(), edit->Line()->text());
}

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The editor window with items added by the test; the command tests run the
// real commands through it.
class CommandTest : public testing::Test {
protected:
    CommandTest() {
        SettingsStore().clear();
        editor.Start({});
    }
    ~CommandTest() override {
        App().ClearModified();
        editor.Window().close();
    }
    CIconmillApp& App() { return editor.App(); }
    CItemList& Items() { return App().Items(); }
    void Select(std::initializer_list<int> indices) {
        for (int i = 0; i < Items().Count(); ++i) Items().SetSelected(i, false);
        for (int i : indices) Items().SetSelected(i, true);
        editor.Window().RefreshCommandStates();
    }
    void Run(CommandId id) { editor.Window().Run(id); }
    CEditor editor;
};

// ---- Bitmap Attributes ----

TEST(BitmapAttributesDialog, OpensOnTheValuesWithTheSixDepths) {
    CBitmapAttributesDialog dialog{BitmapAttributes{}};
    EXPECT_EQ(dialog.windowTitle(), "Bitmap Attributes");
    EXPECT_EQ(dialog.WidthEdit()->text(), "32");
    EXPECT_EQ(dialog.HeightEdit()->text(), "32");
    EXPECT_EQ(dialog.WidthEdit()->maxLength(), 9);
    EXPECT_EQ(dialog.HeightEdit()->maxLength(), 9);
    ASSERT_EQ(dialog.BitDepthList()->count(), 6);
    EXPECT_EQ(dialog.BitDepthList()->itemText(0), "1-bit");
    EXPECT_EQ(dialog.BitDepthList()->itemText(5), "32-bit");
    EXPECT_EQ(dialog.BitDepthList()->currentText(), "24-bit");
    EXPECT_EQ(dialog.WidthEdit()->accessibleName(), "Width");
    EXPECT_EQ(dialog.BitDepthList()->accessibleName(), "Bit-depth");
    QString typed = QStringLiteral("1a");
    int position = 2;
    EXPECT_EQ(dialog.WidthEdit()->validator()->validate(typed, position), QValidator::Invalid);

    CBitmapAttributesDialog odd{BitmapAttributes{5, 6, 7}};
    EXPECT_EQ(odd.BitDepthList()->currentIndex(), 0);
}

TEST(BitmapAttributesDialog, OkRefusesTheWidthThenTheHeightWithFocusAndSelection) {
    struct Case {
        const char* width;
        const char* height;
        bool widthRefused;
    };
    const Case cases[] = {
        {"0", "32", true},  {"", "32", true},  {"0", "0", true},
        {"32", "0", false}, {"32", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.width) + " x " + c.height);
        CBitmapAttributesDialog dialog{BitmapAttributes{}};
        dialog.show();
        dialog.WidthEdit()->setText(QString::fromLatin1(c.width));
        dialog.HeightEdit()->setText(QString::fromLatin1(c.height));
        EXPECT_EQ(OkRefused(&dialog), kSideRange);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        ExpectFocusedAndSelected(&dialog,
                                 c.widthRefused ? dialog.WidthEdit() : dialog.HeightEdit());
    }
}

TEST(BitmapAttributesDialog, OkStoresTheLargestEntryAndTheChosenDepth) {
    CBitmapAttributesDialog dialog{BitmapAttributes{}};
    dialog.show();
    // Nine characters: the largest entry is 999999999.
    dialog.WidthEdit()->setText(QStringLiteral("9999999999"));
    EXPECT_EQ(dialog.WidthEdit()->text(), "999999999");
    dialog.HeightEdit()->setText(QStringLiteral("7"));
    dialog.BitDepthList()->setCurrentIndex(2);
    QTest::keyClick(dialog.HeightEdit(), Qt::Key_Return);  // the default button is OK
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Values().width, 999999999);
    EXPECT_EQ(dialog.Values().height, 7);
    EXPECT_EQ(dialog.Values().bitCount, 8);
}

using NewEmptyBitmapCommand = CommandTest;

TEST_F(NewEmptyBitmapCommand, OkAppendsTheWhitePictureAndCancelNothing) {
    WhenModalOpens<CBitmapAttributesDialog>([](CBitmapAttributesDialog* d) { d->reject(); });
    Run(kCmdNewEmptyBitmap);
    EXPECT_EQ(Items().Count(), 0);
    EXPECT_FALSE(App().IsModified());

    WhenModalOpens<CBitmapAttributesDialog>([](CBitmapAttributesDialog* d) {
        d->HeightEdit()->setText(QStringLiteral("3"));
        PressOk(d);
    });
    Run(kCmdNewEmptyBitmap);
    ASSERT_EQ(Items().Count(), 1);
    const tagILVITEM* item = Items().Item(0);
    EXPECT_EQ(item->header->biWidth, 32);
    EXPECT_EQ(item->header->biHeight, 3);
    EXPECT_EQ(item->header->biBitCount, 24);
    EXPECT_EQ(item->bits[0], 0xFF);
    EXPECT_EQ(item->mask, nullptr);
    EXPECT_TRUE(App().IsModified());
}

// ---- Image Resize ----

class ResizeDialog : public testing::Test {
protected:
    const tagILVITEM& Add(int width, int height, int bitCount = 24, bool withMask = false) {
        return *list.Item(AddPicture(list, width, height, bitCount, 0x20, withMask));
    }
    CItemList list;
};

TEST_F(ResizeDialog, ImageResizeShowsTheCurrentAndNewSizes) {
    CImageResizeDialog dialog(Add(10, -1));
    EXPECT_EQ(dialog.windowTitle(), "Image Resize");
    const ResizePicture picture{10, 1, 24};
    EXPECT_EQ(dialog.CurrentGroup()->title().toStdString(), CurrentSizeText(picture));
    EXPECT_EQ(dialog.CurrentWidthLabel()->text(), "10 pixels");
    EXPECT_EQ(dialog.CurrentHeightLabel()->text(), "1 pixel");
    EXPECT_EQ(dialog.WidthEdit()->text(), "10");
    EXPECT_EQ(dialog.HeightEdit()->text(), "1");
    EXPECT_TRUE(dialog.AspectBox()->isChecked());
    EXPECT_EQ(dialog.NewGroup()->title().toStdString(), NewSizeText(24, 10, 1));
    EXPECT_EQ(dialog.PreviewButton()->text(), "&Preview");
    QString typed = QStringLiteral("-3");
    int position = 2;
    EXPECT_EQ(dialog.WidthEdit()->validator()->validate(typed, position), QValidator::Invalid);
    Type(dialog.WidthEdit(), QStringLiteral("1234567890"));
    EXPECT_EQ(dialog.WidthEdit()->text(), "123456789");  // nine characters typed at most
}

TEST_F(ResizeDialog, ALinkedTextLongerThanTheEditLimitIsShownWholeAndRefused) {
    CImageResizeDialog dialog(Add(100, 1));
    dialog.show();
    Type(dialog.HeightEdit(), QStringLiteral("999999999"));
    EXPECT_EQ(dialog.WidthEdit()->text(), "99999997952");  // 100 x 999999999 in single precision
    EXPECT_EQ(OkRefused(&dialog), kSideRange);
    ExpectFocusedAndSelected(&dialog, dialog.WidthEdit());
    // It can be shortened, not lengthened.
    dialog.WidthEdit()->end(false);
    QTest::keyClick(dialog.WidthEdit(), Qt::Key_Backspace);
    EXPECT_EQ(dialog.WidthEdit()->text(), "9999999795");
    QTest::keyClick(dialog.WidthEdit(), Qt::Key_1);
    EXPECT_EQ(dialog.WidthEdit()->text(), "9999999795");
}

TEST_F(ResizeDialog, TheAspectLinkFollowsTypingWithoutFeedback) {
    CImageResizeDialog dialog(Add(100, 1));
    dialog.show();
    // 50 / 100 truncates to a height of 0: no new size, and OK names the height.
    Type(dialog.WidthEdit(), QStringLiteral("50"));
    EXPECT_EQ(dialog.WidthEdit()->text(), "50");
    EXPECT_EQ(dialog.HeightEdit()->text(), "0");
    EXPECT_EQ(dialog.NewGroup()->title(), "New Size: --");
    EXPECT_EQ(OkRefused(&dialog), kSideRange);
    ExpectFocusedAndSelected(&dialog, dialog.HeightEdit());

    Type(dialog.HeightEdit(), QStringLiteral("3"));
    EXPECT_EQ(dialog.WidthEdit()->text(), "300");
    dialog.HeightEdit()->clear();
    EXPECT_EQ(dialog.WidthEdit()->text(), "");  // an invalid entry empties the other

    // Unchecked, the edits are independent; checking again restores the size.
    dialog.AspectBox()->click();
    Type(dialog.WidthEdit(), QStringLiteral("7"));
    EXPECT_EQ(dialog.HeightEdit()->text(), "");
    EXPECT_EQ(OkRefused(&dialog), kSideRange);
    ExpectFocusedAndSelected(&dialog, dialog.HeightEdit());
    dialog.AspectBox()->click();
    EXPECT_EQ(dialog.WidthEdit()->text(), "100");
    EXPECT_EQ(dialog.HeightEdit()->text(), "1");
    EXPECT_EQ(dialog.NewGroup()->title().toStdString(), NewSizeText(24, 100, 1));

    dialog.AspectBox()->click();
    dialog.WidthEdit()->clear();
    EXPECT_EQ(OkRefused(&dialog), kSideRange);
    ExpectFocusedAndSelected(&dialog, dialog.WidthEdit());
    Type(dialog.WidthEdit(), QStringLiteral("40"));
    Type(dialog.HeightEdit(), QStringLiteral("2"));
    PressOk(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.NewWidth(), 40);
    EXPECT_EQ(dialog.NewHeight(), 2);
}

TEST_F(ResizeDialog, PreviewShowsTheResizedPictureOrTheRefusal) {
    CImageResizeDialog dialog(Add(4, 2, 8, true));
    dialog.show();
    Type(dialog.WidthEdit(), QStringLiteral("8"));
    QString caption;
    bool masked = false;
    WhenModalOpens<CImageViewerDialog>([&](CImageViewerDialog* viewer) {
        caption = viewer->windowTitle();
        masked = viewer->ImageControl()->Canvas()->HasMask();
        viewer->reject();
    });
    dialog.PreviewButton()->click();
    EXPECT_EQ(caption, "Image Viewer [8x4, 8-bit]");
    EXPECT_TRUE(masked);
    EXPECT_TRUE(dialog.isVisible());

    dialog.HeightEdit()->clear();
    QString message;
    AnswerNextMessageBox(QMessageBox::Ok, &message);
    dialog.PreviewButton()->click();
    EXPECT_EQ(message, kSideRange);
    ExpectFocusedAndSelected(&dialog, dialog.WidthEdit());
}

// ---- Canvas Resize ----

TEST_F(ResizeDialog, CanvasResizeStartsCentredAndReadsRelativeEntries) {
    CCanvasResizeDialog dialog(Add(10, 10));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Canvas Resize");
    EXPECT_FALSE(dialog.RelativeBox()->isChecked());
    EXPECT_TRUE(dialog.AnchorButton(AnchorRow::Middle, AnchorColumn::Center)->isChecked());
    EXPECT_EQ(dialog.ColorBox()->Color(), QColor(Qt::black));
    EXPECT_EQ(dialog.ColorBox()->size(), QSize(18, 18));
    EXPECT_EQ(dialog.ColorBox()->accessibleName(), "Canvas extention color");

    dialog.RelativeBox()->click();
    EXPECT_EQ(dialog.WidthEdit()->text(), "0");
    EXPECT_EQ(dialog.HeightEdit()->text(), "0");
    Type(dialog.WidthEdit(), QStringLiteral("-3"));  // signs are typed in relative mode
    EXPECT_EQ(dialog.WidthEdit()->text(), "-3");
    Type(dialog.HeightEdit(), QStringLiteral("-10"));
    EXPECT_EQ(dialog.NewGroup()->title(), "New Size: --");
    EXPECT_EQ(OkRefused(&dialog), kSideRange);
    ExpectFocusedAndSelected(&dialog, dialog.HeightEdit());
    Type(dialog.HeightEdit(), QStringLiteral("-3"));
    EXPECT_EQ(dialog.NewGroup()->title().toStdString(), NewSizeText(24, 7, 7));

    dialog.AnchorButton(AnchorRow::Bottom, AnchorColumn::Right)->click();
    dialog.ColorBox()->SetColor(QColor(1, 2, 3));
    PressOk(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.NewWidth(), 7);
    EXPECT_EQ(dialog.NewHeight(), 7);
    EXPECT_EQ(dialog.Anchor(), CanvasAnchorCode(AnchorRow::Bottom, AnchorColumn::Right));
    EXPECT_EQ(dialog.Fill(), RgbColor(1, 2, 3));

    CCanvasResizeDialog again(*list.Item(0));
    again.RelativeBox()->click();
    again.RelativeBox()->click();
    EXPECT_EQ(again.WidthEdit()->text(), "10");
    EXPECT_EQ(again.HeightEdit()->text(), "10");
}

TEST_F(ResizeDialog, CanvasPreviewSaysPreview) {
    CCanvasResizeDialog dialog(Add(10, 10));
    dialog.show();
    Type(dialog.WidthEdit(), QStringLiteral("13"));
    QString caption;
    WhenModalOpens<CImageViewerDialog>([&](CImageViewerDialog* viewer) {
        caption = viewer->windowTitle();
        viewer->reject();
    });
    dialog.PreviewButton()->click();
    EXPECT_EQ(caption, "Image Viewer [13x10, 24-bit] (Preview)");
}

using ResizeCommands = CommandTest;

TEST_F(ResizeCommands, OkResizesWithTheMaskCancelAndTheSameSizeChangeNothing) {
    Items().AddItem(MakePictureItem(4, 2, 24, 0x40, true));
    Select({0});
    App().ClearModified();
    const DibHeader* before = Items().Item(0)->header;

    WhenModalOpens<CImageResizeDialog>([](CImageResizeDialog* d) {
        Type(d->WidthEdit(), QStringLiteral("8"));
        d->reject();
    });
    Run(kCmdImageResize);
    EXPECT_EQ(Items().Item(0)->header, before);
    WhenModalOpens<CImageResizeDialog>([](CImageResizeDialog* d) { PressOk(d); });
    Run(kCmdImageResize);
    EXPECT_EQ(Items().Item(0)->header, before);
    EXPECT_FALSE(App().IsModified());

    WhenModalOpens<CImageResizeDialog>([](CImageResizeDialog* d) {
        Type(d->WidthEdit(), QStringLiteral("8"));
        PressOk(d);
    });
    Run(kCmdImageResize);
    const tagILVITEM* item = Items().Item(0);
    EXPECT_EQ(item->header->biWidth, 8);
    EXPECT_EQ(item->header->biHeight, 4);
    EXPECT_NE(item->mask, nullptr);
    EXPECT_TRUE(App().IsModified());

    App().ClearModified();
    WhenModalOpens<CCanvasResizeDialog>([](CCanvasResizeDialog* d) {
        Type(d->WidthEdit(), QStringLiteral("30"));
        d->reject();
    });
    Run(kCmdCanvasResize);
    EXPECT_EQ(Items().Item(0)->header->biWidth, 8);
    EXPECT_FALSE(App().IsModified());

    WhenModalOpens<CCanvasResizeDialog>([](CCanvasResizeDialog* d) {
        d->AnchorButton(AnchorRow::Top, AnchorColumn::Left)->click();
        d->ColorBox()->SetColor(QColor(0, 0, 255));
        Type(d->WidthEdit(), QStringLiteral("9"));
        PressOk(d);
    });
    Run(kCmdCanvasResize);
    item = Items().Item(0);
    EXPECT_EQ(item->header->biWidth, 9);
    EXPECT_EQ(item->header->biHeight, 4);
    // The new column on the right is the extension colour (BGR bytes).
    const std::uint8_t* lastPixel = item->bits + 8 * 3;
    EXPECT_EQ(lastPixel[0], 255);
    EXPECT_EQ(lastPixel[2], 0);
    EXPECT_EQ(item->bits[0], 0x40);
}

TEST_F(ResizeCommands, ADuplicateIsRefusedWithoutADialog) {
    Items().AddItem(MakePictureItem(4, 2));
    Items().AddDuplicate(FrameInfo{}, 0, 0, 0);
    Select({1});
    for (CommandId id : {kCmdImageResize, kCmdCanvasResize}) {
        SCOPED_TRACE(id);
        QString message;
        AnswerNextMessageBox(QMessageBox::Ok, &message);
        Run(id);
        EXPECT_TRUE(
            message.startsWith("You can not perform this operation on duplicated (shadow) item."));
    }
    EXPECT_EQ(Items().Item(0)->header->biWidth, 4);
}

TEST_F(ResizeCommands, TheResamplingChoiceBlendsAndIsRememberedForTheNextResize) {
    // Black beside white: the nearest pixel keeps one of them, smooth averages.
    Items().AddItem(MakePictureItem(2, 1, 24, 0x00));
    std::memset(Items().Item(0)->bits + 3, 0xFF, 3);
    Select({0});
    Resampling opened = Resampling::Smooth;
    WhenModalOpens<CImageResizeDialog>([&](CImageResizeDialog* d) {
        opened = d->ChosenResampling();
        EXPECT_EQ(d->ResamplingList()->itemText(1), "Smooth");
        d->AspectBox()->setChecked(false);
        d->ResamplingList()->setCurrentIndex(1);
        Type(d->WidthEdit(), QStringLiteral("1"));
        PressOk(d);
    });
    Run(kCmdImageResize);
    EXPECT_EQ(opened, Resampling::NearestPixel);
    EXPECT_EQ(Items().Item(0)->header->biWidth, 1);
    EXPECT_NEAR(Items().Item(0)->bits[0], 128, 1);
    EXPECT_EQ(App().settings.resizeResampling, static_cast<int>(Resampling::Smooth));

    WhenModalOpens<CImageResizeDialog>([&](CImageResizeDialog* d) {
        opened = d->ChosenResampling();
        d->reject();
    });
    Run(kCmdImageResize);
    EXPECT_EQ(opened, Resampling::Smooth);
}

// ---- Merge ----

class MergeDialog : public testing::Test {
protected:
    // Three 16 x 16 pictures and one 32 x 8, all selected.
    MergeDialog() {
        for (int i = 0; i < 3; ++i) AddPicture(list, 16, 16);
        AddPicture(list, 32, 8);
        for (int i = 0; i < 4; ++i) list.SetSelected(i, true);
    }
    std::unique_ptr<CMergeDialog> Open() {
        auto dialog = std::make_unique<CMergeDialog>(DescribeMergeSelection(list),
                                                     SelectedMergeSources(list));
        dialog->show();
        return dialog;
    }
    CItemList list;
};

TEST_F(MergeDialog, OpensOnOneStripOfAllTheImages) {
    const auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "Merge");
    EXPECT_TRUE(dialog->HorizontalButton()->isChecked());
    EXPECT_EQ(dialog->StripEdit()->Line()->text(), "4");
    EXPECT_EQ(dialog->StripEdit()->Line()->maxLength(), 10);
    EXPECT_EQ(dialog->CountLabel()->text(), "4");
    EXPECT_EQ(dialog->ResultLabel()->text(), "Result: 128x16, 24-bit image");
    EXPECT_FALSE(dialog->FillBox()->isChecked());
    EXPECT_FALSE(dialog->ColorBox()->isEnabled());
    EXPECT_EQ(dialog->ColorBox()->size(), QSize(18, 18));
    EXPECT_TRUE(dialog->DeleteBox()->isEnabled());
    EXPECT_FALSE(dialog->DeleteBox()->isChecked());
    EXPECT_EQ(dialog->DeleteBox()->accessibleName(), "Delete the source images after merge");

    dialog->FillBox()->click();
    EXPECT_TRUE(dialog->ColorBox()->isEnabled());
    // The up-down stays within 1 to n.
    dialog->StripEdit()->stepBy(5);
    EXPECT_EQ(dialog->StripEdit()->Line()->text(), "4");
    dialog->StripEdit()->stepBy(-9);
    EXPECT_EQ(dialog->StripEdit()->Line()->text(), "1");
}

TEST_F(MergeDialog, TheResultFollowsTheEntryAndTheOrientation) {
    const auto dialog = Open();
    const qint64 horizontalIcon = dialog->OrientationIcon()->pixmap().cacheKey();
    Type(dialog->StripEdit()->Line(), QStringLiteral("2"));
    EXPECT_EQ(dialog->ResultLabel()->text(), "Result: 64x32, 24-bit image");
    Type(dialog->StripEdit()->Line(), QStringLiteral("1"));
    EXPECT_EQ(dialog->ResultLabel()->text(), "Result: 32x64, 24-bit image");
    dialog->VerticalButton()->click();
    EXPECT_EQ(dialog->ResultLabel()->text(), "Result: 128x16, 24-bit image");
    EXPECT_NE(dialog->OrientationIcon()->pixmap().cacheKey(), horizontalIcon);

    for (const char* entry : {"0", "5", ""}) {
        SCOPED_TRACE(entry);
        Type(dialog->StripEdit()->Line(), QString::fromLatin1(entry));
        if (!*entry) dialog->StripEdit()->Line()->clear();
        EXPECT_EQ(dialog->ResultLabel()->text(), "");
        EXPECT_EQ(OkRefused(dialog.get()), "Please enter a value between 1 and 4.");
        EXPECT_TRUE(dialog->isVisible());
        ExpectFocusedAndSelected(dialog.get(), dialog->StripEdit());
    }
}

TEST_F(MergeDialog, ADuplicateInTheSelectionDisablesDeleting) {
    list.AddDuplicate(FrameInfo{}, 0, 0, 0);
    const auto dialog = Open();
    EXPECT_FALSE(dialog->DeleteBox()->isEnabled());
    dialog->DeleteBox()->setChecked(true);
    PressOk(dialog.get());
    EXPECT_FALSE(dialog->Options().deleteSources);
}

TEST_F(MergeDialog, PreviewShowsTheMergedImage) {
    const auto dialog = Open();
    Type(dialog->StripEdit()->Line(), QStringLiteral("2"));
    QString caption;
    WhenModalOpens<CImageViewerDialog>([&](CImageViewerDialog* viewer) {
        caption = viewer->windowTitle();
        viewer->reject();
    });
    dialog->PreviewButton()->click();
    EXPECT_EQ(caption, "Image Viewer [64x32, 24-bit] (Preview)");
}

using MergeCommand = CommandTest;

TEST_F(MergeCommand, OkAppendsTheStripAndDeletesTheSourcesCancelNothing) {
    for (int i = 0; i < 3; ++i) Items().AddItem(MakePictureItem(16, 16));
    Items().AddItem(MakePictureItem(32, 8, 32));
    Select({0, 1, 2, 3});
    App().ClearModified();

    WhenModalOpens<CMergeDialog>([](CMergeDialog* d) { d->reject(); });
    Run(kCmdMerge);
    EXPECT_EQ(Items().Count(), 4);
    EXPECT_FALSE(App().IsModified());

    WhenModalOpens<CMergeDialog>([](CMergeDialog* d) {
        EXPECT_EQ(d->ResultLabel()->text(), "Result: 128x16, 32-bit image");
        Type(d->StripEdit()->Line(), QStringLiteral("2"));
        d->FillBox()->click();
        d->DeleteBox()->click();
        PressOk(d);
    });
    Run(kCmdMerge);
    ASSERT_EQ(Items().Count(), 1);
    const DibHeader* merged = Items().Item(0)->header;
    EXPECT_EQ(merged->biWidth, 64);
    EXPECT_EQ(merged->biHeight, 32);
    EXPECT_EQ(merged->biBitCount, 32);
    EXPECT_EQ(Items().Item(0)->bits[3], 255);  // the fill is opaque
    EXPECT_TRUE(App().IsModified());
}

// ---- Split ----

class SplitDialog : public testing::Test {
protected:
    std::unique_ptr<CSplitDialog> Open(int width = 48, int height = 32) {
        const int index = AddPicture(list, width, height);
        const tagILVITEM* item = list.Item(index);
        auto dialog = std::make_unique<CSplitDialog>(DescribeSplitItem(list, index), item->header,
                                                     item->bits);
        dialog->show();
        return dialog;
    }
    CItemList list;
};

TEST_F(SplitDialog, OpensOnOneTileAndPaintsInvalidCountsRed) {
    const auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "Split");
    EXPECT_EQ(dialog->WidthEdit()->Line()->text(), "1");
    EXPECT_EQ(dialog->HeightEdit()->Line()->text(), "1");
    EXPECT_EQ(dialog->WidthEdit()->Line()->maxLength(), 3);
    EXPECT_EQ(dialog->ResultLabel()->text(), "Result: 1 numbers of 48x32 images");
    EXPECT_EQ(dialog->PreviewPane()->Canvas()->Label(), "48x32, 24-bit");
    EXPECT_TRUE(dialog->DeleteBox()->isEnabled());
    EXPECT_FALSE(dialog->ShowsInvalid(dialog->WidthEdit()));

    Type(dialog->WidthEdit()->Line(), QStringLiteral("5"));
    EXPECT_TRUE(dialog->ShowsInvalid(dialog->WidthEdit()));
    EXPECT_FALSE(dialog->ShowsInvalid(dialog->HeightEdit()));
    EXPECT_EQ(dialog->ResultLabel()->text(), "");
    Type(dialog->WidthEdit()->Line(), QStringLiteral("3"));
    Type(dialog->HeightEdit()->Line(), QStringLiteral("2"));
    EXPECT_FALSE(dialog->ShowsInvalid(dialog->WidthEdit()));
    EXPECT_EQ(dialog->ResultLabel()->text(), "Result: 6 numbers of 16x16 images");
    dialog->HeightEdit()->stepBy(100);
    EXPECT_EQ(dialog->HeightEdit()->Line()->text(), "32");  // min(height, 999)
}

TEST_F(SplitDialog, OkChecksBothCountsInOrderAndFocusesEach) {
    const auto dialog = Open();
    Type(dialog->WidthEdit()->Line(), QStringLiteral("5"));
    Type(dialog->HeightEdit()->Line(), QStringLiteral("0"));
    QString first, second;
    AnswerNextMessageBox(QMessageBox::Ok, &first);
    AnswerNextMessageBox(QMessageBox::Ok, &second);
    PressOk(dialog.get());
    EXPECT_EQ(first, "Width is not divisible to the round number.");
    EXPECT_EQ(second, "Please enter a value between 1 and 32.");
    EXPECT_TRUE(dialog->isVisible());
    ExpectFocusedAndSelected(dialog.get(), dialog->HeightEdit());

    Type(dialog->WidthEdit()->Line(), QStringLiteral("49"));
    Type(dialog->HeightEdit()->Line(), QStringLiteral("3"));
    QString width, height;
    AnswerNextMessageBox(QMessageBox::Ok, &width);
    AnswerNextMessageBox(QMessageBox::Ok, &height);
    PressOk(dialog.get());
    EXPECT_EQ(width, "Please enter a value between 1 and 48.");
    EXPECT_EQ(height, "Height is not divisible to the round number.");

    Type(dialog->WidthEdit()->Line(), QStringLiteral("3"));
    Type(dialog->HeightEdit()->Line(), QStringLiteral("2"));
    dialog->DeleteBox()->click();
    PressOk(dialog.get());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Options().tilesAcross, 3);
    EXPECT_EQ(dialog->Options().tilesDown, 2);
    EXPECT_TRUE(dialog->Options().deleteSource);
}

TEST_F(SplitDialog, TheGridIsDrawnAtTileSizeTimesZoomOverThePicture) {
    EXPECT_EQ(CSplitDialog::GridLineOffsets(3, 16, 1.5f), (std::vector<int>{0, 24, 48, 72}));
    EXPECT_EQ(CSplitDialog::GridLineOffsets(2, 3, 0.25f), std::vector<int>{});
    const auto dialog = Open();
    CCanvasWnd* canvas = dialog->PreviewPane()->Canvas();
    canvas->SetZoom(2.0f);
    const QRect picture = canvas->PictureRect();
    const auto isGrid = [](QColor c) {
        return c == QColor(0, 0, 255) || c == QColor(240, 248, 255);
    };
    EXPECT_FALSE(isGrid(canvas->Render().pixelColor(picture.left() + 32, picture.top() + 5)));
    Type(dialog->WidthEdit()->Line(), QStringLiteral("3"));
    Type(dialog->HeightEdit()->Line(), QStringLiteral("2"));
    const QImage drawn = canvas->Render();
    for (int x : {0, 32, 64, 96}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(isGrid(drawn.pixelColor(picture.left() + x, picture.top() + 5)));
    }
    EXPECT_TRUE(isGrid(drawn.pixelColor(picture.left() + 5, picture.top() + 32)));
    EXPECT_EQ(drawn.pixelColor(picture.left() + 31, picture.top() + 5), QColor(Qt::black));
    // Neighbouring line pixels alternate the two blues.
    EXPECT_NE(drawn.pixelColor(picture.left() + 32, picture.top() + 5),
              drawn.pixelColor(picture.left() + 32, picture.top() + 6));
}

using SplitCommand = CommandTest;

TEST_F(SplitCommand, OkAppendsTheTilesAndRemovesTheSourceCancelNothing) {
    Items().AddItem(MakePictureItem(48, 32, 24, 0x20, true));
    Select({0});
    App().ClearModified();
    WhenModalOpens<CSplitDialog>([](CSplitDialog* d) { d->reject(); });
    Run(kCmdSplit);
    EXPECT_EQ(Items().Count(), 1);
    EXPECT_FALSE(App().IsModified());

    WhenModalOpens<CSplitDialog>([](CSplitDialog* d) {
        Type(d->WidthEdit()->Line(), QStringLiteral("3"));
        Type(d->HeightEdit()->Line(), QStringLiteral("2"));
        d->DeleteBox()->click();
        PressOk(d);
    });
    Run(kCmdSplit);
    ASSERT_EQ(Items().Count(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Items().Item(i)->header->biWidth, 16);
        EXPECT_EQ(Items().Item(i)->header->biHeight, 16);
        EXPECT_EQ(Items().Item(i)->mask, nullptr);
    }
    EXPECT_TRUE(App().IsModified());
}

TEST_F(SplitCommand, AnOriginalWithDuplicatesStaysAndADuplicateShowsItsReference) {
    Items().AddItem(MakePictureItem(4, 2));
    Items().AddDuplicate(FrameInfo{}, 0, 0, 0);
    Select({0});
    WhenModalOpens<CSplitDialog>([](CSplitDialog* d) {
        EXPECT_FALSE(d->DeleteBox()->isEnabled());
        d->DeleteBox()->setChecked(true);
        Type(d->WidthEdit()->Line(), QStringLiteral("2"));
        PressOk(d);
    });
    Run(kCmdSplit);
    ASSERT_EQ(Items().Count(), 4);
    EXPECT_EQ(Items().Item(0)->header->biWidth, 4);
    EXPECT_EQ(Items().Item(2)->header->biWidth, 2);

    Select({1});
    QString label;
    WhenModalOpens<CSplitDialog>([&](CSplitDialog* d) {
        label = d->PreviewPane()->Canvas()->Label();
        d->reject();
    });
    Run(kCmdSplit);
    EXPECT_EQ(label, "4x2, 24-bit");
}

// With ICONMILL_SCREENS_DIR set, the dialogs are rendered there for review.
TEST(CommandDialogsScreenshot, RendersTheFiveDialogs) {
    const QByteArray folder = qgetenv("ICONMILL_SCREENS_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "ICONMILL_SCREENS_DIR not set";
    const QString dir = QString::fromLocal8Bit(folder);
    CItemList list;
    for (int i = 0; i < 3; ++i) AddPicture(list, 16, 16, 24, static_cast<std::uint8_t>(0x50 * i));
    AddPicture(list, 32, 8, 24, 0xC0);
    for (int i = 0; i < 4; ++i) list.SetSelected(i, true);
    const auto save = [&](QDialog& dialog, const char* name) {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(50);
        EXPECT_TRUE(dialog.grab().save(dir + "/" + name));
    };
    CMergeDialog merge(DescribeMergeSelection(list), SelectedMergeSources(list));
    Type(merge.StripEdit()->Line(), QStringLiteral("2"));
    merge.FillBox()->click();
    save(merge, "merge-dialog.png");

    const int big = AddPicture(list, 96, 64, 24, 0x80);
    CSplitDialog split(DescribeSplitItem(list, big), list.Item(big)->header, list.Item(big)->bits);
    split.resize(420, 420);
    Type(split.WidthEdit()->Line(), QStringLiteral("3"));
    Type(split.HeightEdit()->Line(), QStringLiteral("2"));
    split.PreviewPane()->SetZoom(3.0f);
    save(split, "split-dialog.png");

    CCanvasResizeDialog canvas(*list.Item(big));
    canvas.RelativeBox()->click();
    Type(canvas.WidthEdit(), QStringLiteral("8"));
    Type(canvas.HeightEdit(), QStringLiteral("-4"));
    canvas.AnchorButton(AnchorRow::Top, AnchorColumn::Left)->click();
    save(canvas, "canvas-resize-dialog.png");

    CImageResizeDialog image(*list.Item(big));
    Type(image.WidthEdit(), QStringLiteral("48"));
    save(image, "image-resize-dialog.png");

    CBitmapAttributesDialog attributes{BitmapAttributes{}};
    save(attributes, "bitmap-attributes-dialog.png");
}

}  // namespace
