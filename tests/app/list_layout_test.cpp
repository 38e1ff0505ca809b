#include "app/list_layout.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/view_commands.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

TEST(ListLayout, CellSizesAlignmentAndCaption) {
    struct Case {
        int width, height;
        double zoom;
        int alignment;  // the setting
        int effective, cellWidth, cellHeight;
        bool caption;
    };
    const Case cases[] = {
        {16, 16, 1, 0, 1, 18, 36, false},  // a square lays out in rows
        {16, 16, 1, 2, 2, 36, 18, false},
        {64, 32, 1, 0, 2, 84, 34, true},  // wider than high: columns
        {32, 64, 1, 0, 1, 34, 84, true},
        {64, 32, 1, 1, 1, 66, 52, true},  // an explicit alignment wins
        {0, 0, 1, 0, 1, 18, 36, false},   // an empty list: 16 x 16 at least
        {64, 64, 0.125, 0, 1, 18, 36, false},
        {45, 33, 1.5, 0, 2, 87, 51, true},  // 67.5 x 49.5 truncated
        {27, 40, 1, 1, 1, 29, 60, true},    // the narrowest cell with a caption
        {26, 40, 1, 1, 1, 28, 60, false},
        {40, 25, 1, 2, 2, 60, 27, true},  // the lowest column cell with one
        {40, 24, 1, 2, 2, 60, 26, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.zoom
                                        << " alignment " << c.alignment);
        const ListLayout l = ComputeListLayout(c.width, c.height, c.zoom, c.alignment, 1, 200, 200);
        EXPECT_EQ(l.alignment, c.effective);
        EXPECT_EQ(l.cellWidth, c.cellWidth);
        EXPECT_EQ(l.cellHeight, c.cellHeight);
        EXPECT_EQ(CaptionShown(l), c.caption);
    }
    // A huge bounding size or zoom keeps every product in range.
    const ListLayout huge = ComputeListLayout(1 << 30, 1 << 30, 8, 1, 1 << 30, 100, 100);
    EXPECT_GT(huge.cellWidth, 0);
    EXPECT_EQ(huge.vertical.rangeMax, INT32_MAX);
    EXPECT_EQ(CellRect(huge, (1 << 30) - 1).top, std::int64_t{(1 << 30) - 1} * huge.cellHeight);
}

TEST(ListLayout, ScrollRangesAndPages) {
    struct Case {
        int width, height, count, clientWidth, clientHeight;
        int perRow, perColumn, hRange, vRange;
    };
    const Case cases[] = {
        // Rows of 18 x 36 cells.
        {16, 16, 10, 40, 100, 2, 2, 0, 180},  // 5 rows of 36 overflow 100
        {16, 16, 10, 10, 400, 1, 11, 17, 0},  // narrower than a cell: one column
        {16, 16, 0, 40, 100, 2, 2, 0, 0},     // empty: no range
        {16, 16, 4, 40, 72, 2, 2, 0, 0},      // fits exactly
        // Columns of 84 x 34 cells.
        {64, 32, 5, 100, 70, 1, 2, 252, 0},
        {64, 32, 5, 500, 20, 5, 1, 0, 33},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.count << " in " << c.clientWidth << "x" << c.clientHeight);
        const ListLayout l =
            ComputeListLayout(c.width, c.height, 1, 0, c.count, c.clientWidth, c.clientHeight);
        ASSERT_TRUE(l.hasClient);
        EXPECT_EQ(l.perRow, c.perRow);
        EXPECT_EQ(l.perColumn, c.perColumn);
        EXPECT_EQ(l.horizontal.rangeMax, c.hRange);
        EXPECT_EQ(l.vertical.rangeMax, c.vRange);
        EXPECT_EQ(l.horizontal.page, c.clientWidth);
        EXPECT_EQ(l.vertical.page, c.clientHeight);
    }
    const ListLayout rows = ComputeListLayout(16, 16, 1, 0, 10, 40, 100);
    EXPECT_EQ(MaxScrollPosition(rows.vertical), 81);
    EXPECT_EQ(MaxScrollPosition(rows.horizontal), 0);
    EXPECT_EQ(MaxScrollPosition(ComputeListLayout(16, 16, 1, 0, 10, 10, 400).horizontal), 8);
    // A minimised or unsized window lays out no scroll bars.
    EXPECT_FALSE(ComputeListLayout(16, 16, 1, 0, 10, 0, 100).hasClient);
    EXPECT_FALSE(ComputeListLayout(16, 16, 1, 0, 10, 100, -1).hasClient);
}

TEST(ListLayout, HitTestingAtTheCellEdges) {
    // Ten 18 x 36 cells, two a row.
    const ListLayout rows = ComputeListLayout(16, 16, 1, 0, 10, 40, 100);
    struct Case {
        int x, y, h, v, index;
    };
    const Case rowCases[] = {
        {0, 0, 0, 0, 0},   {17, 35, 0, 0, 0},   {18, 0, 0, 0, 1},
        {35, 36, 0, 0, 3}, {36, 0, 0, 0, -1},  // beyond the last column of a row (the client's
                                               // slack)
        {0, 0, 0, 36, 2},  {18, 143, 0, 36, 9}, {0, 180, 0, 0, -1},  // past the items
        {-1, 0, 0, 0, -1}, {-1, 0, 5, 0, 0},    {0, -1, 0, 0, -1},
    };
    for (const Case& c : rowCases) {
        SCOPED_TRACE(testing::Message()
                     << "rows " << c.x << "," << c.y << " at " << c.h << "," << c.v);
        ListRect cell;
        EXPECT_EQ(HitTestItem(rows, c.x, c.y, c.h, c.v, &cell), c.index);
        if (c.index >= 0) {
            EXPECT_LE(cell.left, std::int64_t{c.x} + c.h);
            EXPECT_GT(cell.right, std::int64_t{c.x} + c.h);
            EXPECT_LE(cell.top, std::int64_t{c.y} + c.v);
            EXPECT_GT(cell.bottom, std::int64_t{c.y} + c.v);
        }
    }
    EXPECT_EQ(CellRect(rows, 3).left, 18);
    EXPECT_EQ(CellRect(rows, 3).top, 36);
    EXPECT_EQ(CellRect(rows, 10).right, 0);  // outside the list

    // Five 84 x 34 cells, two a column.
    const ListLayout columns = ComputeListLayout(64, 32, 1, 0, 5, 100, 70);
    const Case columnCases[] = {
        {0, 34, 0, 0, 1}, {0, 68, 0, 0, -1},  // below the last row of a column
        {84, 0, 0, 0, 2}, {90, 40, 0, 0, 3}, {0, 0, 168, 0, 4}, {0, 34, 168, 0, -1},
    };
    for (const Case& c : columnCases) {
        SCOPED_TRACE(testing::Message() << "columns " << c.x << "," << c.y << " at " << c.h);
        EXPECT_EQ(HitTestItem(columns, c.x, c.y, c.h, c.v), c.index);
    }
    EXPECT_EQ(CellRect(columns, 3).left, 84);
    EXPECT_EQ(CellRect(columns, 3).top, 34);
}

TEST(ListLayout, DropPositionsAndTheDragThreshold) {
    const ListLayout rows = ComputeListLayout(16, 16, 1, 0, 10, 40, 100);  // 18 x 36
    EXPECT_EQ(DropPositionAt(rows, 0, 0, 0, 0), (DropPosition{-1, 0}));
    EXPECT_EQ(DropPositionAt(rows, 26, 10, 0, 0), (DropPosition{0, 1}));  // first half of 1
    EXPECT_EQ(DropPositionAt(rows, 27, 10, 0, 0), (DropPosition{1, 2}));
    EXPECT_EQ(DropPositionAt(rows, 8, 0, 0, 36), (DropPosition{1, 2}));  // scrolled
    EXPECT_EQ(DropPositionAt(rows, 30, 150, 0, 0), (DropPosition{9, -1}));
    EXPECT_FALSE(DropPositionAt(rows, 38, 0, 0, 0).Valid());
    EXPECT_EQ(DropPositionAt(rows, 0, 0, 0, 0).InsertionIndex(), 0);
    EXPECT_EQ(DropPositionAt(rows, 30, 150, 0, 0).InsertionIndex(), 10);
    EXPECT_EQ(DropPosition{}.InsertionIndex(), -1);

    const ListLayout columns = ComputeListLayout(64, 32, 1, 0, 5, 100, 70);  // 84 x 34
    EXPECT_EQ(DropPositionAt(columns, 80, 16, 0, 0), (DropPosition{-1, 0}));
    EXPECT_EQ(DropPositionAt(columns, 0, 17, 0, 0), (DropPosition{0, 1}));

    EXPECT_FALSE(DragStarts(rows, 10, 10, 17, 40));  // 7 along x is not enough
    EXPECT_TRUE(DragStarts(rows, 10, 10, 2, 10));
    EXPECT_FALSE(DragStarts(columns, 10, 10, 40, 17));
    EXPECT_TRUE(DragStarts(columns, 10, 10, 10, 18));
}

TEST(ListDrop, TheSelectedItemsGatherAtTheInsertionIndex) {
    struct Case {
        std::vector<bool> selected;
        int insertion;
        std::vector<int> order;
    };
    const Case cases[] = {
        {{false, true, true, false, false}, 5, {0, 3, 4, 1, 2}},  // after the last item
        {{false, true, true, false, false}, 1, {0, 1, 2, 3, 4}},  // where they are
        {{false, true, true, false, false}, 2, {0, 1, 2, 3, 4}},
        {{false, true, true, false, false}, 3, {0, 1, 2, 3, 4}},
        {{false, true, false, true, false}, 0, {1, 3, 0, 2, 4}},
        {{true, false, false, false, true}, 2, {1, 0, 4, 2, 3}},  // from both sides
        {{false, true, false}, 4, {0, 1, 2}},                     // outside: unchanged
        {{false, true, false}, -1, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.insertion);
        EXPECT_EQ(DropOrder(c.selected, c.insertion), c.order);
    }
}

class ListDropOnList : public testing::Test {
protected:
    ListDropOnList() {
        for (int i = 1; i <= 5; ++i) AddPicture(app.Items(), i, 1);  // widths name the items
        app.ClearModified();
    }
    std::vector<int> Widths() {
        std::vector<int> widths;
        for (int i = 0; i < app.Items().Count(); ++i)
            widths.push_back(app.Items().Item(i)->Image().header->biWidth);
        return widths;
    }
    ScriptedInteraction ui;
    CIconmillApp app{ui};
};

TEST_F(ListDropOnList, DraggingTwoItemsAfterTheLastReordersAndDeselectsThem) {
    CItemList& list = app.Items();
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 1), 5);  // a duplicate of item 2
    list.SetSelected(1, true);
    list.SetSelected(2, true);
    const tagILVITEM* original = list.Item(1);
    ASSERT_TRUE(DropSelectedItems(app, 6));
    EXPECT_EQ(Widths(), (std::vector<int>{1, 4, 5, 2, 2, 3}));
    EXPECT_TRUE(list.IsSelectionEmpty());
    EXPECT_EQ(list.Item(4), original);
    EXPECT_EQ(list.Item(3)->reference, original);  // the duplicate still shows item 2
    EXPECT_EQ(original->duplicateCount, 1);
    EXPECT_TRUE(app.IsModified());

    // Nothing selected, or an index outside the list: nothing moves.
    app.ClearModified();
    EXPECT_FALSE(DropSelectedItems(app, 0));
    list.SetSelected(0, true);
    EXPECT_FALSE(DropSelectedItems(app, 7));
    EXPECT_EQ(Widths(), (std::vector<int>{1, 4, 5, 2, 2, 3}));
    EXPECT_FALSE(app.IsModified());
}

TEST(ListKeys, TheKeyTableInRowsAndColumns) {
    struct Case {
        int current;
        ListKey key;
        int next;
    };
    // Ten items two a row, two rows a page.
    const ListLayout rows = ComputeListLayout(16, 16, 1, 0, 10, 40, 80);
    ASSERT_EQ(rows.perRow, 2);
    ASSERT_EQ(rows.perColumn, 2);
    const Case rowCases[] = {
        {-1, ListKey::Right, 0},    {9, ListKey::Right, -1},  {3, ListKey::Left, 2},
        {0, ListKey::Left, -1},     {2, ListKey::Up, 0},      {1, ListKey::Up, -1},
        {7, ListKey::Down, 9},      {8, ListKey::Down, -1},   {-1, ListKey::Down, 1},
        {4, ListKey::PageUp, 0},    {3, ListKey::PageUp, -1}, {5, ListKey::PageDown, 9},
        {6, ListKey::PageDown, -1}, {3, ListKey::Home, 2},    {-1, ListKey::Home, 0},
        {2, ListKey::End, 3},       {-1, ListKey::End, 1},
    };
    for (const Case& c : rowCases) {
        SCOPED_TRACE(testing::Message()
                     << "rows from " << c.current << " key " << static_cast<int>(c.key));
        EXPECT_EQ(NavigateKey(rows, c.current, c.key), c.next);
    }
    // The last row is short: End stops at the last item.
    EXPECT_EQ(NavigateKey(ComputeListLayout(16, 16, 1, 0, 9, 40, 80), 8, ListKey::End), 8);

    // Ten items two a column, two columns a page.
    const ListLayout columns = ComputeListLayout(64, 32, 1, 0, 10, 170, 70);
    ASSERT_FALSE(columns.Rows());
    ASSERT_EQ(columns.perRow, 2);
    ASSERT_EQ(columns.perColumn, 2);
    const Case columnCases[] = {
        {3, ListKey::Left, 1},   {1, ListKey::Left, -1},  {3, ListKey::Right, 5},
        {8, ListKey::Right, -1}, {-1, ListKey::Right, 1}, {3, ListKey::Up, 2},
        {0, ListKey::Up, -1},    {8, ListKey::Down, 9},   {9, ListKey::Down, -1},
        {-1, ListKey::Down, 0},  {4, ListKey::PageUp, 0}, {6, ListKey::PageDown, -1},
        {3, ListKey::Home, -1},  {3, ListKey::End, -1},
    };
    for (const Case& c : columnCases) {
        SCOPED_TRACE(testing::Message()
                     << "columns from " << c.current << " key " << static_cast<int>(c.key));
        EXPECT_EQ(NavigateKey(columns, c.current, c.key), c.next);
    }
}

TEST(ListKeys, ShiftSelectsFromTheAnchorAndMovesScrollIntoView) {
    using Sel = std::vector<bool>;
    EXPECT_EQ(NavigationSelection(6, 4, 1, true), (Sel{false, true, true, true, true, false}));
    EXPECT_EQ(NavigationSelection(4, -1, 2, true), (Sel{true, true, true, false}));
    EXPECT_EQ(NavigationSelection(4, 3, 1, false), (Sel{false, true, false, false}));
    EXPECT_EQ(NavigationSelection(3, 0, 3, true), (Sel{false, false, false}));

    ScriptedInteraction ui;
    CIconmillApp app{ui};
    for (int i = 0; i < 4; ++i) AddPicture(app.Items(), 4, 4);
    app.Items().SetSelected(3, true);
    ApplySelection(app.Items(), NavigationSelection(4, 2, 0, true));
    EXPECT_EQ(app.Items().GetSelectedCount(), 3);
    EXPECT_FALSE(app.Items().Item(3)->IsSelected());

    const ListLayout rows = ComputeListLayout(16, 16, 1, 0, 10, 40, 100);  // 18 x 36, 2 a row
    EXPECT_EQ(ScrollIntoView(rows, 9, 0, 0).v, 144);  // below: its top at the top
    EXPECT_EQ(ScrollIntoView(rows, 4, 0, 60).v, 60);  // fully visible: stays
    EXPECT_EQ(ScrollIntoView(rows, 0, 0, 60).v, 0);   // above
    EXPECT_EQ(ScrollIntoView(rows, 0, 0, 60).h, 0);
}

TEST(ListQuickInfo, TheTipTellsNumberSizeDepthBytesMaskAndDuplicates) {
    ScriptedInteraction ui;
    CIconmillApp app{ui};
    CItemList& list = app.Items();
    ASSERT_EQ(list.AddItem(MakePictureItem(32, 32, 24, 0, true)), 0);
    ASSERT_EQ(AddPicture(list, 16, -16, 8), 1);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 0), 2);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 0), 3);

    // 40 + 32 x 96 bytes; the duplication count on a line of its own after "-".
    EXPECT_EQ(QuickInfoText(list, 0),
              "#1\nSize: 32x32\nBit-Count: 24\nSize: 3.0 KB\nMasked\n-\nDuplications: 2");
    // 40 + 256 x 4 + 16 x 16 bytes; the stored (top-down) height.
    EXPECT_EQ(QuickInfoText(list, 1), "#2\nSize: 16x-16\nBit-Count: 8\nSize: 1.2 KB\nNo Mask");
    EXPECT_EQ(QuickInfoText(list, 3),
              "#4 (duplicated)\nSize: 32x32\nBit-Count: 24\nSize: 3.0 KB\nMasked");
    EXPECT_EQ(QuickInfoText(list, 4), "");
}

TEST(ListWheel, CtrlWheelStepsTheZoomWithinItsLimits) {
    struct Case {
        double zoom;
        bool away;
        double result;  // 0: no change
    };
    const Case cases[] = {
        {1, true, 200}, {1, false, 50},  {0.125, false, 0}, {0.125, true, 25},
        {8, true, 0},   {8, false, 700}, {0.5, true, 100},  {2, false, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoom << (c.away ? " in" : " out"));
        const int position = WheelZoomPosition(c.zoom, c.away);
        EXPECT_EQ(position < 0 ? 0 : kZoomTable[position], c.result);
    }

    ScriptedInteraction ui;
    CIconmillApp app{ui};
    EXPECT_TRUE(WheelZoom(app, false));
    EXPECT_EQ(app.view.zoom, 0.5);
    EXPECT_EQ(app.view.zoomPosition, ZoomPositionOf(50));
    app.view.zoom = 0.125;
    app.view.zoomPosition = 0;
    EXPECT_FALSE(WheelZoom(app, false));
    EXPECT_EQ(app.view.zoom, 0.125);
}

}  // namespace
