#include "core/item_list.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A small original: a 40-byte header with the given geometry and zeroed rows.
// The delay serves as the item's name in the tests.
NewItem MakeItem(int width, int height, std::uint32_t delay = kDefaultFrameDelay, int bitCount = 24,
                 bool withMask = false) {
    NewItem item;
    item.header = AllocateHeaderBlock(sizeof(DibHeader));
    item.header->biSize = kBitmapInfoHeaderSize;
    item.header->biWidth = width;
    item.header->biHeight = height;
    item.header->biPlanes = 1;
    item.header->biBitCount = static_cast<std::uint16_t>(bitCount);
    const std::size_t rows = static_cast<std::size_t>(std::abs(height));
    const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    item.bits = AllocateZeroedBlock(stride * rows);
    if (withMask)
        item.mask = AllocateZeroedBlock(((static_cast<std::size_t>(width) + 31) / 32) * 4 * rows);
    item.frameInfo.delay = delay;
    return item;
}

// The names (delays) of the items in list order.
std::vector<std::uint32_t> Names(const CItemList& list) {
    std::vector<std::uint32_t> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.Item(i)->frameInfo.delay);
    return names;
}

// Records every notification. While an item is being removed it reads the record
// and its picture, so a list that freed them too early shows up under ASan.
class RecordingListener : public ItemListListener {
public:
    explicit RecordingListener(CItemList& list) : list_(list) { list.SetListener(this); }

    void OnItemRemoving(int index) override {
        const tagILVITEM* item = list_.Item(index);
        ASSERT_NE(item, nullptr);
        ASSERT_NE(item->Image().header, nullptr);
        removedWidths.push_back(item->Image().header->biWidth);
        if (item->IsDuplicate()) referenceCountsSeen.push_back(item->reference->duplicateCount);
        events.push_back("removing " + std::to_string(index));
    }
    void OnOrderChanged() override { events.push_back("order"); }
    void OnLayoutChanged(bool repaint) override {
        events.push_back(repaint ? "layout+paint" : "layout");
    }
    void OnResetPositions(bool anchorToo) override {
        events.push_back(anchorToo ? "reset all" : "reset hover");
    }

    std::vector<std::string> events;
    std::vector<int> removedWidths;
    std::vector<int> referenceCountsSeen;

private:
    CItemList& list_;
};

using Events = std::vector<std::string>;

TEST(ItemList, AddItemTakesOverTheBlocksAndRaisesTheBounds) {
    CItemList list;
    RecordingListener listener(list);
    NewItem first = MakeItem(16, 16, 1, 24, true);
    first.x = 4;
    first.y = 2;
    first.frameInfo.blendOp = 1;
    first.frameInfo.hotspotX = 3;
    const DibHeader* header = first.header.get();
    const std::uint8_t* bits = first.bits.get();
    const std::uint8_t* mask = first.mask.get();

    EXPECT_EQ(list.AddItem(std::move(first)), 0);
    EXPECT_EQ(list.AddItem(MakeItem(8, -32, 2)), 1);  // top-down: |height| counts
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.BoundingWidth(), 20);
    EXPECT_EQ(list.BoundingHeight(), 32);
    EXPECT_EQ(listener.events, (Events{"layout+paint", "layout+paint"}));

    tagILVITEM view;
    ASSERT_TRUE(list.GetItem(0, &view));
    EXPECT_EQ(view.header, header);
    EXPECT_EQ(view.bits, bits);
    EXPECT_EQ(view.mask, mask);
    EXPECT_EQ(view.flags, 0);
    EXPECT_EQ(view.duplicateCount, 0);
    EXPECT_EQ(view.reference, nullptr);
    EXPECT_EQ(view.x, 4);
    EXPECT_EQ(view.y, 2);
    EXPECT_EQ(view.frameInfo.delay, 1u);
    EXPECT_EQ(view.frameInfo.blendOp, 1);
    EXPECT_EQ(view.frameInfo.hotspotX, 3);

    EXPECT_FALSE(list.GetItem(2, &view));
    EXPECT_FALSE(list.GetItem(-1, &view));
    EXPECT_FALSE(list.GetItem(0, nullptr));
    EXPECT_EQ(list.Item(2), nullptr);
    EXPECT_EQ(list.IndexOf(list.Item(1)), 1);
    EXPECT_EQ(list.IndexOf(&view), -1);
}

TEST(ItemList, AddItemWithoutHeaderOrBitsAddsNothingAndFreesTheRest) {
    CItemList list;
    ASSERT_EQ(list.AddItem(MakeItem(4, 4)), 0);
    RecordingListener listener(list);
    // Every remaining block of a refused request is freed: ASan's leak check
    // watches these.
    NewItem noBits = MakeItem(2, 2, 600, 24, true);
    noBits.bits.reset();
    NewItem noHeader = MakeItem(2, 2, 600, 24, true);
    noHeader.header.reset();
    NewItem nothing;

    EXPECT_EQ(list.AddItem(std::move(noBits)), -1);
    EXPECT_EQ(list.AddItem(std::move(noHeader)), -1);
    EXPECT_EQ(list.AddItem(std::move(nothing)), -1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.BoundingWidth(), 4);
    EXPECT_TRUE(listener.events.empty());
}

TEST(ItemList, AddDuplicateSharesTheReferencePicture) {
    CItemList list;
    ASSERT_EQ(list.AddItem(MakeItem(10, 6, 1)), 0);
    FrameInfo frame;
    frame.delay = 2;
    ASSERT_EQ(list.AddDuplicate(frame, 5, 7, 0), 1);

    const tagILVITEM* duplicate = list.Item(1);
    EXPECT_EQ(duplicate->reference, list.Item(0));
    EXPECT_EQ(duplicate->header, nullptr);
    EXPECT_EQ(duplicate->bits, nullptr);
    EXPECT_EQ(duplicate->mask, nullptr);
    EXPECT_EQ(duplicate->frameInfo.delay, 2u);
    EXPECT_EQ(list.Item(0)->duplicateCount, 1);
    // The reference's picture at the duplicate's own position.
    EXPECT_EQ(list.BoundingWidth(), 15);
    EXPECT_EQ(list.BoundingHeight(), 13);

    for (int index : {-1, 2, 1}) {  // outside the list, and a duplicate
        SCOPED_TRACE(index);
        EXPECT_EQ(list.AddDuplicate(frame, 0, 0, index), -1);
    }
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0)->duplicateCount, 1);
}

TEST(ItemList, BoundsSurviveHostilePositions) {
    CItemList list;
    NewItem far = MakeItem(4, 1, 1);
    far.header->biWidth = INT_MAX;  // only the header is read for the bounds
    far.x = INT_MAX;
    far.y = INT_MAX;
    ASSERT_EQ(list.AddItem(std::move(far)), 0);
    EXPECT_EQ(list.BoundingWidth(), INT_MAX);
    EXPECT_EQ(list.BoundingHeight(), INT_MAX);

    CItemList negative;
    NewItem left = MakeItem(4, 4, 1);
    left.x = INT_MIN;
    left.y = INT_MIN;
    ASSERT_EQ(negative.AddItem(std::move(left)), 0);
    EXPECT_EQ(negative.BoundingWidth(), 0);
    EXPECT_EQ(negative.BoundingHeight(), 0);
    FrameInfo frame;
    ASSERT_EQ(negative.AddDuplicate(frame, INT_MIN, INT_MAX, 0), 1);
    EXPECT_EQ(negative.BoundingHeight(), INT_MAX);
    EXPECT_TRUE(negative.RemoveItem(1));
    EXPECT_EQ(negative.BoundingHeight(), 0);
}

TEST(ItemList, RemovingTheWidestItemShrinksTheBounds) {
    CItemList list;
    ASSERT_EQ(list.AddItem(MakeItem(10, 30, 1)), 0);
    ASSERT_EQ(list.AddItem(MakeItem(20, 5, 2)), 1);
    ASSERT_EQ(list.AddItem(MakeItem(4, 4, 3)), 2);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 12, 0, 2), 3);  // right edge 16
    EXPECT_EQ(list.BoundingWidth(), 20);

    ASSERT_TRUE(list.RemoveItem(1));
    EXPECT_EQ(list.BoundingWidth(), 16);  // the duplicate, through its reference
    EXPECT_EQ(list.BoundingHeight(), 30);
    ASSERT_TRUE(list.RemoveItem(2));
    EXPECT_EQ(list.BoundingWidth(), 10);
    ASSERT_TRUE(list.RemoveItem(1));  // a smaller item leaves the bounds alone
    EXPECT_EQ(list.BoundingWidth(), 10);
    EXPECT_EQ(list.BoundingHeight(), 30);
    ASSERT_TRUE(list.RemoveItem(0));
    EXPECT_EQ(list.BoundingWidth(), 0);
    EXPECT_EQ(list.BoundingHeight(), 0);
}

TEST(ItemList, RemoveItemNotifiesBeforeFreeingAndClosesTheGap) {
    CItemList list;
    ASSERT_EQ(list.AddItem(MakeItem(3, 3, 1)), 0);
    ASSERT_EQ(list.AddItem(MakeItem(5, 5, 2)), 1);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 1), 2);
    ASSERT_EQ(list.AddItem(MakeItem(7, 7, 3)), 3);
    RecordingListener listener(list);

    EXPECT_FALSE(list.RemoveItem(4));
    EXPECT_FALSE(list.RemoveItem(-1));
    EXPECT_FALSE(list.RemoveItem(1));  // still has a duplicate
    EXPECT_TRUE(listener.events.empty());

    ASSERT_TRUE(list.RemoveItem(2));
    EXPECT_EQ(listener.events, (Events{"removing 2", "reset hover", "layout+paint"}));
    // The reference's count was already down when the owner heard of it.
    EXPECT_EQ(listener.referenceCountsSeen, (std::vector<int>{0}));
    EXPECT_EQ(Names(list), (std::vector<std::uint32_t>{1, 2, 3}));

    listener.events.clear();
    ASSERT_TRUE(list.RemoveItem(1));
    EXPECT_EQ(listener.events, (Events{"removing 1", "reset hover", "layout+paint"}));
    EXPECT_EQ(listener.removedWidths, (std::vector<int>{5, 5}));
    EXPECT_EQ(Names(list), (std::vector<std::uint32_t>{1, 3}));
}

TEST(ItemList, RemoveAllItemsTakesDuplicatesFirst) {
    CItemList list;
    ASSERT_EQ(list.AddItem(MakeItem(1, 1, 1)), 0);
    ASSERT_EQ(list.AddItem(MakeItem(2, 2, 2)), 1);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 0), 2);
    ASSERT_EQ(list.AddItem(MakeItem(3, 3, 3)), 3);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 1), 4);
    RecordingListener listener(list);

    list.RemoveAllItems();
    EXPECT_EQ(listener.events, (Events{"removing 4", "removing 2", "removing 2", "removing 1",
                                       "removing 0", "reset all", "layout+paint"}));
    EXPECT_EQ(listener.removedWidths, (std::vector<int>{2, 1, 3, 2, 1}));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.BoundingWidth(), 0);
    EXPECT_EQ(list.BoundingHeight(), 0);
}

TEST(ItemList, DestructorFreesOriginalsAndDuplicates) {
    // Leaves items with duplicates in the list; ASan reports anything not freed.
    CItemList list;
    ASSERT_EQ(list.AddItem(MakeItem(2, 2, 1, 24, true)), 0);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 0), 1);
    ASSERT_EQ(list.AddItem(MakeItem(2, 2, 2)), 2);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 0), 3);
}

TEST(ItemList, Selection) {
    CItemList list;
    for (std::uint32_t name = 1; name <= 4; ++name)
        ASSERT_GE(list.AddItem(MakeItem(2, 2, name)), 0);
    tagILVITEM view;
    EXPECT_TRUE(list.IsSelectionEmpty());
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(list.GetFirstSelected(&view), -1);

    list.SetSelected(2, true);
    list.SetSelected(3, true);
    list.SetSelected(7, true);  // outside: nothing
    EXPECT_FALSE(list.IsSelectionEmpty());
    EXPECT_EQ(list.GetSelectedCount(), 2);
    EXPECT_EQ(list.GetFirstSelected(&view), 2);
    EXPECT_EQ(view.frameInfo.delay, 3u);
    EXPECT_EQ(list.GetFirstSelected(nullptr), 2);
    list.SetSelected(2, false);
    EXPECT_EQ(list.GetFirstSelected(&view), 3);

    list.Item(1)->flags |= 2;  // a view highlight bit survives selection changes
    RecordingListener listener(list);
    list.SelectAll();
    EXPECT_EQ(list.GetSelectedCount(), 4);
    EXPECT_EQ(list.Item(1)->flags, 3);
    EXPECT_EQ(listener.events, (Events{"layout+paint"}));
}

TEST(ItemList, FindItemMatchesBlocksOfOriginals) {
    CItemList list;
    NewItem plain = MakeItem(2, 2, 1);
    NewItem masked = MakeItem(2, 2, 2, 24, true);
    const DibHeader* plainHeader = plain.header.get();
    const std::uint8_t* plainBits = plain.bits.get();
    const DibHeader* maskedHeader = masked.header.get();
    const std::uint8_t* maskedBits = masked.bits.get();
    const std::uint8_t* mask = masked.mask.get();
    ASSERT_EQ(list.AddItem(std::move(plain)), 0);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 0), 1);
    ASSERT_EQ(list.AddItem(std::move(masked)), 2);

    EXPECT_EQ(list.FindItem(plainHeader, plainBits), 0);
    EXPECT_EQ(list.FindItem(maskedHeader, maskedBits), 2);  // no mask given: any mask
    EXPECT_EQ(list.FindItem(maskedHeader, maskedBits, mask), 2);
    EXPECT_EQ(list.FindItem(plainHeader, plainBits, mask), -1);
    EXPECT_EQ(list.FindItem(plainHeader, maskedBits), -1);
    EXPECT_EQ(list.FindItem(nullptr, nullptr), -1);  // duplicates have no blocks of their own
}

TEST(ItemList, DuplicatingADuplicateDuplicatesItsReference) {
    CItemList list;
    NewItem original = MakeItem(4, 4, 100);
    original.frameInfo.blendOp = 1;
    original.frameInfo.disposeOp = 2;
    original.frameInfo.hotspotX = 3;
    original.frameInfo.hotspotY = 1;
    original.x = 6;
    original.y = 9;
    ASSERT_EQ(list.AddItem(std::move(original)), 0);
    FrameInfo other;
    other.delay = 55;
    ASSERT_EQ(list.AddDuplicate(other, 1, 2, 0), 1);
    list.SetSelected(1, true);
    RecordingListener listener(list);

    EXPECT_EQ(DuplicateSelectedItems(list), 1);
    ASSERT_EQ(list.Count(), 3);
    const tagILVITEM* added = list.Item(2);
    EXPECT_EQ(added->reference, list.Item(0));
    EXPECT_EQ(list.Item(0)->duplicateCount, 2);
    EXPECT_FALSE(added->IsSelected());
    EXPECT_EQ(added->frameInfo.delay, 100u);
    EXPECT_EQ(added->frameInfo.blendOp, 1);
    EXPECT_EQ(added->frameInfo.disposeOp, 2);
    EXPECT_EQ(added->frameInfo.hotspotX, 3);
    EXPECT_EQ(added->frameInfo.hotspotY, 1);
    EXPECT_EQ(added->x, 6);
    EXPECT_EQ(added->y, 9);
    EXPECT_EQ(listener.events, (Events{"layout+paint"}));
}

TEST(ItemList, DuplicatingThreeSelectedAppendsThemInOrder) {
    CItemList list;
    for (std::uint32_t name = 1; name <= 4; ++name)
        ASSERT_GE(list.AddItem(MakeItem(2, 2, name)), 0);
    list.SetSelected(0, true);
    list.SetSelected(2, true);
    list.SetSelected(3, true);
    RecordingListener listener(list);

    EXPECT_EQ(DuplicateSelectedItems(list), 3);
    EXPECT_EQ(Names(list), (std::vector<std::uint32_t>{1, 2, 3, 4, 1, 3, 4}));
    EXPECT_EQ(list.Item(4)->reference, list.Item(0));
    EXPECT_EQ(list.Item(5)->reference, list.Item(2));
    EXPECT_EQ(list.Item(6)->reference, list.Item(3));
    EXPECT_EQ(list.GetSelectedCount(), 3);                 // the new ones are not selected
    EXPECT_EQ(listener.events, (Events{"layout+paint"}));  // one layout for the batch

    list.SetSelected(0, false);
    list.SetSelected(2, false);
    list.SetSelected(3, false);
    EXPECT_EQ(DuplicateSelectedItems(list), 0);
    EXPECT_EQ(list.Count(), 7);
}

TEST(ItemList, DeleteAllDuplicationsUnblocksRemoval) {
    CItemList list;
    ASSERT_EQ(list.AddItem(MakeItem(2, 2, 1)), 0);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 0), 1);
    ASSERT_EQ(list.AddItem(MakeItem(3, 3, 2)), 2);
    ASSERT_EQ(list.AddDuplicate(FrameInfo{}, 0, 0, 0), 3);
    EXPECT_FALSE(list.RemoveItem(0));
    RecordingListener listener(list);

    EXPECT_EQ(DeleteAllDuplications(list), 2);
    EXPECT_EQ(listener.events,
              (Events{"removing 3", "reset hover", "removing 1", "reset hover", "layout+paint"}));
    EXPECT_EQ(list.Item(0)->duplicateCount, 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.RemoveItem(0));
    EXPECT_EQ(DeleteAllDuplications(list), 0);
}

struct SortCase {
    const char* name;
    SortKey key;
    bool descending;
    // width, height, bit count, name of each item before sorting
    std::vector<std::array<int, 4>> items;
    std::vector<std::uint32_t> expected;
};

TEST(ItemList, SortItemsExchangesWholeRecords) {
    const SortCase cases[] = {
        {"equal widths reverse",
         SortKey::Width,
         false,
         {{2, 1, 24, 21}, {2, 1, 24, 22}, {1, 1, 24, 1}},
         {1, 22, 21}},
        {"descending",
         SortKey::Width,
         true,
         {{1, 1, 24, 11}, {1, 1, 24, 12}, {2, 1, 24, 2}},
         {2, 12, 11}},
        {"already ordered",
         SortKey::Width,
         false,
         {{1, 1, 24, 1}, {2, 1, 24, 2}, {3, 1, 24, 3}},
         {1, 2, 3}},
        {"top-down heights",
         SortKey::Height,
         false,
         {{1, -8, 24, 8}, {1, 4, 24, 4}, {1, -2, 24, 2}},
         {2, 4, 8}},
        {"bit counts",
         SortKey::BitCount,
         true,
         {{1, 1, 8, 8}, {1, 1, 32, 32}, {1, 1, 1, 1}},
         {32, 8, 1}},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.name);
        CItemList list;
        for (const auto& [width, height, bitCount, name] : c.items) {
            ASSERT_GE(
                list.AddItem(MakeItem(width, height, static_cast<std::uint32_t>(name), bitCount)),
                0);
        }
        list.SelectAll();
        RecordingListener listener(list);
        list.SortItems(c.key, c.descending);
        EXPECT_EQ(Names(list), c.expected);
        EXPECT_TRUE(list.IsSelectionEmpty());
        EXPECT_EQ(listener.events, (Events{"reset all", "layout+paint", "order"}));
    }
}

TEST(ItemList, SortReadsTheKeyOfADuplicateFromItsReference) {
    CItemList list;
    ASSERT_EQ(list.AddItem(MakeItem(9, 1, 9)), 0);
    ASSERT_EQ(list.AddItem(MakeItem(1, 1, 1)), 1);
    FrameInfo frame;
    frame.delay = 90;
    ASSERT_EQ(list.AddDuplicate(frame, 0, 0, 0), 2);
    frame.delay = 10;
    ASSERT_EQ(list.AddDuplicate(frame, 0, 0, 1), 3);

    list.SortItems(SortKey::Width, false);
    EXPECT_EQ(Names(list), (std::vector<std::uint32_t>{1, 10, 90, 9}));
    // The records moved whole: each duplicate still shows its own reference.
    EXPECT_EQ(list.Item(1)->reference->frameInfo.delay, 1u);
    EXPECT_EQ(list.Item(2)->reference->frameInfo.delay, 9u);
    EXPECT_EQ(list.Item(3)->duplicateCount, 1);
}

TEST(ItemList, MoveItemShiftsTheItemsBetween) {
    CItemList list;
    for (std::uint32_t name = 1; name <= 4; ++name)
        ASSERT_GE(list.AddItem(MakeItem(2, 2, name)), 0);
    list.MoveItem(0, 2);
    EXPECT_EQ(Names(list), (std::vector<std::uint32_t>{2, 3, 1, 4}));
    list.MoveItem(3, 0);
    EXPECT_EQ(Names(list), (std::vector<std::uint32_t>{4, 2, 3, 1}));
    RecordingListener listener(list);
    list.MoveItem(0, 4);
    list.MoveItem(-1, 0);
    list.MoveItem(1, 1);
    EXPECT_EQ(Names(list), (std::vector<std::uint32_t>{4, 2, 3, 1}));
    EXPECT_TRUE(listener.events.empty());
}

}  // namespace
