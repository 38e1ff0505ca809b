#include "ui/zoom_control.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include "ui/hover_button.h"

namespace {

class ZoomControl : public testing::Test {
protected:
    void SetUp() override {
        zoom.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&zoom));
    }
    QString Label() const { return zoom.Label()->text(); }
    void Click(CHoverButton* button, int times = 1) {
        for (int i = 0; i < times; ++i) QTest::mouseClick(button, Qt::LeftButton);
    }
    // A drag of the thumb to `position`, as the mouse makes it.
    void Drag(int position) {
        QSlider* track = zoom.Track();
        track->setSliderDown(true);
        track->setSliderPosition(position);
        track->setSliderDown(false);
    }

    CZoomCtrl zoom;
    QSignalSpy changed{&zoom, &CZoomCtrl::ZoomChanged};
};

}  // namespace

TEST_F(ZoomControl, IsLaidOutNamedAndStartsAtOneHundredPercent) {
    EXPECT_EQ(zoom.size(), QSize(184, 22));
    EXPECT_EQ(Label(), "100%");
    EXPECT_EQ(zoom.Zoom(), 100);
    EXPECT_EQ(zoom.Label()->alignment() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(zoom.Track()->minimum(), 0);
    EXPECT_EQ(zoom.Track()->maximum(), 14);
    EXPECT_EQ(zoom.Track()->tickPosition(), QSlider::NoTicks);
    // Left to right, none overlapping, all inside the control.
    const QWidget* parts[] = {zoom.Label(), zoom.ZoomOutButton(), zoom.Track(),
                              zoom.ZoomInButton()};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(zoom.rect().contains(parts[i]->geometry())) << i;
        if (i > 0) {
            EXPECT_LE(parts[i - 1]->geometry().right(), parts[i]->geometry().left()) << i;
        }
    }
    const std::pair<const QWidget*, const char*> names[] = {{zoom.Label(), "Zoom level"},
                                                            {zoom.ZoomOutButton(), "Zoom out"},
                                                            {zoom.ZoomInButton(), "Zoom in"},
                                                            {zoom.Track(), "Zoom"}};
    for (const auto& [part, name] : names) {
        EXPECT_EQ(part->toolTip(), name);
        EXPECT_EQ(part->accessibleName(), name);
    }
    // The value is read out with the label and the track.
    EXPECT_EQ(zoom.Label()->accessibleDescription(), "100%");
    zoom.ZoomOut();
    EXPECT_EQ(zoom.Track()->accessibleDescription(), "50%");
}

TEST_F(ZoomControl, ButtonsStepOverTheGapAndStopAtTheEnds) {
    Click(zoom.ZoomOutButton());
    EXPECT_EQ(Label(), "50%");
    Click(zoom.ZoomOutButton(), 2);
    EXPECT_EQ(Label(), "12.5%");
    EXPECT_EQ(zoom.Position(), 0);
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed.last().at(0).toDouble(), 12.5);
    Click(zoom.ZoomOutButton());
    EXPECT_EQ(changed.count(), 3);

    Click(zoom.ZoomInButton(), 2);
    EXPECT_EQ(Label(), "50%");
    Click(zoom.ZoomInButton());
    EXPECT_EQ(Label(), "100%");
    EXPECT_EQ(zoom.Position(), 7);
    Click(zoom.ZoomInButton(), 7);
    EXPECT_EQ(Label(), "800%");
    EXPECT_EQ(changed.count(), 13);
    Click(zoom.ZoomInButton());
    EXPECT_EQ(changed.count(), 13);
    EXPECT_EQ(zoom.Zoom(), 800);
}

TEST_F(ZoomControl, ADragIntoTheGapSnapsBackToWhereItCameFrom) {
    struct Case {
        double from;
        int to;
        int landsAt;
        const char* label;
    } cases[] = {
        {50, 4, 2, "50%"},    {50, 6, 2, "50%"},    {100, 3, 7, "100%"},  {800, 5, 7, "100%"},
        {12.5, 7, 7, "100%"}, {100, 0, 0, "12.5%"}, {25, 14, 14, "800%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        SCOPED_TRACE(c.to);
        zoom.SetZoom(c.from);
        changed.clear();
        Drag(c.to);
        EXPECT_EQ(zoom.Position(), c.landsAt);
        EXPECT_EQ(zoom.Track()->sliderPosition(), c.landsAt);
        EXPECT_EQ(Label(), c.label);
        ASSERT_GE(changed.count(), 1);
        EXPECT_EQ(changed.last().at(0).toDouble(), zoom.Zoom());
    }
}

TEST_F(ZoomControl, KeysCrossTheGapInTheirDirection) {
    zoom.Track()->setFocus();
    zoom.SetZoom(50);
    QTest::keyClick(zoom.Track(), Qt::Key_Right);
    EXPECT_EQ(Label(), "100%");
    QTest::keyClick(zoom.Track(), Qt::Key_Left);
    EXPECT_EQ(Label(), "50%");
    QTest::keyClick(zoom.Track(), Qt::Key_End);
    EXPECT_EQ(Label(), "800%");
    QTest::keyClick(zoom.Track(), Qt::Key_Home);
    EXPECT_EQ(Label(), "12.5%");

    // The wheel, one notch at a time.
    zoom.SetZoom(50);
    auto wheel = [&](int delta) {
        const QPointF at = zoom.Track()->rect().center();
        QWheelEvent event(at, zoom.Track()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(zoom.Track(), &event);
    };
    wheel(120);
    EXPECT_EQ(Label(), "100%");
    wheel(-120);
    EXPECT_EQ(Label(), "50%");
}

TEST_F(ZoomControl, SetZoomTakesAnExactEntryOrTheLast) {
    zoom.SetZoom(300);
    EXPECT_EQ(zoom.Position(), 9);
    EXPECT_EQ(Label(), "300%");
    zoom.SetZoom(33);
    EXPECT_EQ(zoom.Position(), 14);
    EXPECT_EQ(Label(), "800%");
    EXPECT_EQ(changed.count(), 2);
    // A drag into the gap after a set zoom below 100 % snaps to 50 %.
    zoom.SetZoom(25);
    Drag(5);
    EXPECT_EQ(Label(), "50%");
    EXPECT_EQ(zoom.Position(), 2);
}

TEST_F(ZoomControl, HoverButtonsShowTheirFourLooks) {
    CHoverButton* plus = zoom.ZoomInButton();
    EXPECT_EQ(plus->CurrentLook(), CHoverButton::Look::Normal);
    QTest::mouseMove(plus, plus->rect().center());
    QTRY_VERIFY(plus->IsHovered());
    EXPECT_EQ(plus->CurrentLook(), CHoverButton::Look::Hover);
    plus->setDown(true);
    EXPECT_EQ(plus->CurrentLook(), CHoverButton::Look::Pressed);
    plus->setDown(false);
    QTest::mouseMove(zoom.Label(), zoom.Label()->rect().center());
    QTRY_VERIFY(!plus->IsHovered());
    plus->setEnabled(false);
    EXPECT_EQ(plus->CurrentLook(), CHoverButton::Look::Disabled);

    // The drawn glyph is whole device pixels at any scale, and the looks differ.
    for (qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage normal = plus->ImageFor(CHoverButton::Look::Normal, ratio).toImage();
        const QImage hover = plus->ImageFor(CHoverButton::Look::Hover, ratio).toImage();
        const QImage disabled = plus->ImageFor(CHoverButton::Look::Disabled, ratio).toImage();
        EXPECT_EQ(normal.width(), qRound(16 * ratio));
        EXPECT_NE(normal, hover);
        EXPECT_NE(normal, disabled);
        for (int y = 0; y < normal.height(); ++y)
            for (int x = 0; x < normal.width(); ++x) {
                const int alpha = qAlpha(normal.pixel(x, y));
                ASSERT_TRUE(alpha == 0 || alpha == 255) << x << "," << y;
            }
        // Symmetric about the centre both ways.
        EXPECT_EQ(normal, normal.mirrored(true, true));
    }
}
