#include "ui/palette_wnd.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <vector>

namespace {

class PaletteWnd : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 20; ++i)
            table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i),
                             static_cast<std::uint8_t>(3 * i), 0});
        // Four columns: (client width - 3) / 18 = 4 for a viewport 75 to 92 wide.
        window.resize(80 + window.verticalScrollBar()->sizeHint().width(), 3 + 2 * 18 + 4);
        window.SetColors(table.data(), static_cast<int>(table.size()));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_EQ(window.Columns(), 4);
    }
    std::vector<RgbQuad> table;
    CPaletteWnd window;
};

TEST_F(PaletteWnd, HitTestingSkipsMarginsGapsAndTheEnd) {
    struct Case {
        int x, y, index;
    } cases[] = {{3, 3, 0},   {17, 17, 0}, {18, 3, -1}, {20, 3, -1}, {21, 3, 1},
                 {2, 10, -1}, {10, 2, -1}, {57, 21, 7}, {75, 3, -1}, {57, 39, 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(window.IndexAt({c.x, c.y}), c.index);
    }
    // Scrolled down three rows: the same point names an entry three rows on; past
    // the count there is none.
    window.verticalScrollBar()->setValue(3);
    EXPECT_EQ(window.verticalScrollBar()->value(), 3);
    EXPECT_EQ(window.IndexAt({3, 3}), 12);
    EXPECT_EQ(window.IndexAt({57, 21}), 19);
    window.verticalScrollBar()->setValue(window.verticalScrollBar()->maximum());
    EXPECT_EQ(window.IndexAt({3, 39}), -1);
}

TEST_F(PaletteWnd, ClicksTipAndEmptyText) {
    QSignalSpy clicked(&window, &CPaletteWnd::Clicked);
    QSignalSpy doubled(&window, &CPaletteWnd::DoubleClicked);
    QTest::mouseClick(window.viewport(), Qt::LeftButton, {}, window.CellRect(5).center());
    QTest::mouseDClick(window.viewport(), Qt::LeftButton, {}, window.CellRect(6).center());
    ASSERT_GE(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toInt(), 5);
    ASSERT_EQ(doubled.count(), 1);
    EXPECT_EQ(doubled[0][0].toInt(), 6);
    EXPECT_EQ(CPaletteWnd::TipText(5, table[5]), "Index: 5\nRGB: 15, 10, 5");

    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->childCount(), 20);
    EXPECT_EQ(face->child(5)->text(QAccessible::Name), "Index: 5");
    EXPECT_EQ(face->indexOfChild(face->child(5)), 5);

    window.SetColors(nullptr, 0);
    EXPECT_EQ(window.Count(), 0);
    EXPECT_EQ(window.IndexAt({3, 3}), -1);
    EXPECT_EQ(window.EmptyText(), "Image is not indexed");
}

}  // namespace
