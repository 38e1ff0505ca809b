#include "app/text_format.h"

#include <gtest/gtest.h>

#include "app/image_file_format.h"

TEST(FormatByteSize, UnitsGroupingAndTenths) {
    const struct {
        std::uint64_t count;
        const char* text;
    } cases[] = {
        {0, "0 byte"},
        {1, "1 byte"},
        {2, "2 bytes"},
        {1000, "1,000 bytes"},
        {1023, "1,023 bytes"},
        {1024, "1 KB"},
        {1030, "1.0 KB"},
        {1536, "1.5 KB"},
        {10000, "9.7 KB"},
        {1048575, "1,023.9 KB"},
        {1048576, "1 MB"},
        {3u << 30, "3 GB"},
        {std::uint64_t{1} << 40, "1 TB"},
        {(std::uint64_t{1} << 40) * 1500, "1,500 TB"},
        {~std::uint64_t{0}, "16,777,215.9 TB"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatByteSize(c.count), c.text) << c.count;
}

TEST(FormatHex64, EightDigitsAtLeastAndMoreForTheHighHalf) {
    EXPECT_EQ(FormatHex64(255), "0x000000FF");
    EXPECT_EQ(FormatHex64(0), "0x00000000");
    EXPECT_EQ(FormatHex64(std::uint64_t{1} << 32), "0x100000000");
    EXPECT_EQ(FormatHex64(0xABCDEF0123456789ull), "0xABCDEF0123456789");
    EXPECT_EQ(FormatHex64(0x0000001000000000ull), "0x1000000000");
}

TEST(PathParts, TitleAndFolder) {
    EXPECT_EQ(PathTitle("/home/u/pics/cursor.ani"), "cursor");
    EXPECT_EQ(PathTitle("/home/u/v1.2/name"), "name");
    EXPECT_EQ(PathTitle("archive.tar.png"), "archive.tar");
    EXPECT_EQ(PathTitle("plain"), "plain");
    EXPECT_EQ(PathFolder("/home/u/pics/cursor.ani"), "/home/u/pics/");
    EXPECT_EQ(PathFolder("cursor.ani"), "cursor.ani");
}

TEST(ImageFileFormatOf, ExtensionDecidesWithoutRegardToCase) {
    EXPECT_EQ(ImageFileFormatOf("picture.BMP"), FormatBmp);
    EXPECT_EQ(ImageFileFormatOf("x.dib"), FormatDib);
    EXPECT_EQ(ImageFileFormatOf("archive.tar.png"), FormatPng);
    EXPECT_EQ(ImageFileFormatOf("a/b.Psd"), FormatPsd);
    EXPECT_EQ(ImageFileFormatOf("i.ico"), FormatIco);
    EXPECT_EQ(ImageFileFormatOf("c.CUR"), FormatCur);
    EXPECT_EQ(ImageFileFormatOf("w.ani"), FormatAni);
    EXPECT_EQ(ImageFileFormatOf("README"), FormatUnknown);
    EXPECT_EQ(ImageFileFormatOf("dir.png/file"), FormatUnknown);
    EXPECT_EQ(ImageFileFormatOf("x.bmpx"), FormatUnknown);
    EXPECT_EQ(ImageFileFormatOf(nullptr), FormatUnknown);
}
