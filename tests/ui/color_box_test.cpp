#include "ui/color_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "ui/zoom_control.h"

namespace {

// Answers the next colour dialog once it is up: OK with `color`, or Cancel.
void AnswerColorDialog(std::optional<QColor> color) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, color] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        if (color) {
            dialog->setCurrentColor(*color);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    timer->start(10);
}

class ColorBox : public testing::Test {
protected:
    void SetUp() override {
        box.resize(40, 20);
        box.SetColor(QColor(200, 30, 40));
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    }
    CColorBoxWnd box;
    QSignalSpy chosen{&box, &CColorBoxWnd::ColorChosen};
};

}  // namespace

TEST_F(ColorBox, CancellingTheDialogChangesNothing) {
    AnswerColorDialog(std::nullopt);
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(box.Color(), QColor(200, 30, 40));
    EXPECT_EQ(chosen.count(), 0);
    const QImage after = box.grab().toImage();
    EXPECT_EQ(after.pixelColor(20, 10), QColor(200, 30, 40));
    EXPECT_EQ(after.pixelColor(2, 2), QColor(200, 30, 40));
}

TEST_F(ColorBox, OkTakesTheColourRepaintsAndTells) {
    AnswerColorDialog(QColor(10, 120, 250));
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(box.Color(), QColor(10, 120, 250));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<QColor>(), QColor(10, 120, 250));
    EXPECT_EQ(box.grab().toImage().pixelColor(20, 10), QColor(10, 120, 250));
}

TEST_F(ColorBox, OpensOnTheCurrentColourAndNotWhenDisabled) {
    int asked = 0;
    QColor initial;
    box.SetColorChooser([&](QWidget*, const QColor& color) -> std::optional<QColor> {
        ++asked;
        initial = color;
        return std::nullopt;
    });
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(initial, QColor(200, 30, 40));
    EXPECT_EQ(box.cursor().shape(), Qt::PointingHandCursor);
    box.setEnabled(false);
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(asked, 1);
}

TEST_F(ColorBox, PaintsItsFramesEnabledAndDisabled) {
    box.clearFocus();
    const QImage enabled = box.grab().toImage();
    EXPECT_EQ(enabled.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(enabled.pixelColor(39, 19), QColor(Qt::black));
    EXPECT_EQ(enabled.pixelColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(enabled.pixelColor(38, 18), QColor(Qt::white));
    EXPECT_EQ(enabled.pixelColor(2, 2), QColor(200, 30, 40));
    EXPECT_EQ(enabled.pixelColor(37, 17), QColor(200, 30, 40));

    box.setEnabled(false);
    const QImage disabled = box.grab().toImage();
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(disabled.pixel(0, 0), palette.color(QPalette::Active, QPalette::Dark).rgb());
    EXPECT_EQ(disabled.pixel(1, 1), palette.color(QPalette::Active, QPalette::Button).rgb());
    EXPECT_EQ(disabled.pixel(20, 10), palette.color(QPalette::Active, QPalette::Button).rgb());

    // Focus shows on the inner frame; the colour stays whole.
    box.setEnabled(true);
    box.setFocus();
    const QImage focused = box.grab().toImage();
    EXPECT_EQ(focused.pixel(1, 1), box.palette().color(QPalette::Highlight).rgb());
    EXPECT_EQ(focused.pixelColor(2, 2), QColor(200, 30, 40));
}

// With ICONMILL_SCREENS_DIR set, the controls are rendered there for review.
TEST(SmallControlsScreenshot, RendersTheZoomControlAndColourBoxes) {
    const QByteArray folder = qgetenv("ICONMILL_SCREENS_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "ICONMILL_SCREENS_DIR not set";
    QWidget panel;
    panel.setAutoFillBackground(true);
    panel.resize(184 + 2 * 8, 22 + 20 + 3 * 8);
    CZoomCtrl zoom(&panel);
    zoom.move(8, 8);
    zoom.SetZoom(50);
    CColorBoxWnd on(&panel), off(&panel);
    on.setGeometry(8, 38, 40, 20);
    on.SetColor(QColor(30, 144, 255));
    off.setGeometry(56, 38, 40, 20);
    off.setEnabled(false);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const QString path = QString::fromLocal8Bit(folder) + "/small_controls.png";
    ASSERT_TRUE(panel.grab().scaled(panel.size() * 4).save(path));
}
