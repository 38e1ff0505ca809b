// The Grayscale, Alpha Compositing and Mask Editor dialogs driven through their
// real widgets, and their commands through the real window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/application.h"
#include "core/dib.h"
#include "ops/grayscale.h"
#include "ops/mask_edit.h"
#include "support/block_bytes.h"
#include "support/test_items.h"
#include "ui/alpha_compositing_dialog.h"
#include "ui/color_box.h"
#include "ui/editor.h"
#include "ui/grayscale_dialog.h"
#include "ui/image_ctrl.h"
#include "ui/main_window.h"
#include "ui/mask_edit_dialog.h"
#include "ui/settings_store.h"
#include "ui/tool_cursors.h"
#include "ui_test_support.h"

namespace {

constexpr float kZoom = 10.0f;

// Mouse work on one image control zoomed to kZoom.
struct Pane {
    CImageCtrl* control;

    QWidget* Viewport() const { return control->Canvas()->viewport(); }
    QPoint At(int x, int y) const {
        return control->Canvas()->PictureRect().topLeft() +
               QPoint(int(kZoom) * x + 5, int(kZoom) * y + 5);
    }
    QPoint Outside() const { return control->Canvas()->PictureRect().topLeft() - QPoint(20, 20); }
    void Click(int x, int y) const { QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(x, y)); }
    void Press(int x, int y) const { QTest::mousePress(Viewport(), Qt::LeftButton, {}, At(x, y)); }
    void Release(int x, int y) const {
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, At(x, y));
    }
    void Move(const QPoint& p, Qt::MouseButtons buttons) const {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), Viewport()->mapToGlobal(QPointF(p)),
                         Qt::NoButton, buttons, {});
        QApplication::sendEvent(Viewport(), &move);
    }
    void DragTo(int x, int y) const { Move(At(x, y), Qt::LeftButton); }
    void DragOutside() const { Move(Outside(), Qt::LeftButton); }
    // The cursor over pixel (x, y) of the picture.
    QCursor CursorAt(int x, int y) const {
        Move(At(x, y), Qt::NoButton);
        return Viewport()->cursor();
    }
};

bool SameCursor(const QCursor& a, const QCursor& b) {
    return a.shape() == b.shape() && a.hotSpot() == b.hotSpot() &&
           a.pixmap().toImage() == b.pixmap().toImage();
}

void Show(QDialog& dialog) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

// Byte offset of picture pixel (x, y) in a bottom-up or top-down image.
std::size_t PixelOffset(const DibHeader* h, int x, int y) {
    const std::size_t row = h->biHeight < 0 ? std::size_t(y) : std::size_t(h->biHeight - 1 - y);
    return DibStride(h) * row + std::size_t(x) * (h->biBitCount / 8);
}

void SetPixel(tagILVITEM& item, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a = 255) {
    std::uint8_t* p = item.bits + PixelOffset(item.header, x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
    if (item.header->biBitCount == 32) p[3] = a;
}

// The mask bit of picture pixel (x, y): true transparent.
bool MaskBit(const DibHeader* h, std::span<const std::uint8_t> mask, int x, int y) {
    const std::size_t stride = DibImageSizeFor(h->biWidth, 1, 1);
    const std::size_t row = h->biHeight < 0 ? std::size_t(y) : std::size_t(h->biHeight - 1 - y);
    return (mask[stride * row + std::size_t(x / 8)] >> (7 - x % 8)) & 1;
}

// ---------------------------------------------------------------- Grayscale

class GrayscaleDialog : public testing::Test {
protected:
    // A 3 x 2 24-bit picture: (0,0) red-ish, (1,0) (37,37,37), the rest (13,13,13).
    GrayscaleDialog() {
        index = AddPicture(list, 3, 2, 24, 13);
        tagILVITEM& item = *list.Item(index);
        SetPixel(item, 0, 0, 200, 10, 10);
        SetPixel(item, 1, 0, 37, 37, 37);
        source = BlockBytes(item.bits, DibImageSize(item.header));
    }
    void Open() {
        dialog = std::make_unique<CGrayscaleDialog>(*list.Item(index));
        Show(*dialog);
        dialog->ImageControl()->SetZoom(kZoom);
    }
    const DibHeader* Header() const { return list.Item(index)->header; }
    // Red, green, blue of working pixel (x, y).
    std::vector<int> Working(int x, int y) const {
        const std::uint8_t* p = dialog->WorkingBits().data() + PixelOffset(Header(), x, y);
        return {p[2], p[1], p[0]};
    }
    Pane Preview() const { return {dialog->ImageControl()}; }

    CItemList list;
    int index = -1;
    std::vector<std::uint8_t> source;
    std::unique_ptr<CGrayscaleDialog> dialog;
};

TEST_F(GrayscaleDialog, StartsConvertedByBt709WithThePreserveControlsOff) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Grayscale");
    ASSERT_EQ(dialog->MethodList()->count(), 4);
    const char* texts[] = {"Lightness", "Average", "Luma (TV)", "Luma (HDTV- BT.709)"};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(dialog->MethodList()->item(row)->text(), texts[row]);
    EXPECT_EQ(dialog->MethodList()->currentRow(), kGrayLumaBt709);
    EXPECT_EQ(dialog->PreserveCheck()->text(), "&Preserve one of colors");
    EXPECT_FALSE(dialog->PreserveCheck()->isChecked());
    EXPECT_FALSE(dialog->ColorBox()->isEnabled());
    EXPECT_FALSE(dialog->PickButton()->isEnabled());
    EXPECT_EQ(dialog->PickButton()->text(), "P&ick");
    EXPECT_TRUE(dialog->PickButton()->isCheckable());
    EXPECT_EQ(dialog->ColorBox()->size(), QSize(18, 18));
    EXPECT_EQ(dialog->ColorBox()->Color(), QColor(Qt::black));
    EXPECT_EQ(qobject_cast<QGroupBox*>(dialog->ImageControl()->parentWidget())->title(),
              "Pre&view");

    // The preview shows the converted copy; the item is untouched.
    EXPECT_EQ(dialog->ImageControl()->Canvas()->Bits(), dialog->WorkingBits().data());
    const int red = GrayLevel(200, 10, 10, kGrayLumaBt709);
    EXPECT_EQ(Working(0, 0), (std::vector<int>{red, red, red}));
    EXPECT_EQ(Working(0, 1), (std::vector<int>{12, 12, 12}));
    EXPECT_EQ(BlockBytes(list.Item(index)->bits, source.size()), source);

    dialog->PreserveCheck()->click();
    EXPECT_TRUE(dialog->ColorBox()->isEnabled());
    EXPECT_TRUE(dialog->PickButton()->isEnabled());
    dialog->PreserveCheck()->click();
    EXPECT_FALSE(dialog->PickButton()->isEnabled());
}

TEST_F(GrayscaleDialog, MethodAndColourBoxChangesRunTheConversionAgain) {
    Open();
    QListWidget* methods = dialog->MethodList();
    QTest::mouseClick(methods->viewport(), Qt::LeftButton, {},
                      methods->visualItemRect(methods->item(kGrayLumaTv)).center());
    EXPECT_EQ(dialog->Choice().method, kGrayLumaTv);
    EXPECT_EQ(Working(1, 0), (std::vector<int>{36, 36, 36}));
    EXPECT_EQ(Working(0, 1), (std::vector<int>{13, 13, 13}));

    // Preserving a colour chosen in the colour box keeps exactly its pixels.
    dialog->ColorBox()->SetColorChooser(
        [](QWidget*, const QColor&) -> std::optional<QColor> { return QColor(37, 37, 37); });
    dialog->PreserveCheck()->click();
    QTest::mouseClick(dialog->ColorBox(), Qt::LeftButton);
    EXPECT_EQ(dialog->ColorBox()->Color(), QColor(37, 37, 37));
    EXPECT_EQ(Working(1, 0), (std::vector<int>{37, 37, 37}));
    EXPECT_NE(Working(0, 0)[0], 200);

    // With no method selected the copy is the source.
    QTest::mouseClick(methods->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      methods->visualItemRect(methods->item(kGrayLumaTv)).center());
    EXPECT_FALSE(dialog->Choice().method);
    EXPECT_EQ(std::vector<std::uint8_t>(dialog->WorkingBits().begin(), dialog->WorkingBits().end()),
              source);
}

TEST_F(GrayscaleDialog, PickShowsTheSourceAndAClickTakesItsColour) {
    Open();
    dialog->PreserveCheck()->click();
    dialog->PickButton()->click();
    EXPECT_TRUE(dialog->IsPicking());
    CCanvasWnd* canvas = dialog->ImageControl()->Canvas();
    EXPECT_EQ(canvas->Bits(), list.Item(index)->bits);
    EXPECT_TRUE(canvas->ToolMode());
    EXPECT_TRUE(SameCursor(Preview().CursorAt(0, 0), PickerCursor()));

    // Released without a click: back to the converted copy, normal cursor.
    dialog->PickButton()->click();
    EXPECT_EQ(canvas->Bits(), dialog->WorkingBits().data());
    EXPECT_FALSE(canvas->ToolMode());

    dialog->PickButton()->click();
    Preview().Click(0, 0);
    EXPECT_FALSE(dialog->IsPicking());
    EXPECT_FALSE(dialog->PickButton()->isChecked());
    EXPECT_FALSE(canvas->ToolMode());
    EXPECT_EQ(canvas->Bits(), dialog->WorkingBits().data());
    EXPECT_EQ(dialog->ColorBox()->Color(), QColor(200, 10, 10));
    EXPECT_EQ(dialog->Choice().preserved, RgbColor(200, 10, 10));
    EXPECT_EQ(Working(0, 0), (std::vector<int>{200, 10, 10}));
    EXPECT_EQ(Working(1, 0)[0], GrayLevel(37, 37, 37, kGrayLumaBt709));

    // Turning the preserve option off releases a pressed Pick and converts all.
    dialog->PickButton()->click();
    dialog->PreserveCheck()->click();
    EXPECT_FALSE(dialog->IsPicking());
    EXPECT_EQ(Working(0, 0)[0], GrayLevel(200, 10, 10, kGrayLumaBt709));
}

// ------------------------------------------------------- Alpha Compositing

class AlphaDialog : public testing::Test {
protected:
    // A 2 x 2 32-bit picture, colours (200, 100, 50) with alpha 0x80 but (1, 0)
    // opaque; its mask makes (0, 0) transparent.
    void Open(bool withMask = true, int height = 2) {
        index = list.AddItem(MakePictureItem(2, height, 32, 0, withMask, 0));
        tagILVITEM& item = *list.Item(index);
        for (int y = 0; y < std::abs(height); ++y)
            for (int x = 0; x < 2; ++x)
                SetPixel(item, x, y, 200, 100, 50, x == 1 && y == 0 ? 255 : 0x80);
        if (withMask) {
            const std::size_t row = height < 0 ? 0 : std::size_t(height - 1);
            item.mask[4 * row] = 0x80;
        }
        source = BlockBytes(item.bits, DibImageSize(item.header));
        dialog = std::make_unique<CAlphaCompositingDialog>(item);
        ASSERT_TRUE(dialog->IsValid());
        Show(*dialog);
        dialog->ImageControl()->SetZoom(kZoom);
    }
    const std::uint8_t* Pixel(int x, int y) const {
        return dialog->Bits().data() + PixelOffset(list.Item(index)->header, x, y);
    }
    int Alpha(int x, int y) const { return Pixel(x, y)[3]; }
    QRadioButton* Option(int option) const { return dialog->OptionButton(option); }
    std::vector<std::uint8_t> Work() const {
        return {dialog->Bits().begin(), dialog->Bits().end()};
    }
    Pane Preview() const { return {dialog->ImageControl()}; }

    CItemList list;
    int index = -1;
    std::vector<std::uint8_t> source;
    std::unique_ptr<CAlphaCompositingDialog> dialog;
};

TEST_F(AlphaDialog, StartsOnOriginalWithBothTrackBarsOff) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Alpha Compositing");
    EXPECT_EQ(qobject_cast<QGroupBox*>(Option(0)->parentWidget())->title(), "&Set to:");
    const char* texts[] = {"Ori&ginal", "&Flat &value:", "&Pencil tool:", "P&re-multiplied",
                           "Base on &Mask"};
    for (int option = 0; option < kAlphaOptionCount; ++option)
        EXPECT_EQ(Option(option)->text(), texts[option]);
    EXPECT_TRUE(Option(kAlphaOriginal)->isChecked());
    EXPECT_TRUE(Option(kAlphaBaseOnMask)->isEnabled());
    for (QSlider* bar : {dialog->FlatSlider(), dialog->PencilSlider()}) {
        EXPECT_FALSE(bar->isEnabled());
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 255);
        EXPECT_EQ(bar->value(), 255);
    }
    EXPECT_EQ(dialog->ImageControl()->Canvas()->Label(), "2x2, 32-bit");
    EXPECT_EQ(qobject_cast<QGroupBox*>(dialog->ImageControl()->parentWidget())->title(),
              "Pre&view");
    EXPECT_EQ(dialog->ImageControl()->Canvas()->Bits(), dialog->Bits().data());
    EXPECT_FALSE(dialog->IsChanged());
    EXPECT_EQ(Work(), source);
}

TEST_F(AlphaDialog, BaseOnMaskNeedsAMask) {
    Open(false);
    EXPECT_FALSE(Option(kAlphaBaseOnMask)->isEnabled());
}

TEST_F(AlphaDialog, OptionsEnableTheirOwnTrackBarAndApplyOnChoiceAndOnMoves) {
    Open();
    Option(kAlphaFlatValue)->click();
    EXPECT_TRUE(dialog->FlatSlider()->isEnabled());
    EXPECT_FALSE(dialog->PencilSlider()->isEnabled());
    EXPECT_TRUE(dialog->IsChanged());
    EXPECT_EQ(Alpha(0, 0), 255);

    // A keyboard move of the track bar ends at once and is applied.
    dialog->FlatSlider()->setFocus();
    QTest::keyClick(dialog->FlatSlider(), Qt::Key_Home);
    EXPECT_EQ(Alpha(0, 1), 0);
    dialog->FlatSlider()->setValue(100);
    EXPECT_EQ(Alpha(1, 0), 100);
    EXPECT_EQ(Pixel(1, 0)[2], 200);

    // Pre-multiplied starts from the source's alpha, not the flat value.
    Option(kAlphaPremultiplied)->click();
    EXPECT_FALSE(dialog->FlatSlider()->isEnabled());
    EXPECT_EQ(Alpha(0, 0), 0x80);
    EXPECT_EQ(Pixel(0, 0)[2], 200 * 0x80 / 255);
    EXPECT_EQ(Pixel(1, 0)[2], 200);  // opaque: as it was

    // Flat after Pre-multiplied keeps the pre-multiplied colours.
    Option(kAlphaFlatValue)->click();
    EXPECT_EQ(Alpha(0, 0), 100);
    EXPECT_EQ(Pixel(0, 0)[2], 200 * 0x80 / 255);

    Option(kAlphaBaseOnMask)->click();
    EXPECT_EQ(Alpha(0, 0), 0);
    EXPECT_EQ(Alpha(1, 0), 255);
    EXPECT_EQ(Alpha(0, 1), 255);

    Option(kAlphaOriginal)->click();
    EXPECT_EQ(Work(), source);
    EXPECT_TRUE(dialog->IsChanged());
}

TEST_F(AlphaDialog, PencilArmingChangesNothingAndEachPointInsideDoes) {
    Open(true, -2);  // top-down: points still land in picture rows
    Option(kAlphaPencil)->click();
    EXPECT_TRUE(dialog->IsPencilArmed());
    EXPECT_FALSE(dialog->IsChanged());
    EXPECT_TRUE(dialog->PencilSlider()->isEnabled());
    EXPECT_FALSE(dialog->FlatSlider()->isEnabled());
    EXPECT_TRUE(dialog->ImageControl()->Canvas()->ToolMode());
    EXPECT_TRUE(SameCursor(Preview().CursorAt(0, 0), PenCursor()));

    dialog->PencilSlider()->setValue(7);
    EXPECT_EQ(dialog->PencilValue(), 7);
    EXPECT_FALSE(dialog->IsChanged());
    Preview().Press(1, 1);
    Preview().DragOutside();
    EXPECT_EQ(Alpha(1, 1), 7);
    EXPECT_TRUE(dialog->IsChanged());
    Preview().DragTo(0, 1);
    Preview().Release(0, 1);
    EXPECT_EQ(Alpha(0, 1), 7);
    EXPECT_EQ(Alpha(0, 0), 0x80);
    EXPECT_EQ(Alpha(1, 0), 255);
    EXPECT_EQ(Pixel(1, 1)[2], 200);

    // Another option disarms the pencil.
    Option(kAlphaBaseOnMask)->click();
    EXPECT_FALSE(dialog->ImageControl()->Canvas()->ToolMode());
    EXPECT_FALSE(dialog->PencilSlider()->isEnabled());
    EXPECT_EQ(Alpha(0, 0), 0);
    EXPECT_EQ(Alpha(1, 1), 255);
}

// ------------------------------------------------------------ Mask Editor

class MaskDialog : public testing::Test {
protected:
    // A 4 x 2 24-bit picture: column 0 and (3, 1) red, column 1 green, the rest
    // blue; the mask (when asked for) all transparent.
    void Open(bool withMask = true, int height = 2) {
        index = list.AddItem(MakePictureItem(4, height, 24, 0, withMask, 0xFF));
        tagILVITEM& item = *list.Item(index);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                if (x == 0 || (x == 3 && y == 1))
                    SetPixel(item, x, y, 255, 0, 0);
                else if (x == 1)
                    SetPixel(item, x, y, 0, 255, 0);
                else
                    SetPixel(item, x, y, 0, 0, 255);
            }
        dialog = std::make_unique<CMaskEditDialog>(item);
        ASSERT_TRUE(dialog->IsValid());
        Show(*dialog);
        dialog->MaskControl()->SetZoom(kZoom);
    }
    // The working mask as rows of '#' (opaque) and '.' (transparent), top first.
    std::string Rows() const {
        std::string rows;
        for (int y = 0; y < 2; ++y) {
            if (y) rows += '/';
            for (int x = 0; x < 4; ++x)
                rows += MaskBit(list.Item(index)->header, dialog->Mask(), x, y) ? '.' : '#';
        }
        return rows;
    }
    Pane Left() const { return {dialog->MaskControl()}; }
    void Tool(CMaskEditDialog::Tool tool) { dialog->ToolAction(tool)->trigger(); }

    CItemList list;
    int index = -1;
    std::unique_ptr<CMaskEditDialog> dialog;
};

TEST_F(MaskDialog, StartsOnThePointerWithTheMaskLeftAndThePictureThroughItRight) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Mask Editor");
    EXPECT_EQ(qobject_cast<QGroupBox*>(dialog->MaskControl()->parentWidget())->title(), "&Mask");
    EXPECT_EQ(qobject_cast<QGroupBox*>(dialog->PreviewControl()->parentWidget())->title(),
              "&Preview");
    const char* texts[] = {"Pointer",      "Black Pen",     "White Pen",
                           "Color Picker", "Add to Sample", "Subtract from Sample"};
    for (int t = 0; t < CMaskEditDialog::kToolCount; ++t) {
        QAction* action = dialog->ToolAction(static_cast<CMaskEditDialog::Tool>(t));
        EXPECT_EQ(action->text(), texts[t]);
        EXPECT_EQ(action->toolTip(), texts[t]);
        EXPECT_TRUE(action->isCheckable());
        EXPECT_EQ(action->isChecked(), t == 0);
    }
    EXPECT_EQ(dialog->InvertAction()->text(), "Invert");
    EXPECT_FALSE(dialog->InvertAction()->isCheckable());
    EXPECT_EQ(dialog->CurrentTool(), CMaskEditDialog::kPointer);
    EXPECT_EQ(dialog->MaskControl()->Canvas()->BitCount(), 1u);
    EXPECT_EQ(dialog->MaskControl()->Canvas()->Bits(), dialog->Mask().data());
    EXPECT_FALSE(dialog->MaskControl()->Canvas()->ToolMode());
    EXPECT_EQ(dialog->PreviewControl()->Canvas()->Mask(), dialog->Mask().data());
    EXPECT_EQ(dialog->PreviewControl()->ViewMode(), kCanvasViewMask);
    EXPECT_EQ(Rows(), "..../....");
    EXPECT_FALSE(dialog->IsChanged());
}

TEST_F(MaskDialog, PenStrokesEndOutsideThePictureAndRestartInside) {
    Open();
    Tool(CMaskEditDialog::kBlackPen);
    EXPECT_TRUE(SameCursor(Left().CursorAt(0, 0), PenCursor()));
    Left().Press(0, 0);
    EXPECT_TRUE(dialog->InStroke());
    EXPECT_TRUE(dialog->IsChanged());
    Left().DragTo(2, 0);
    Left().DragOutside();
    EXPECT_FALSE(dialog->InStroke());
    Left().DragTo(3, 1);  // a new stroke: no line back to (2, 0)
    Left().Release(3, 1);
    EXPECT_FALSE(dialog->InStroke());
    EXPECT_EQ(Rows(), "###./...#");

    Tool(CMaskEditDialog::kWhitePen);
    Left().Press(1, 0);
    Left().DragTo(1, 1);
    Left().Release(1, 1);
    EXPECT_EQ(Rows(), "#.#./...#");
    // Dragging with the Pointer draws nothing.
    Tool(CMaskEditDialog::kWhitePen);
    EXPECT_EQ(dialog->CurrentTool(), CMaskEditDialog::kPointer);
    Left().Move(Left().At(0, 0), Qt::LeftButton);
    EXPECT_EQ(Rows(), "#.#./...#");
}

TEST_F(MaskDialog, SamplingToolsPickFromThePictureAndReturnToThePointer) {
    Open();
    struct Step {
        CMaskEditDialog::Tool tool;
        int x, y;
        const char* rows;
    };
    const Step steps[] = {
        {CMaskEditDialog::kColorPicker, 0, 1, ".###/.##."},         // red only
        {CMaskEditDialog::kAddToSample, 1, 0, "..##/..#."},         // and green
        {CMaskEditDialog::kSubtractFromSample, 3, 1, "#.##/#.##"},  // red opaque again
        {CMaskEditDialog::kColorPicker, 2, 0, "##../##.#"},         // blue only
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.rows);
        Tool(step.tool);
        CCanvasWnd* left = dialog->MaskControl()->Canvas();
        EXPECT_EQ(left->BitCount(), 24u);  // the picture while sampling
        EXPECT_TRUE(SameCursor(Left().CursorAt(step.x, step.y), PickerCursor()));
        Left().Click(step.x, step.y);
        EXPECT_EQ(Rows(), step.rows);
        EXPECT_EQ(dialog->CurrentTool(), CMaskEditDialog::kPointer);
        EXPECT_TRUE(dialog->ToolAction(CMaskEditDialog::kPointer)->isChecked());
        EXPECT_EQ(left->BitCount(), 1u);
        EXPECT_FALSE(left->ToolMode());
    }
    EXPECT_TRUE(dialog->IsChanged());
}

TEST_F(MaskDialog, EscapeAndLostMouseReturnToThePointerInvertTakesEveryBit) {
    Open(false, -2);  // no mask: a new all-opaque one; top-down rows
    EXPECT_EQ(Rows(), "####/####");
    Tool(CMaskEditDialog::kAddToSample);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog->CurrentTool(), CMaskEditDialog::kPointer);
    EXPECT_TRUE(dialog->isVisible());

    Tool(CMaskEditDialog::kBlackPen);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(dialog.get(), &deactivate);
    EXPECT_EQ(dialog->CurrentTool(), CMaskEditDialog::kPointer);
    EXPECT_FALSE(dialog->MaskControl()->Canvas()->ToolMode());
    EXPECT_FALSE(dialog->IsChanged());

    Tool(CMaskEditDialog::kWhitePen);
    dialog->InvertAction()->trigger();
    EXPECT_EQ(dialog->CurrentTool(), CMaskEditDialog::kPointer);
    EXPECT_TRUE(dialog->IsChanged());
    EXPECT_EQ(std::vector<std::uint8_t>(dialog->Mask().begin(), dialog->Mask().end()),
              std::vector<std::uint8_t>(8, 0xFF));

    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

// ------------------------------------------------- The commands of the window

class ColorMaskCommand : public testing::Test {
protected:
    ColorMaskCommand() {
        SettingsStore().clear();
        editor.Start({});
        App().Items().AddItem(MakePictureItem(2, 2, 32, 0x40, true, 0));
        App().Items().AddDuplicate(FrameInfo{}, 0, 0, 0);
        App().Items().AddItem(MakePictureItem(2, 2, 8, 0x01));
        App().ClearModified();
    }
    ~ColorMaskCommand() override {
        App().ClearModified();
        editor.Window().close();
    }
    CIconmillApp& App() { return editor.App(); }
    tagILVITEM& Item(int index) { return *App().Items().Item(index); }
    void SelectOnly(int index) {
        for (int i = 0; i < App().Items().Count(); ++i) App().Items().SetSelected(i, false);
        App().Items().SetSelected(index, true);
        editor.Window().RefreshCommandStates();
    }
    std::vector<std::uint8_t> Bits(int index) {
        return BlockBytes(Item(index).bits, DibImageSize(Item(index).header));
    }
    CEditor editor;
};

TEST_F(ColorMaskCommand, GrayscaleOkAlwaysWritesBackAndCancelNothing) {
    SelectOnly(2);
    const std::vector<std::uint8_t> bits = Bits(2);
    const RgbQuad entry = DibColorTable(Item(2).header)[1];
    WhenModalOpens<CGrayscaleDialog>([](CGrayscaleDialog* d) { d->reject(); });
    editor.Window().Run(kCmdGrayscale);
    EXPECT_FALSE(App().IsModified());
    EXPECT_EQ(DibColorTable(Item(2).header)[1].rgbRed, entry.rgbRed);

    WhenModalOpens<CGrayscaleDialog>([](CGrayscaleDialog* d) { d->accept(); });
    editor.Window().Run(kCmdGrayscale);
    EXPECT_TRUE(App().IsModified());
    const int gray = GrayLevel(entry.rgbRed, entry.rgbGreen, entry.rgbBlue, kGrayLumaBt709);
    EXPECT_EQ(DibColorTable(Item(2).header)[1].rgbRed, gray);
    EXPECT_EQ(DibColorTable(Item(2).header)[1].rgbBlue, gray);
    EXPECT_EQ(Bits(2), bits);  // indices kept
}

TEST_F(ColorMaskCommand, AlphaWritesBackOnlyWhenChanged) {
    SelectOnly(0);
    const std::vector<std::uint8_t> bits = Bits(0);
    WhenModalOpens<CAlphaCompositingDialog>([](CAlphaCompositingDialog* d) {
        d->OptionButton(kAlphaPencil)->click();
        d->accept();
    });
    editor.Window().Run(kCmdAlphaCompositing);
    EXPECT_FALSE(App().IsModified());
    EXPECT_EQ(Bits(0), bits);

    WhenModalOpens<CAlphaCompositingDialog>([](CAlphaCompositingDialog* d) {
        d->OptionButton(kAlphaFlatValue)->click();
        d->reject();
    });
    editor.Window().Run(kCmdAlphaCompositing);
    EXPECT_EQ(Bits(0), bits);

    WhenModalOpens<CAlphaCompositingDialog>([](CAlphaCompositingDialog* d) {
        d->OptionButton(kAlphaFlatValue)->click();
        d->accept();
    });
    editor.Window().Run(kCmdAlphaCompositing);
    EXPECT_TRUE(App().IsModified());
    EXPECT_EQ(Item(0).bits[3], 255);
    EXPECT_EQ(Item(0).bits[0], 0x40);
}

TEST_F(ColorMaskCommand, MaskEditorWritesANewMaskOnlyWhenChanged) {
    SelectOnly(2);
    WhenModalOpens<CMaskEditDialog>([](CMaskEditDialog* d) { d->accept(); });
    editor.Window().Run(kCmdCreateEditMask);
    EXPECT_FALSE(App().IsModified());
    EXPECT_EQ(Item(2).mask, nullptr);

    WhenModalOpens<CMaskEditDialog>([](CMaskEditDialog* d) {
        d->Invert();
        d->reject();
    });
    editor.Window().Run(kCmdCreateEditMask);
    EXPECT_EQ(Item(2).mask, nullptr);

    WhenModalOpens<CMaskEditDialog>([](CMaskEditDialog* d) {
        d->Invert();
        d->accept();
    });
    editor.Window().Run(kCmdCreateEditMask);
    EXPECT_TRUE(App().IsModified());
    ASSERT_NE(Item(2).mask, nullptr);
    EXPECT_EQ(BlockBytes(Item(2).mask, 8), std::vector<std::uint8_t>(8, 0xFF));
}

TEST_F(ColorMaskCommand, ADuplicateIsRefusedByEachDialog) {
    SelectOnly(1);
    for (CommandId id : {kCmdGrayscale, kCmdCreateEditMask}) {
        SCOPED_TRACE(static_cast<int>(id));
        QString text;
        AnswerNextMessageBox(QMessageBox::Ok, &text);
        editor.Window().Run(id);
        EXPECT_TRUE(
            text.startsWith("You can not perform this operation on duplicated (shadow) item."));
    }
    EXPECT_FALSE(App().IsModified());
}

}  // namespace

TEST_F(ColorMaskCommand, WhatTheDialogsWroteIsUndoneAndRedoneStepByStep) {
    SelectOnly(2);
    const RgbQuad entry = DibColorTable(Item(2).header)[1];
    WhenModalOpens<CGrayscaleDialog>([](CGrayscaleDialog* d) { d->accept(); });
    editor.Window().Run(kCmdGrayscale);
    WhenModalOpens<CMaskEditDialog>([](CMaskEditDialog* d) {
        d->Invert();
        d->accept();
    });
    editor.Window().Run(kCmdCreateEditMask);
    ASSERT_NE(Item(2).mask, nullptr);
    const RgbQuad gray = DibColorTable(Item(2).header)[1];
    ASSERT_NE(gray.rgbRed, entry.rgbRed);

    EXPECT_TRUE(editor.Window().Action(kCmdUndo)->isEnabled());
    editor.Window().Run(kCmdUndo);
    EXPECT_EQ(Item(2).mask, nullptr);
    EXPECT_EQ(DibColorTable(Item(2).header)[1].rgbRed, gray.rgbRed);
    editor.Window().Run(kCmdUndo);
    EXPECT_EQ(DibColorTable(Item(2).header)[1].rgbRed, entry.rgbRed);
    EXPECT_FALSE(App().IsModified());  // back at the state it started from
    EXPECT_FALSE(editor.Window().Action(kCmdUndo)->isEnabled());

    editor.Window().Run(kCmdRedo);
    editor.Window().Run(kCmdRedo);
    EXPECT_EQ(DibColorTable(Item(2).header)[1].rgbRed, gray.rgbRed);
    ASSERT_NE(Item(2).mask, nullptr);
    EXPECT_EQ(BlockBytes(Item(2).mask, 8), std::vector<std::uint8_t>(8, 0xFF));
    EXPECT_TRUE(App().IsModified());
}
