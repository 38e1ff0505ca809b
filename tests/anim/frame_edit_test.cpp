#include "anim/frame_edit.h"

#include <gtest/gtest.h>

#include "support/test_items.h"

namespace {

TEST(FrameEdit, TheSelectionTakesEveryGivenValueAndTheBoundsFollow) {
    CItemList list;
    AddPicture(list, 4, 4);
    AddPicture(list, 6, 2);
    list.AddDuplicate(FrameInfo{}, 0, 0, 0);
    list.SetSelected(1, true);
    list.SetSelected(2, true);

    FrameEdit edit;
    edit.position = FrameEdit::Point{10, 20};
    edit.delay = 70;
    edit.blendOp = 1;
    edit.disposeOp = 2;
    EXPECT_EQ(ApplyFrameEditToSelection(list, edit), 2);
    for (int i : {1, 2}) {
        SCOPED_TRACE(i);
        const tagILVITEM& item = *list.Item(i);
        EXPECT_EQ(item.x, 10);
        EXPECT_EQ(item.y, 20);
        EXPECT_EQ(item.frameInfo.delay, 70u);
        EXPECT_EQ(item.frameInfo.blendOp, 1);
        EXPECT_EQ(item.frameInfo.disposeOp, 2);
    }
    // The duplicate's values are its own: its reference is untouched.
    EXPECT_EQ(list.Item(0)->x, 0);
    EXPECT_EQ(list.Item(0)->frameInfo.delay, kDefaultFrameDelay);
    // Item 1 (6 x 2 at 10, 20) and the duplicate of item 0 (4 x 4 at 10, 20).
    EXPECT_EQ(list.BoundingWidth(), 16);
    EXPECT_EQ(list.BoundingHeight(), 24);
}

TEST(FrameEdit, AbsentValuesStayAndAHotSpotAloneChangesOnlyIt) {
    CItemList list;
    AddPicture(list, 4, 4);
    list.Item(0)->frameInfo.delay = 250;
    FrameEdit edit;
    edit.hotSpot = FrameEdit::HotSpot{3, 1};
    EXPECT_TRUE(ApplyFrameEdit(list, 0, edit));
    EXPECT_FALSE(ApplyFrameEdit(list, 1, edit));
    const FrameInfo& frame = list.Item(0)->frameInfo;
    EXPECT_EQ(frame.hotspotX, 3);
    EXPECT_EQ(frame.hotspotY, 1);
    EXPECT_EQ(frame.delay, 250u);
    EXPECT_EQ(list.Item(0)->x, 0);
}

TEST(FrameEdit, ADuplicateOfADuplicateShowsTheOriginalWithItsValues) {
    CItemList list;
    AddPicture(list, 4, 4);
    tagILVITEM& original = *list.Item(0);
    original.frameInfo.delay = 90;
    original.x = 5;
    FrameInfo other;
    other.delay = 1;
    list.AddDuplicate(other, 0, 0, 0);

    const int added = AppendDuplicateOf(list, 1);
    ASSERT_EQ(added, 2);
    const tagILVITEM& copy = *list.Item(added);
    EXPECT_EQ(copy.reference, &original);
    EXPECT_EQ(copy.frameInfo.delay, 90u);
    EXPECT_EQ(copy.x, 5);
    EXPECT_EQ(original.duplicateCount, 2);
    EXPECT_EQ(AppendDuplicateOf(list, 7), -1);
}

}  // namespace
