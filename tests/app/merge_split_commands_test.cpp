#include "app/merge_split_commands.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/application.h"
#include "core/dib.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

class MergeSplit : public testing::Test {
protected:
    ScriptedInteraction ui;
    CIconmillApp app{ui};
    CItemList& list = app.Items();

    int AddSelected(int width, int height, int bitCount = 24, std::uint8_t fill = 0,
                    bool withMask = false) {
        const int index = AddPicture(list, width, height, bitCount, fill, withMask);
        list.SetSelected(index, true);
        return index;
    }
    MergeOptions Horizontal(int perStrip, bool deleteSources = false) {
        MergeOptions options;
        options.parameters.perStrip = perStrip;
        options.deleteSources = deleteSources;
        return options;
    }
    void ExpectNewItem(int index, int width, int height) {
        const tagILVITEM* item = list.Item(index);
        ASSERT_NE(item, nullptr);
        EXPECT_FALSE(item->IsDuplicate());
        EXPECT_EQ(item->header->biWidth, width);
        EXPECT_EQ(item->header->biHeight, height);
        EXPECT_EQ(item->mask, nullptr);
        EXPECT_EQ(item->x, 0);
        EXPECT_EQ(item->y, 0);
        EXPECT_EQ(item->frameInfo.delay, 600u);
        EXPECT_EQ(item->frameInfo.blendOp, 0);
        EXPECT_EQ(item->frameInfo.disposeOp, 0);
        EXPECT_EQ(item->frameInfo.hotspotX, 0);
        EXPECT_EQ(item->frameInfo.hotspotY, 0);
    }
};

const char* const kInvalidParameters = "Invalid parameters.";

}  // namespace

TEST_F(MergeSplit, MergeDialogValues) {
    AddSelected(16, 16);
    AddSelected(16, -16);
    AddPicture(list, 99, 99);  // not selected: no part of the merge
    AddSelected(16, 16, 8);
    AddSelected(32, 8);
    const MergeDialogSetup setup = DescribeMergeSelection(list);
    EXPECT_EQ(setup.sourceCount, 4);
    EXPECT_EQ(setup.cells.cellWidth, 32);
    EXPECT_EQ(setup.cells.cellHeight, 16);
    EXPECT_EQ(setup.cells.bitCount, 24u);
    EXPECT_TRUE(setup.deleteAllowed);

    struct Case {
        const char* strip;
        StripOrientation orientation;
        const char* result;
    };
    const auto H = StripOrientation::Horizontal, V = StripOrientation::Vertical;
    const Case cases[] = {
        {"2", H, "Result: 64x32, 24-bit image"}, {"2", V, "Result: 64x32, 24-bit image"},
        {"4", H, "Result: 128x16, 24-bit image"}, {"4", V, "Result: 32x64, 24-bit image"},
        {"3", H, "Result: 96x32, 24-bit image"}, {"1", H, "Result: 32x64, 24-bit image"},
        {"0", H, ""}, {"5", H, ""}, {"", H, ""}, {"2a", H, ""}, {"-1", H, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strip);
        EXPECT_EQ(MergeResultText(setup, c.strip, c.orientation), c.result);
        MergeOptions options;
        const auto rejection = AcceptMergeDialog(setup, {c.strip, c.orientation, true, 0x123456, true},
                                                 &options);
        if (*c.result) {
            EXPECT_FALSE(rejection);
            EXPECT_EQ(options.parameters.orientation, c.orientation);
            EXPECT_TRUE(options.parameters.fillBackground);
            EXPECT_EQ(options.parameters.fillColor, 0x123456u);
            EXPECT_TRUE(options.deleteSources);
        } else {
            ASSERT_TRUE(rejection);
            EXPECT_EQ(rejection->field, MergeField::StripCount);
            EXPECT_EQ(rejection->message.id, kStrValueRange);
            EXPECT_EQ(rejection->message.text, "Please enter a value between 1 and 4.");
        }
    }

    // A 32-bit item makes a 32-bit result; an item with duplicates disables deleting.
    list.SetSelected(AddPicture(list, 2, 2, 32), true);
    ASSERT_GE(list.AddDuplicate({}, 0, 0, 0), 0);
    const MergeDialogSetup other = DescribeMergeSelection(list);
    EXPECT_EQ(other.cells.bitCount, 32u);
    EXPECT_FALSE(other.deleteAllowed);
    MergeOptions options;
    EXPECT_FALSE(AcceptMergeDialog(other, {"5", StripOrientation::Horizontal, false, 0, true},
                                   &options));
    EXPECT_FALSE(options.deleteSources);
}

TEST_F(MergeSplit, MergeAppendsTheResultAndDeletesTheSourcesWhenAsked) {
    AddSelected(16, 16);
    AddSelected(16, 16);
    AddSelected(16, 16);
    AddSelected(32, 8);
    ASSERT_TRUE(ApplyMerge(app, Horizontal(2)));
    ASSERT_EQ(list.Count(), 5);
    ExpectNewItem(4, 64, 32);
    EXPECT_FALSE(list.Item(4)->IsSelected());
    EXPECT_TRUE(app.IsModified());

    app.ClearModified();
    ASSERT_TRUE(ApplyMerge(app, Horizontal(4, true)));
    ASSERT_EQ(list.Count(), 2);  // the two merged images
    ExpectNewItem(0, 64, 32);
    ExpectNewItem(1, 128, 16);
    EXPECT_TRUE(app.IsModified());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MergeSplit, MergeNeverDeletesDuplicatesNorOriginalsThatHaveThem) {
    // A selected original with a duplicate: nothing is deleted.
    AddSelected(4, 4);
    AddSelected(4, 4);
    ASSERT_EQ(list.AddDuplicate({}, 0, 0, 0), 2);
    ASSERT_TRUE(ApplyMerge(app, Horizontal(2, true)));
    EXPECT_EQ(list.Count(), 4);

    // A selected duplicate of an unselected original: the duplicate merges its
    // reference's picture; the other source goes, the original and its duplicate stay.
    list.RemoveAllItems();
    const int original = AddPicture(list, 4, 4, 24, 0x11);
    AddSelected(4, 4, 24, 0x22);
    const int duplicate = list.AddDuplicate({}, 0, 0, original);
    list.SetSelected(duplicate, true);
    ASSERT_TRUE(ApplyMerge(app, Horizontal(2, true)));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(0)->duplicateCount, 1);
    EXPECT_TRUE(list.Item(1)->IsDuplicate());
    const tagILVITEM* merged = list.Item(2);
    EXPECT_EQ(merged->header->biWidth, 8);
    EXPECT_EQ(DibGetPixel(merged->header, merged->bits, 0, 0), 0x222222u);
    EXPECT_EQ(DibGetPixel(merged->header, merged->bits, 4, 0), 0x111111u);
}

TEST_F(MergeSplit, MergeOfFewerThanTwoItemsIsRefused) {
    AddSelected(4, 4);
    AddPicture(list, 4, 4);
    EXPECT_FALSE(ApplyMerge(app, Horizontal(1)));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].id, kStrInvalidParameters);
    EXPECT_EQ(ui.messages[0].text, kInvalidParameters);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_FALSE(app.IsModified());
}

TEST_F(MergeSplit, SplitDialogValues) {
    const int index = AddSelected(48, -32);
    const SplitDialogSetup setup = DescribeSplitItem(list, index);
    EXPECT_EQ(setup.width, 48);
    EXPECT_EQ(setup.height, 32);
    EXPECT_TRUE(setup.deleteAllowed);
    EXPECT_EQ(SplitPictureLabel(list.Item(index)->header), "48x-32, 24-bit");
    EXPECT_EQ(SplitCountLimit(48), 48);
    EXPECT_EQ(SplitCountLimit(1200), 999);

    struct Case {
        const char* across;
        const char* down;
        const char* result;
        std::vector<std::pair<SplitField, std::string>> rejections;
    };
    const std::string range48 = "Please enter a value between 1 and 48.";
    const std::string range32 = "Please enter a value between 1 and 32.";
    const std::string width = "Width is not divisible to the round number.";
    const std::string height = "Height is not divisible to the round number.";
    const Case cases[] = {
        {"3", "2", "Result: 6 numbers of 16x16 images", {}},
        {"1", "1", "Result: 1 numbers of 48x32 images", {}},
        {"48", "32", "Result: 1536 numbers of 1x1 images", {}},
        {"5", "2", "", {{SplitField::Width, width}}},
        {"0", "2", "", {{SplitField::Width, range48}}},
        {"", "2", "", {{SplitField::Width, range48}}},
        {"49", "2", "", {{SplitField::Width, range48}}},
        {"3", "3", "", {{SplitField::Height, height}}},
        {"3", "33", "", {{SplitField::Height, range32}}},
        {"5", "x", "", {{SplitField::Width, width}, {SplitField::Height, range32}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.across << " x " << c.down);
        EXPECT_EQ(SplitResultText(setup, c.across, c.down), c.result);
        SplitOptions options;
        const auto rejections = AcceptSplitDialog(setup, {c.across, c.down, true}, &options);
        ASSERT_EQ(rejections.size(), c.rejections.size());
        for (std::size_t i = 0; i < rejections.size(); ++i) {
            EXPECT_EQ(rejections[i].field, c.rejections[i].first);
            EXPECT_EQ(rejections[i].message.text, c.rejections[i].second);
            EXPECT_EQ(rejections[i].message.icon, MessageIcon::Exclamation);
        }
        if (rejections.empty()) {
            EXPECT_EQ(options.tilesAcross, std::stoi(c.across));
            EXPECT_EQ(options.tilesDown, std::stoi(c.down));
            EXPECT_TRUE(options.deleteSource);
        }
    }
    EXPECT_EQ(ReadSplitCount("16", 48), 16);
    EXPECT_EQ(ReadSplitCount("5", 48), std::nullopt);
}

TEST_F(MergeSplit, SplitAppendsTheTilesInReadingOrder) {
    // Each byte of the 8-bit picture is its tile number: (x / 16) + 3 * (y / 16).
    const int index = AddSelected(48, 32, 8, 0, true);
    tagILVITEM* source = list.Item(index);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            source->bits[DibStride(source->header) * static_cast<std::size_t>(31 - y) +
                         static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(x / 16 + 3 * (y / 16));
    ASSERT_TRUE(ApplySplit(app, index, {3, 2, false}));
    ASSERT_EQ(list.Count(), 7);
    for (int t = 0; t < 6; ++t) {
        SCOPED_TRACE(t);
        ExpectNewItem(1 + t, 16, 16);
        const tagILVITEM* tile = list.Item(1 + t);
        EXPECT_EQ(std::memcmp(DibColorTable(tile->header), DibColorTable(source->header), 1024), 0);
        int value = -1;
        DibGetPixel(tile->header, tile->bits, 0, 0, &value);
        EXPECT_EQ(value, t);
        DibGetPixel(tile->header, tile->bits, 15, 15, &value);
        EXPECT_EQ(value, t);
    }
    EXPECT_TRUE(app.IsModified());

    // With delete: the source goes once every tile is made.
    ASSERT_TRUE(ApplySplit(app, 0, {2, 1, true}));
    ASSERT_EQ(list.Count(), 8);
    EXPECT_EQ(list.Item(6)->header->biWidth, 24);
}

TEST_F(MergeSplit, SplitKeepsASourceWithDuplicatesAndCutsADuplicatesReference) {
    const int index = AddSelected(8, 4);
    const int duplicate = list.AddDuplicate({}, 0, 0, index);
    EXPECT_FALSE(DescribeSplitItem(list, index).deleteAllowed);
    ASSERT_TRUE(ApplySplit(app, index, {2, 1, true}));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Item(index)->duplicateCount, 1);

    // A duplicate is cut from its reference's picture and may itself be removed.
    const SplitDialogSetup setup = DescribeSplitItem(list, duplicate);
    EXPECT_EQ(setup.width, 8);
    EXPECT_TRUE(setup.deleteAllowed);
    ASSERT_TRUE(ApplySplit(app, duplicate, {1, 2, true}));
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Item(0)->duplicateCount, 0);
    EXPECT_EQ(list.Item(4)->header->biHeight, 2);
}

TEST_F(MergeSplit, SplitWithCountsThatDoNotDivideIsRefused) {
    const int index = AddSelected(48, 32);
    EXPECT_FALSE(ApplySplit(app, index, {5, 1, true}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kInvalidParameters);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_FALSE(app.IsModified());
}
