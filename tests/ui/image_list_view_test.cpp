#include "ui/image_list_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>
#include <vector>

#include "app/application.h"
#include "app/view_state.h"
#include "core/item_list.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"
#include "ui/editor.h"
#include "ui/main_window.h"
#include "ui/settings_store.h"
#include "ui/simple_tip.h"
#include "ui/zoom_control.h"

namespace {

// A list view alone over an application, its viewport `width` x `height`.
class ListView : public testing::Test {
protected:
    void Show(int width, int height) {
        view.setFrameShape(QFrame::NoFrame);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(width, height);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.Relayout();
    }
    // Items of 16 x 16 whose pixel bytes are 1, 2, ... so that the order shows.
    void AddNumbered(int count) {
        for (int i = 1; i <= count; ++i) AddPicture(app.Items(), 16, 16, 24, static_cast<std::uint8_t>(i));
        view.Relayout();
    }
    std::vector<int> Order() const {
        std::vector<int> order;
        for (int i = 0; i < app.Items().Count(); ++i) order.push_back(app.Items().Item(i)->bits[0]);
        return order;
    }
    std::vector<int> Selected() const {
        std::vector<int> selected;
        for (int i = 0; i < app.Items().Count(); ++i)
            if (app.Items().Item(i)->IsSelected()) selected.push_back(i);
        return selected;
    }

    void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers modifiers = {}) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : button,
                          type == QEvent::MouseMove ? held : buttons, modifiers);
        QApplication::sendEvent(view.viewport(), &event);
    }
    void Press(QPoint at, Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton) {
        held = button;
        Mouse(QEvent::MouseButtonPress, button, at, modifiers);
    }
    void Release(QPoint at, Qt::KeyboardModifiers modifiers = {}) {
        held = Qt::NoButton;
        Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, at, modifiers);
    }
    void Move(QPoint at) { Mouse(QEvent::MouseMove, Qt::NoButton, at); }
    void Click(int index, Qt::KeyboardModifiers modifiers = {}) {
        const QPoint at = view.CellOnScreen(index).center();
        Press(at, modifiers);
        Release(at, modifiers);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&view, &event);
    }
    QColor Pixel(const QImage& image, int x, int y) const { return QColor(image.pixel(x, y)); }
    static QColor ToQ(ColorRef c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

    ScriptedInteraction ui;
    CIconmillApp app{ui};
    CImageListView view{app};
    Qt::MouseButtons held = Qt::NoButton;
};

TEST_F(ListView, LaysOutAsTheWindowAndTheItemsChange) {
    Show(100, 200);
    AddNumbered(1);
    EXPECT_EQ(view.Layout().cellWidth, 18);
    EXPECT_EQ(view.Layout().cellHeight, 36);
    EXPECT_EQ(view.CellOnScreen(0), QRect(0, 0, 18, 36));

    app.settings.alignment = 2;  // columns
    view.Relayout();
    EXPECT_EQ(view.Layout().cellWidth, 36);
    EXPECT_EQ(view.Layout().cellHeight, 18);

    app.settings.alignment = 0;
    AddNumbered(11);  // twelve 18 x 36 cells, five a row in 100 pixels
    EXPECT_EQ(view.Layout().perRow, 5);
    EXPECT_EQ(view.CellOnScreen(6), QRect(18, 36, 18, 36));
    view.resize(40, 200);
    QApplication::processEvents();
    EXPECT_EQ(view.Layout().perRow, 2);
    EXPECT_EQ(view.CellOnScreen(6), QRect(0, 108, 18, 36));
    // The range runs to the lines' full height, the page is the client.
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 6 * 36 - 200 + 1);
    EXPECT_EQ(view.verticalScrollBar()->pageStep(), 200);
}

TEST_F(ListView, ClicksSelectWithCtrlAndShiftAndDecideOnASelectedItemAtButtonUp) {
    Show(200, 100);
    AddNumbered(5);
    QSignalSpy changed(&view, &CImageListView::SelectionChanged);

    Click(1);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    Click(3, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
    Click(0, Qt::ShiftModifier);  // from the anchor, the last plain or Ctrl click
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(view.AnchorItem(), 3);

    // Pressing a selected item changes nothing until the button comes up.
    const QPoint second = view.CellOnScreen(2).center();
    Press(second);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3}));
    Release(second);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    Click(2, Qt::ControlModifier);  // Ctrl on a selected item takes it out
    EXPECT_TRUE(Selected().empty());

    Click(4);
    Press(QPoint(150, 50));  // outside every cell
    Release(QPoint(150, 50));
    EXPECT_TRUE(Selected().empty());

    // The right button selects an unselected item alone and keeps a selection it hits.
    Click(0);
    Click(1, Qt::ControlModifier);
    Press(view.CellOnScreen(1).center(), {}, Qt::RightButton);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    Press(view.CellOnScreen(4).center(), {}, Qt::RightButton);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    EXPECT_GE(changed.count(), 8);

    QSignalSpy open(&view, &CImageListView::OpenRequested);
    QMouseEvent twice(QEvent::MouseButtonDblClick, view.CellOnScreen(4).center(),
                      view.viewport()->mapToGlobal(view.CellOnScreen(4).center()), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &twice);
    Key(Qt::Key_Return);
    EXPECT_EQ(open.count(), 2);
}

TEST_F(ListView, DraggingTheSelectionDropsItAfterTheItemUnderTheMouse) {
    Show(200, 100);
    AddNumbered(5);
    QSignalSpy reordered(&view, &CImageListView::OrderChanged);
    Click(1);
    Click(2, Qt::ControlModifier);

    const QPoint from = view.CellOnScreen(2).center();
    const QRect last = view.CellOnScreen(4);
    Press(from);
    Move(from + QPoint(6, 0));  // within the threshold: no drag yet
    EXPECT_FALSE(view.IsDragging());
    Move(QPoint(last.right() - 2, last.center().y()));
    EXPECT_TRUE(view.IsDragging());
    EXPECT_EQ(view.InsertionMarks().itemBefore, 4);
    Release(QPoint(last.right() - 2, last.center().y()));

    EXPECT_EQ(Order(), (std::vector<int>{1, 4, 5, 2, 3}));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(reordered.count(), 1);
    EXPECT_TRUE(app.IsModified());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(app.Items().Item(i)->flags & (kItemInsertAfter | kItemInsertBefore), 0);

    // Escape and the right button end a drag without a drop.
    Click(0);
    for (const bool byEscape : {true, false}) {
        SCOPED_TRACE(byEscape ? "Escape" : "right button");
        const QPoint start = view.CellOnScreen(0).center();
        Press(start);
        Move(QPoint(last.right() - 2, last.center().y()));
        ASSERT_TRUE(view.IsDragging());
        if (byEscape)
            Key(Qt::Key_Escape);
        else
            Mouse(QEvent::MouseButtonPress, Qt::RightButton, last.center());
        EXPECT_FALSE(view.IsDragging());
        Release(last.center());
        EXPECT_EQ(Order(), (std::vector<int>{1, 4, 5, 2, 3}));
        EXPECT_EQ(reordered.count(), 1);
    }
}

TEST_F(ListView, KeysMoveTheCurrentItemInRowsAndColumnsAndScrollItIntoView) {
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        int current;
        std::vector<int> selected;
    };
    // Twenty items three a row (rows) or three a column (columns).
    struct Case {
        int alignment;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {1,
         {{Qt::Key_Right, {}, 1, {1}},
          {Qt::Key_Down, {}, 4, {4}},
          {Qt::Key_End, {}, 5, {5}},
          {Qt::Key_Home, Qt::ShiftModifier, 3, {3, 4, 5}},
          {Qt::Key_Up, {}, 0, {0}},
          {Qt::Key_Up, {}, 0, {0}},  // nothing above the first row
          {Qt::Key_PageDown, {}, 6, {6}},
          {Qt::Key_Down, Qt::ShiftModifier, 9, {6, 7, 8, 9}}}},
        {2,
         {{Qt::Key_Right, {}, 3, {3}},
          {Qt::Key_Down, {}, 4, {4}},
          {Qt::Key_End, {}, 4, {4}},  // Home and End work in rows only
          {Qt::Key_Left, Qt::ShiftModifier, 1, {1, 2, 3, 4}},
          {Qt::Key_PageDown, {}, 7, {7}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alignment == 1 ? "rows" : "columns");
        app.Items().RemoveAllItems();
        app.settings.alignment = c.alignment;
        if (c.alignment == 1)
            Show(3 * 18, 2 * 36);
        else
            Show(2 * 36, 3 * 18);
        AddNumbered(20);
        Click(0);
        for (const Step& s : c.steps) {
            SCOPED_TRACE(testing::Message() << "key " << QKeySequence(s.key).toString().toStdString());
            if (s.modifiers & Qt::ShiftModifier) Key(Qt::Key_Shift);  // the anchor is the current item
            Key(s.key, s.modifiers);
            EXPECT_EQ(view.CurrentItem(), s.current);
            EXPECT_EQ(Selected(), s.selected);
            EXPECT_TRUE(view.viewport()->rect().contains(view.CellOnScreen(s.current)));
        }
    }
}

TEST_F(ListView, TheWheelScrollsALineAndCtrlWheelAsksForZoomSteps) {
    view.setFrameShape(QFrame::NoFrame);
    view.resize(200, 72);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    AddNumbered(30);
    QApplication::processEvents();  // the bar shows
    QSignalSpy zoom(&view, &CImageListView::WheelZoomRequested);
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(10, 10);
        QWheelEvent event(at, view.viewport()->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    };
    wheel(-120, {});
    EXPECT_EQ(view.verticalScrollBar()->value(), 36);
    wheel(120, {});
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
    wheel(120, Qt::ControlModifier);
    wheel(-120, Qt::ControlModifier);
    ASSERT_EQ(zoom.count(), 2);
    EXPECT_TRUE(zoom[0][0].toBool());
    EXPECT_FALSE(zoom[1][0].toBool());
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
}

TEST_F(ListView, HoveringAnItemShowsItsQuickInfoUnlessSwitchedOff) {
    Show(200, 100);
    AddNumbered(2);
    Move(view.CellOnScreen(1).center());
    EXPECT_TRUE(view.Tip()->isVisible());
    EXPECT_EQ(view.Tip()->Text(), view.QuickInfo(1));
    EXPECT_TRUE(view.Tip()->Text().startsWith(QStringLiteral("#2\n")));
    Move(QPoint(150, 80));
    EXPECT_FALSE(view.Tip()->isVisible());
    app.settings.displayQuickInfo = 0;
    Move(view.CellOnScreen(0).center());
    EXPECT_FALSE(view.Tip()->isVisible());
}

// Pixels of a painted list: cell i is 18 x 36 at (18 i, 0), its picture area
// (the background) 16 x 16 at (18 i + 1, 19).
TEST_F(ListView, PaintsFramesBackgroundsMasksAndAlpha) {
    Show(200, 60);
    CItemList& list = app.Items();
    AddPicture(list, 16, 16, 24, 0x40);                               // 0: fills its area
    AddPicture(list, 8, 8, 24, 0x40);                                 // 1: background around it
    list.AddDuplicate(FrameInfo{}, 0, 0, 0);                          // 2
    list.AddItem(MakePictureItem(8, 8, 24, 0x40, true, 0xF0));        // 3: left half transparent
    list.AddItem(MakePictureItem(8, 8, 32, 0x80));                    // 4: grey at half alpha
    view.Relayout();
    const ListViewColors& colors = view.Colors();
    const auto area = [](int index, int x, int y) { return QPoint(18 * index + 1 + x, 19 + y); };

    list.SetSelected(1, true);
    app.settings.background = ViewBackgroundWhite;
    QImage image = view.RenderViewport();
    EXPECT_EQ(Pixel(image, 0, 0), ToQ(colors.frame));
    EXPECT_EQ(Pixel(image, 18, 0), ToQ(colors.highlight));
    EXPECT_EQ(Pixel(image, 36, 0), ToQ(colors.duplicateFrame));
    EXPECT_EQ(Pixel(image, 40, 30), QColor(0x40, 0x40, 0x40));  // the duplicate shows its original
    // The selection tints the background with the highlight at 30 of 255.
    const QColor tinted = Pixel(image, area(1, 12, 12).x(), area(1, 12, 12).y());
    const QColor highlight = ToQ(colors.highlight);
    EXPECT_NEAR(tinted.red(), (255 * 225 + highlight.red() * 30) / 255, 1);
    EXPECT_NEAR(tinted.blue(), (255 * 225 + highlight.blue() * 30) / 255, 1);
    // The mask: set bits show the background, clear bits the picture.
    EXPECT_EQ(image.pixel(area(3, 1, 1)), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(area(3, 6, 1)), qRgb(0x40, 0x40, 0x40));
    app.view.previewFlags &= ~kPreviewMask;
    image = view.RenderViewport();
    EXPECT_EQ(image.pixel(area(3, 1, 1)), qRgb(0x40, 0x40, 0x40));
    app.view.previewFlags |= kPreviewMask;

    // Each background kind behind the small picture; the checkerboard's 8 x 8
    // squares run from the viewport's origin.
    list.SetSelected(1, false);
    app.view.customColor = 0x00030201;
    const QColor window = ToQ(colors.buttonFace);
    struct Kind {
        int kind;
        QColor at31x31, at20x30;
    };
    const Kind kinds[] = {
        {ViewBackgroundBlack, QColor(0, 0, 0), QColor(0, 0, 0)},
        {ViewBackgroundWhite, QColor(255, 255, 255), QColor(255, 255, 255)},
        {ViewBackgroundGray, QColor(128, 128, 128), QColor(128, 128, 128)},
        {ViewBackgroundWindow, window, window},
        {ViewBackgroundTransparent, QColor(255, 255, 255), QColor(214, 214, 214)},
        {ViewBackgroundCustom, QColor(1, 2, 3), QColor(1, 2, 3)},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.kind);
        app.settings.background = k.kind;
        image = view.RenderViewport();
        EXPECT_EQ(Pixel(image, 31, 31), k.at31x31);
        EXPECT_EQ(Pixel(image, 20, 30), k.at20x30);
        EXPECT_EQ(Pixel(image, 20, 20), QColor(0x40, 0x40, 0x40));
    }

    // The 32-bit picture blends over the checkerboard, straight alpha.
    app.settings.background = ViewBackgroundTransparent;
    image = view.RenderViewport();
    for (const QPoint p : {area(4, 0, 0), area(4, 7, 7)}) {
        const int behind = ((p.x() / 8 + p.y() / 8) & 1) ? 214 : 255;
        const int expected = (0x80 * 0x80 + behind * (255 - 0x80)) / 255;
        EXPECT_NEAR(QColor(image.pixel(p)).green(), expected, 1) << p.x() << "," << p.y();
    }
    app.view.previewFlags &= ~kPreviewAlpha;  // opaque
    EXPECT_EQ(view.RenderViewport().pixel(area(4, 0, 0)), qRgb(0x80, 0x80, 0x80));
}

TEST(ListViewInTheWindow, CtrlWheelZoomsInStepsThatTheZoomControlFollows) {
    SettingsStore().clear();
    CEditor editor;
    editor.Start({});
    CMainFrame& window = editor.Window();
    CImageListView* view = window.ItemView();
    const auto wheel = [&](int delta) {
        const QPointF at(5, 5);
        QWheelEvent event(at, view->viewport()->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &event);
    };
    wheel(120);
    EXPECT_EQ(editor.App().view.zoom, 2.0);
    EXPECT_EQ(window.ZoomControl()->Zoom(), 200.0);
    wheel(-120);
    wheel(-120);
    EXPECT_EQ(editor.App().view.zoom, 0.5);
    for (int i = 0; i < 6; ++i) wheel(-120);
    EXPECT_EQ(editor.App().view.zoom, 0.125);
    for (int i = 0; i < 12; ++i) wheel(120);
    EXPECT_EQ(editor.App().view.zoom, 8.0);
    EXPECT_EQ(window.ZoomControl()->Zoom(), 800.0);
    window.close();
}

}  // namespace
