#include "app/new_bitmap.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "core/dib.h"
#include "support/scripted_interaction.h"

namespace {

const char* const kRange = "Please enter a value between 1 and 2147483647.";

}  // namespace

TEST(NewBitmap, OkChecksTheWidthThenTheHeight) {
    struct Case {
        const char* width;
        const char* height;
        int index;
        BitmapAttributesField field;
        BitmapAttributes stored;
    };
    const Case cases[] = {
        {"32", "32", 4, BitmapAttributesField::None, {32, 32, 24}},
        {"2147483647", "1", 0, BitmapAttributesField::None, {2147483647, 1, 1}},
        {"  7", "9", 5, BitmapAttributesField::None, {7, 9, 32}},
        {"64", "48", -1, BitmapAttributesField::None, {64, 48, 16}},  // no selection keeps
        {"0", "32", 4, BitmapAttributesField::Width, {5, 6, 16}},
        {"", "32", 4, BitmapAttributesField::Width, {5, 6, 16}},
        {"2147483648", "32", 4, BitmapAttributesField::Width, {5, 6, 16}},
        {"4294967296", "32", 4, BitmapAttributesField::Width, {5, 6, 16}},
        {"12a", "32", 4, BitmapAttributesField::Width, {5, 6, 16}},
        {"-3", "32", 4, BitmapAttributesField::Width, {5, 6, 16}},
        // The width is stored before the height is refused; the depth is not.
        {"40", "0", 2, BitmapAttributesField::Height, {40, 6, 16}},
        {"40", "", 2, BitmapAttributesField::Height, {40, 6, 16}},
        {"40", "2147483648", 2, BitmapAttributesField::Height, {40, 6, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.width << "\" \"" << c.height << '"');
        ScriptedInteraction ui;
        BitmapAttributes values{5, 6, 16};
        EXPECT_EQ(AcceptBitmapAttributes(ui, c.width, c.height, c.index, &values), c.field);
        EXPECT_EQ(values.width, c.stored.width);
        EXPECT_EQ(values.height, c.stored.height);
        EXPECT_EQ(values.bitCount, c.stored.bitCount);
        if (c.field == BitmapAttributesField::None) {
            EXPECT_TRUE(ui.messages.empty());
        } else {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, kRange);
            EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
        }
    }
}

TEST(NewBitmap, ListIndexOfABitCount) {
    const std::pair<std::uint16_t, int> cases[] = {{1, 0},  {4, 1},  {8, 2}, {16, 3},
                                                   {24, 4}, {32, 5}, {2, 0}, {0, 0}};
    for (const auto& [bitCount, index] : cases) EXPECT_EQ(BitDepthListIndex(bitCount), index);
    EXPECT_STREQ(kBitDepthListItems[BitDepthListIndex(24)], "24-bit");
}

TEST(NewBitmap, TheDefaultsAppendAWhite32By32Picture) {
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    ASSERT_TRUE(AppendEmptyBitmap(app, BitmapAttributes{}));
    ASSERT_EQ(app.Items().Count(), 1);
    const tagILVITEM& item = *app.Items().Item(0);
    EXPECT_EQ(item.header->biWidth, 32);
    EXPECT_EQ(item.header->biHeight, 32);
    EXPECT_EQ(item.header->biBitCount, 24);
    EXPECT_EQ(DibGetPixel(item.header, item.bits, 31, 31), 0xFFFFFFu);
    EXPECT_EQ(item.mask, nullptr);
    EXPECT_EQ(item.x, 0);
    EXPECT_EQ(item.frameInfo.delay, 600u);
    EXPECT_EQ(app.Items().BoundingWidth(), 32);
    EXPECT_TRUE(app.IsModified());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(NewBitmap, ASizeBeyondMemoryAddsNothing) {
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    EXPECT_FALSE(AppendEmptyBitmap(app, BitmapAttributes{2147483647, 2147483647, 32}));
    EXPECT_EQ(app.Items().Count(), 0);
    EXPECT_FALSE(app.IsModified());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Not enough memory available to perform the operation.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
}
