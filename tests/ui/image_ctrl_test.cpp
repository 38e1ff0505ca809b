#include "ui/image_ctrl.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <cstring>
#include <vector>

namespace {

// A bottom-up image of `bitCount` bits filled with `fill`, with an optional
// two-entry colour table (black, white).
struct Picture {
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> bits;
    Picture(int width, int height, unsigned bitCount, std::uint8_t fill = 0) {
        const int colors = bitCount <= 8 ? 2 : 0;
        header.assign(40 + 4 * static_cast<std::size_t>(colors), 0);
        DibHeader h{};
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<std::uint16_t>(bitCount);
        h.biClrUsed = static_cast<std::uint32_t>(colors);
        std::memcpy(header.data(), &h, 40);
        if (colors) std::memset(header.data() + 44, 255, 3);
        bits.assign(RasterStride(width, bitCount) * static_cast<std::size_t>(height), fill);
    }
    const DibHeader* Header() const { return reinterpret_cast<const DibHeader*>(header.data()); }
};

class ImageCtrl : public testing::Test {
protected:
    void SetUp() override {
        control.resize(460, 460);
        control.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
    }
    QWidget* Viewport() { return control.Canvas()->viewport(); }
    CImageCtrl control;
};

TEST_F(ImageCtrl, StartsWhiteAutomaticWithoutOverlaysOrImage) {
    EXPECT_EQ(control.Background(), 1);
    EXPECT_EQ(control.ViewMode(), kCanvasViewAuto);
    EXPECT_EQ(control.Overlays(), 0u);
    EXPECT_FALSE(control.Canvas()->ToolMode());
    EXPECT_FALSE(control.Canvas()->HasImage());
    EXPECT_EQ(control.BackgroundList()->currentText(), "White");
    QStringList entries;
    for (int i = 0; i < control.BackgroundList()->count(); ++i)
        entries << control.BackgroundList()->itemText(i);
    EXPECT_EQ(entries,
              QStringList({"Black", "White", "Gray", "Window", "Transparent", "Custom..."}));
    control.SetNoTransparency(true);
    EXPECT_EQ(control.BackgroundList()->findText("Transparent"), -1);
}

TEST_F(ImageCtrl, CustomBackgroundTakesTheChosenColourAndCancelKeepsThePrevious) {
    std::optional<QColor> answer;
    control.SetColorChooser([&](QWidget*, const QColor&) { return answer; });
    QSignalSpy changed(&control, &CImageCtrl::BackgroundChanged);
    const int custom = control.BackgroundList()->findText("Custom...");
    control.BackgroundList()->setCurrentIndex(custom);
    emit control.BackgroundList()->activated(custom);
    EXPECT_EQ(control.Background(), 1);
    EXPECT_EQ(control.BackgroundList()->currentText(), "White");
    EXPECT_EQ(changed.count(), 0);

    answer = QColor(10, 20, 30);
    emit control.BackgroundList()->activated(custom);
    EXPECT_EQ(control.Background(), 5);
    EXPECT_EQ(control.Canvas()->CustomColor(), RgbColor(10, 20, 30));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(ImageCtrl, ZoomButtonsStopAtTheFitZoom) {
    Picture big(1000, 1000, 24);
    ASSERT_TRUE(control.SetImage(big.Header(), big.bits.data()));
    control.ZoomOutAction()->trigger();
    EXPECT_FLOAT_EQ(control.Zoom(), 0.5f);
    control.ZoomOutAction()->trigger();
    const float fit = std::min(static_cast<float>(Viewport()->width()) / 1000.0f,
                               static_cast<float>(Viewport()->height()) / 1000.0f);
    EXPECT_FLOAT_EQ(control.Zoom(), fit);
    control.ZoomOutAction()->trigger();
    EXPECT_FLOAT_EQ(control.Zoom(), 0.12f);
    control.ActualSizeAction()->trigger();
    EXPECT_FLOAT_EQ(control.Zoom(), 1.0f);
    EXPECT_TRUE(control.Canvas()->horizontalScrollBar()->isEnabled());
}

TEST_F(ImageCtrl, SeeMoreOnlyForThirtyTwoBitsWithTheModesItAllows) {
    Picture rgb(8, 8, 24);
    control.SetImage(rgb.Header(), rgb.bits.data());
    EXPECT_FALSE(control.SeeMoreAction()->isVisible());
    Picture rgba(8, 8, 32);
    std::vector<std::uint8_t> mask(4 * 8, 0);
    control.SetImage(rgba.Header(), rgba.bits.data());
    EXPECT_TRUE(control.SeeMoreAction()->isVisible());
    control.SetViewMode(2);
    EXPECT_TRUE(control.ViewModeAction(2)->isChecked());
    EXPECT_FALSE(control.ViewModeAction(1)->isEnabled());
    EXPECT_TRUE(control.ViewModeAction(3)->isEnabled());
    control.SetImage(rgba.Header(), rgba.bits.data(), mask.data());
    EXPECT_TRUE(control.ViewModeAction(1)->isEnabled());
    control.ViewModeAction(3)->trigger();
    EXPECT_EQ(control.ViewMode(), 3);
}

TEST_F(ImageCtrl, ToolModeReportsPressDragAndReleaseWithOutsideAsMinusOne) {
    Picture image(10, 10, 24);
    control.SetImage(image.Header(), image.bits.data());
    control.SetZoom(10.0f);
    control.SetToolMode(true);
    const QPoint origin = control.Canvas()->PictureRect().topLeft();
    QSignalSpy pressed(control.Canvas(), &CCanvasWnd::Pressed);
    QSignalSpy dragged(control.Canvas(), &CCanvasWnd::Dragged);
    QSignalSpy released(control.Canvas(), &CCanvasWnd::Released);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, origin + QPoint(25, 35));
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed[0][0].toInt(), 2);
    EXPECT_EQ(pressed[0][1].toInt(), 3);
    QMouseEvent outside(QEvent::MouseMove, QPointF(origin - QPoint(5, 5)),
                        Viewport()->mapToGlobal(QPointF(origin - QPoint(5, 5))), Qt::NoButton,
                        Qt::LeftButton, {});
    QApplication::sendEvent(Viewport(), &outside);
    ASSERT_EQ(dragged.count(), 1);
    EXPECT_EQ(dragged[0][0].toInt(), -1);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, origin + QPoint(95, 95));
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released[0][0].toInt(), 9);
}

TEST_F(ImageCtrl, PixelTextAndAfterPaintHook) {
    Picture image(4, 4, 32);
    for (std::size_t i = 0; i < image.bits.size(); i += 4) {
        image.bits[i] = 30;
        image.bits[i + 1] = 20;
        image.bits[i + 2] = 10;
        image.bits[i + 3] = 200;
    }
    control.SetImage(image.Header(), image.bits.data());
    control.SetZoom(8.0f);
    control.SetOverlays(kOverlayAll);
    const QPoint inside = control.Canvas()->PictureRect().topLeft() + QPoint(4, 4);
    QTest::mouseMove(Viewport(), inside);
    EXPECT_EQ(control.Canvas()->HoverPixel(), QPoint(0, 0));
    EXPECT_EQ(control.Canvas()->PixelText(), "RGBA: 10, 20, 30, 200");

    CanvasPaintInfo seen;
    int calls = 0;
    QObject::connect(control.Canvas(), &CCanvasWnd::AfterPaint,
                     [&](QPainter* painter, const CanvasPaintInfo& info) {
                         ++calls;
                         seen = info;
                         painter->fillRect(QRect(info.destination.topLeft(), QSize(2, 2)), Qt::red);
                     });
    control.Canvas()->SetAfterPaintNotify(true);
    const QImage shot = control.Canvas()->Render();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen.destination.size(), QSize(32, 32));
    EXPECT_EQ(seen.source, QRect(0, 0, 4, 4));
    EXPECT_FLOAT_EQ(seen.zoom, 8.0f);
    EXPECT_EQ(shot.pixel(seen.destination.topLeft()), qRgb(255, 0, 0));
    // Straight alpha over white: 10 * 200 / 255 + 255 * 55 / 255.
    EXPECT_EQ(shot.pixel(seen.destination.topLeft() + QPoint(5, 5)),
              qRgb((10 * 200 + 255 * 55 + 127) / 255, (20 * 200 + 255 * 55 + 127) / 255,
                   (30 * 200 + 255 * 55 + 127) / 255));
}

TEST_F(ImageCtrl, DraggingWithoutToolModePans) {
    Picture image(1000, 1000, 24);
    control.SetImage(image.Header(), image.bits.data());
    control.SetZoom(2.0f);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, QPoint(200, 200));
    QMouseEvent move(QEvent::MouseMove, QPointF(100, 150),
                     Viewport()->mapToGlobal(QPointF(100, 150)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(Viewport(), &move);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, QPoint(100, 150));
    EXPECT_EQ(control.Canvas()->ScrollPosition(), QPoint(50, 25));
}

TEST_F(ImageCtrl, FrameCompositionDisposesAndBlends) {
    CCanvasWnd* canvas = control.Canvas();
    control.SetBackground(2);  // gray
    ASSERT_TRUE(canvas->SetCanvasSize(4, 2));
    auto at = [&](int x, int y) { return RasterGetPixel(*canvas->CanvasImage(), x, y); };
    EXPECT_EQ(at(3, 1), RgbColor(0, 0, 0));

    Picture white(2, 2, 24, 255);
    canvas->DrawFrame(white.Header(), white.bits.data(), nullptr, 1, 0, 0);
    EXPECT_EQ(at(1, 0), RgbColor(255, 255, 255));
    EXPECT_EQ(at(0, 0), RgbColor(0, 0, 0));

    // A 1-bit frame through its mask: the left column is transparent.
    Picture mono(2, 2, 1, 0x00);
    std::vector<std::uint8_t> mask(8, 0);
    mask[0] = mask[4] = 0x80;
    canvas->DrawFrame(mono.Header(), mono.bits.data(), mask.data(), 1, 0, 1);
    EXPECT_EQ(at(1, 0), RgbColor(255, 255, 255));
    EXPECT_EQ(at(2, 0), RgbColor(0, 0, 0));

    canvas->ApplyDisposeOp(2);  // back to the canvas before the last frame
    EXPECT_EQ(at(2, 0), RgbColor(255, 255, 255));
    canvas->ApplyDisposeOp(1);
    EXPECT_EQ(at(0, 1), RgbColor(128, 128, 128));

    // Half-transparent 32-bit red over gray.
    Picture red(1, 1, 32);
    red.bits = {0, 0, 255, 128};
    canvas->DrawFrame(red.Header(), red.bits.data(), nullptr, 0, 0, 1);
    EXPECT_EQ(at(0, 0), RgbColor((255 * 128 + 128 * 127 + 127) / 255, (128 * 127 + 127) / 255,
                                 (128 * 127 + 127) / 255));
}

}  // namespace
