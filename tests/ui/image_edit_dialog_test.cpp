#include "ui/image_edit_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QSizeGrip>
#include <QTest>
#include <QTimer>

#include "app/image_view.h"
#include "core/dib.h"
#include "support/test_files.h"
#include "support/test_items.h"
#include "ui/color_box.h"
#include "ui/editor.h"
#include "ui/image_ctrl.h"
#include "ui/image_viewer_dialog.h"
#include "ui/palette_wnd.h"
#include "ui/settings_store.h"
#include "ui_test_support.h"

namespace {

// Runs `act` on the next modal dialog of type T once it is up.
template <class T, class F>
void WhenModal(F act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start(10);
}

class ImageEditor : public testing::Test {
protected:
    // A 4 x 3 4-bit picture (default 16 colours), every index 0, with a mask.
    void Open(int bitCount = 4, std::uint8_t fill = 0) {
        index = AddPicture(list, 4, 3, bitCount, fill, true);
        dialog = std::make_unique<CImageEditDialog>(*list.Item(index));
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        dialog->ImageControl()->SetZoom(10.0f);
    }
    QWidget* Viewport() { return dialog->ImageControl()->Canvas()->viewport(); }
    QPoint At(int x, int y) {
        return dialog->ImageControl()->Canvas()->PictureRect().topLeft() +
               QPoint(10 * x + 5, 10 * y + 5);
    }
    void Drag(const QPoint& p) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), Viewport()->mapToGlobal(QPointF(p)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(Viewport(), &move);
    }
    // The stored 4-bit index at (x, y) of the working pixels (bottom-up rows).
    int Index(int x, int y) {
        const std::size_t stride = RasterStride(4, 4);
        const std::uint8_t byte = dialog->Bits()[stride * static_cast<std::size_t>(2 - y) +
                                                 static_cast<std::size_t>(x / 2)];
        return x % 2 ? byte & 15 : byte >> 4;
    }
    void PickPaletteEntry(int entry) {
        const QRect cell = dialog->PaletteWindow()->CellRect(entry);
        QTest::mouseClick(dialog->PaletteWindow()->viewport(), Qt::LeftButton, {}, cell.center());
    }

    CItemList list;
    int index = -1;
    std::unique_ptr<CImageEditDialog> dialog;
};

TEST_F(ImageEditor, StartsWithThePointerAndTheEditorsViewOfTheImage) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Image Editor");
    EXPECT_EQ(dialog->CurrentTool(), CImageEditDialog::kPointer);
    EXPECT_TRUE(dialog->ToolAction(CImageEditDialog::kPointer)->isChecked());
    EXPECT_EQ(dialog->ImageControl()->ViewMode(), 0);
    EXPECT_EQ(dialog->ImageControl()->Overlays(), kOverlayAll);
    EXPECT_EQ(dialog->ImageControl()->Background(), 4);
    EXPECT_EQ(dialog->ImageControl()->Canvas()->Label(), "4x3, 4-bit");
    EXPECT_EQ(dialog->CurrentColor(), QColor(Qt::black));
    EXPECT_EQ(dialog->PaletteWindow()->Count(), 16);
    EXPECT_TRUE(dialog->PaletteGroup()->isEnabled());
    EXPECT_EQ(dialog->PaletteGroup()->title(), "&Palette (Linked to image)");
    EXPECT_EQ(dialog->PaletteNote()->text(), "Use double-click to set palette colors.");
    EXPECT_FALSE(dialog->ImageControl()->Canvas()->ToolMode());
}

TEST_F(ImageEditor, PencilStrokeRestartsAfterLeavingAndStoresTheNearestEntry) {
    Open();
    PickPaletteEntry(9);
    const RgbQuad entry = dialog->ColorTable()[9];
    EXPECT_EQ(dialog->CurrentColor(), QColor(entry.rgbRed, entry.rgbGreen, entry.rgbBlue));
    dialog->ToolAction(CImageEditDialog::kPencil)->trigger();
    EXPECT_TRUE(dialog->ImageControl()->Canvas()->ToolMode());
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, At(0, 0));
    Drag(At(2, 0));
    Drag(At(0, 0) - QPoint(20, 0));  // outside the picture
    Drag(At(3, 2));                  // back in: a new stroke
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, At(3, 2));
    const int expected[3][4] = {{9, 9, 9, 0}, {0, 0, 0, 0}, {0, 0, 0, 9}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Index(x, y), expected[y][x]) << x << "," << y;
    EXPECT_TRUE(dialog->IsModified());
}

TEST_F(ImageEditor, FillPickerInvertSecondClickAndEscape) {
    Open();
    PickPaletteEntry(12);
    dialog->ToolAction(CImageEditDialog::kPencil)->trigger();
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(1, 0));
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(1, 1));
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(1, 2));  // a wall down column 1
    PickPaletteEntry(3);
    dialog->ToolAction(CImageEditDialog::kFill)->trigger();
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(3, 1));
    EXPECT_EQ(Index(0, 0), 0);  // beyond the wall
    EXPECT_EQ(Index(2, 0), 3);
    EXPECT_EQ(Index(3, 2), 3);

    // The picker takes the wall's colour and returns to the Fill tool.
    dialog->ToolAction(CImageEditDialog::kPicker)->trigger();
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(1, 1));
    const RgbQuad wall = dialog->ColorTable()[12];
    EXPECT_EQ(dialog->CurrentColor(), QColor(wall.rgbRed, wall.rgbGreen, wall.rgbBlue));
    EXPECT_EQ(dialog->Swatch()->Color(), dialog->CurrentColor());
    EXPECT_EQ(dialog->CurrentTool(), CImageEditDialog::kFill);

    // A second click on the active tool, and Escape, return to the Pointer.
    dialog->ToolAction(CImageEditDialog::kFill)->trigger();
    EXPECT_EQ(dialog->CurrentTool(), CImageEditDialog::kPointer);
    dialog->ToolAction(CImageEditDialog::kPencil)->trigger();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog->CurrentTool(), CImageEditDialog::kPointer);
    EXPECT_TRUE(dialog->isVisible());

    // Invert complements the indices, the table stays.
    const std::vector<RgbQuad> table(dialog->ColorTable().begin(), dialog->ColorTable().end());
    dialog->ToolAction(CImageEditDialog::kPencil)->trigger();
    dialog->InvertAction()->trigger();
    EXPECT_EQ(dialog->CurrentTool(), CImageEditDialog::kPointer);
    EXPECT_EQ(Index(0, 0), 15);
    EXPECT_EQ(Index(1, 0), 3);
    EXPECT_EQ(Index(2, 0), 12);
    EXPECT_EQ(std::memcmp(table.data(), dialog->ColorTable().data(), 16 * 4), 0);
}

TEST_F(ImageEditor, PaletteDoubleClickEditsTheEntryThroughTheColourDialog) {
    Open();
    QColor offered;
    dialog->SetColorChooser([&](QWidget*, const QColor& initial) -> std::optional<QColor> {
        offered = initial;
        return QColor(1, 2, 3);
    });
    const RgbQuad before = dialog->ColorTable()[5];
    QTest::mouseDClick(dialog->PaletteWindow()->viewport(), Qt::LeftButton, {},
                       dialog->PaletteWindow()->CellRect(5).center());
    EXPECT_EQ(offered, QColor(before.rgbRed, before.rgbGreen, before.rgbBlue));
    EXPECT_EQ(dialog->ColorTable()[5].rgbRed, 1);
    EXPECT_EQ(dialog->ColorTable()[5].rgbBlue, 3);
    EXPECT_TRUE(dialog->IsModified());
}

TEST_F(ImageEditor, WithoutAColourTableThePaletteIsDisabled) {
    Open(32, 0x40);
    EXPECT_FALSE(dialog->PaletteGroup()->isEnabled());
    EXPECT_EQ(dialog->PaletteWindow()->Count(), 0);
    EXPECT_EQ(dialog->PaletteWindow()->EmptyText(), "Image is not indexed");
    // 32-bit Invert keeps alpha.
    dialog->InvertAction()->trigger();
    EXPECT_EQ(dialog->Bits()[0], 0xBF);
    EXPECT_EQ(dialog->Bits()[3], 0x40);
}

TEST(ImageViewer, CaptionAndPreviewFlag) {
    CItemList list;
    const int index = AddPicture(list, 32, -32, 32);
    const tagILVITEM& item = *list.Item(index);
    CImageViewerDialog viewer(item.header, item.bits, nullptr, false);
    EXPECT_EQ(viewer.windowTitle(), "Image Viewer [32x-32, 32-bit]");
    EXPECT_EQ(CImageViewerDialog::Caption(item.header, true),
              "Image Viewer [32x-32, 32-bit] (Preview)");
    EXPECT_EQ(viewer.ImageControl()->ViewMode(), kCanvasViewAuto);
    EXPECT_EQ(viewer.ImageControl()->Overlays(),
              kOverlayCoordinates | kOverlayPixelInfo | kOverlayZoom);
    viewer.resize(300, 200);
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    EXPECT_EQ(viewer.ImageControl()->geometry(), QRect(0, 0, 300, 183));
    EXPECT_EQ(viewer.SizeGrip()->geometry().topLeft(), QPoint(283, 183));
}

// The Edit and Open in Viewer commands of the real window.
class EditCommand : public testing::Test {
protected:
    EditCommand() {
        SettingsStore().clear();
        editor.Start({});
        App().Items().AddItem(MakePictureItem(2, 2, 24, 0x10, true));
        App().Items().AddDuplicate(FrameInfo{}, 0, 0, 0);
        App().ClearModified();
    }
    ~EditCommand() override {
        App().ClearModified();
        editor.Window().close();
    }
    CIconmillApp& App() { return editor.App(); }
    void SelectOnly(int index) {
        for (int i = 0; i < App().Items().Count(); ++i) App().Items().SetSelected(i, false);
        App().Items().SetSelected(index, true);
        editor.Window().RefreshCommandStates();
    }
    std::uint8_t FirstByte() { return App().Items().Item(0)->bits[0]; }
    CEditor editor;
};

TEST_F(EditCommand, OkWritesBackOnlyAChangeAndCancelNothing) {
    SelectOnly(0);
    const std::vector<std::uint8_t> mask = BlockBytes(App().Items().Item(0)->mask, 8);
    WhenModal<CImageEditDialog>([](CImageEditDialog* d) { d->accept(); });
    editor.Window().Run(kCmdEdit);
    EXPECT_FALSE(App().IsModified());

    WhenModal<CImageEditDialog>([](CImageEditDialog* d) {
        d->Invert();
        d->reject();
    });
    editor.Window().Run(kCmdEdit);
    EXPECT_EQ(FirstByte(), 0x10);
    EXPECT_FALSE(App().IsModified());

    WhenModal<CImageEditDialog>([](CImageEditDialog* d) {
        d->Invert();
        d->accept();
    });
    editor.Window().Run(kCmdEdit);
    EXPECT_EQ(FirstByte(), 0xEF);
    EXPECT_TRUE(App().IsModified());
    EXPECT_EQ(BlockBytes(App().Items().Item(0)->mask, 8), mask);
}

TEST_F(EditCommand, DuplicateIsRefusedAndTheViewerShowsItsReference) {
    SelectOnly(1);
    QString text;
    AnswerNextMessageBox(QMessageBox::Ok, &text);
    editor.Window().Run(kCmdEdit);
    EXPECT_TRUE(text.startsWith("You can not perform this operation on duplicated (shadow) item."));

    QString caption;
    WhenModal<CImageViewerDialog>([&](CImageViewerDialog* d) {
        caption = d->windowTitle();
        d->reject();
    });
    editor.Window().Run(kCmdOpenInViewer);
    EXPECT_EQ(caption, "Image Viewer [2x2, 24-bit]");
}

}  // namespace
