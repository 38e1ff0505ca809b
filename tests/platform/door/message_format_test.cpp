#include "platform/door/message_format.h"

#include <gtest/gtest.h>

#include "platform/door/string_table.h"

TEST(FormatMessageText, InsertsAndEscapes) {
    EXPECT_EQ(FormatMessageText("%1\nIconmill", {"/tmp/a.bmp"}), "/tmp/a.bmp\nIconmill");
    EXPECT_EQ(FormatMessageText("between %1!d! and %2!d!.", {1, 99}), "between 1 and 99.");
    EXPECT_EQ(FormatMessageText("%2 %1!s! %1", {"a", "b"}), "b a a");
    EXPECT_EQ(FormatMessageText("%1!u! %1!x! %1!X!", {255}), "255 ff FF");
    EXPECT_EQ(FormatMessageText("%1!d!", {-7}), "-7");
    EXPECT_EQ(FormatMessageText("100%% done%n", {}), "100% done\n");
    EXPECT_EQ(FormatMessageText("cut%0 here", {}), "cut");
    EXPECT_EQ(FormatMessageText("%10", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}), "j");
}

TEST(FormatMessageText, LeavesWhatItCannotFillAsWritten) {
    EXPECT_EQ(FormatMessageText("%1 and %2", {"x"}), "x and %2");
    EXPECT_EQ(FormatMessageText("%1!q!", {"x"}), "%1!q!");
    EXPECT_EQ(FormatMessageText("50% off %", {}), "50% off %");
    EXPECT_EQ(FormatMessageText("%1!d", {5}), "5!d");
}

TEST(StringTable, HoldsTheNumberedTexts) {
    EXPECT_STREQ(LoadStringText(131), "Not enough memory available to perform the operation.");
    EXPECT_STREQ(LoadStringText(132), "Do you want to continue reading the remaining files?");
    EXPECT_STREQ(LoadStringText(144), "Please enter a value between %1!d! and %2!d!.");
    EXPECT_STREQ(LoadStringText(57344), "Iconmill");
    EXPECT_STREQ(LoadStringText(65533), "PRESS ESC TO CANCEL");
    EXPECT_STREQ(LoadStringText(1), "");
    EXPECT_EQ(FormatMessageText(LoadStringText(kStrAniImageCount), {4}),
              "Image count is not correct to build each icon directory with 4 items.");
}
