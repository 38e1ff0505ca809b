#include "app/clipboard_images.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/dib.h"
#include "core/image_limits.h"
#include "support/test_items.h"

namespace {

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    ASSERT_LE(at + 4, out.size());
    const std::uint8_t le[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16),
                                static_cast<std::uint8_t>(value >> 24)};
    std::memcpy(out.data() + at, le, sizeof le);
}

std::vector<std::uint8_t> Bytes(const ClipboardBlock& block) {
    return BlockBytes(block.data.get(), block.size);
}

// The packed DIB of a hand-made picture.
std::vector<std::uint8_t> PackedDib(int width, int height, int bitCount, std::uint8_t fill) {
    const NewItem item = MakePictureItem(width, height, bitCount, fill);
    const DibHeader* h = item.header.get();
    std::vector<std::uint8_t> out = BlockBytes(h, h->biSize + DibColorTableSize(h));
    const std::vector<std::uint8_t> bits = BlockBytes(item.bits.get(), DibImageSize(h));
    out.insert(out.end(), bits.begin(), bits.end());
    return out;
}

}  // namespace

TEST(ClipboardImages, ABmpFileIsTheFileHeaderAndThePackedDibAndReadsBackUnchanged) {
    const std::vector<std::uint8_t> dib = PackedDib(3, 2, 8, 0x21);  // 40 + 1024 + 8
    ClipboardBlock file;
    ASSERT_TRUE(BmpFileFromPackedDib(dib, &file));
    const std::vector<std::uint8_t> bytes = Bytes(file);
    ASSERT_EQ(bytes.size(), 14 + dib.size());
    const std::vector<std::uint8_t> head = {'B', 'M', 0x3E, 0x04, 0,    0, 0,
                                            0,   0,   0,    0x36, 0x04, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 14), head);
    EXPECT_TRUE(std::equal(dib.begin(), dib.end(), bytes.begin() + 14));

    ClipboardBlock back;
    ASSERT_TRUE(PackedDibFromBmpFile(bytes, &back));
    EXPECT_EQ(Bytes(back), dib);
    // No header to size the file from: nothing is made.
    EXPECT_FALSE(BmpFileFromPackedDib(std::span(dib).first(30), &file));
}

TEST(ClipboardImages, ABmpFileFromAnotherProgramIsCheckedBeforeItIsTrusted) {
    // 24-bit 2 x 2 picture, rows of 8 bytes: header block 40 bytes.
    const std::vector<std::uint8_t> dib = PackedDib(2, 2, 24, 0x5A);
    ClipboardBlock made;
    ASSERT_TRUE(BmpFileFromPackedDib(dib, &made));
    const std::vector<std::uint8_t> good = Bytes(made);
    auto with32 = [&](std::size_t at, std::uint32_t value) {
        std::vector<std::uint8_t> out = good;
        Put32(out, at, value);
        return out;
    };
    // Pixel data four bytes further on, the gap holding junk.
    std::vector<std::uint8_t> gap = with32(10, 54 + 4);
    gap.insert(gap.begin() + 54, {0xEE, 0xEE, 0xEE, 0xEE});
    std::vector<std::uint8_t> noOffset = with32(10, 0);
    std::vector<std::uint8_t> wrongSignature = good;
    wrongSignature[0] = 'X';

    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        bool read;
    };
    const Case cases[] = {
        {"as made", good, true},
        {"pixels after a gap", gap, true},
        {"pixel offset 0", noOffset, true},
        {"signature", wrongSignature, false},
        {"12-byte header", with32(14, 12), false},
        {"header size past the file", with32(14, 0x7FFFFFFF), false},
        {"pixel offset inside the header", with32(10, 40), false},
        {"pixel offset past the file", with32(10, 0xFFFFFFF0), false},
        {"rows past the file", with32(14 + 8, 3), false},
        {"width 0", with32(14 + 4, 0), false},
        {"bit count 2", with32(14 + 12, 1 | 2 << 16), false},
        {"colour table past the file", with32(14 + 32, 0x1000), false},
        {"larger than any image", with32(14 + 4, 0x7FFFFFFF), false},
        {"shorter than the headers", std::vector<std::uint8_t>(good.begin(), good.begin() + 50),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClipboardBlock out;
        ASSERT_EQ(PackedDibFromBmpFile(c.file, &out), c.read);
        if (c.read) {
            EXPECT_EQ(Bytes(out), dib);
        }
    }
}

TEST(ClipboardImages, CompressedBmpDataIsKeptBoundedForThePasteToExpand) {
    // An 8-bit run-length 2 x 1 picture: two pixels of index 5, end of bitmap.
    std::vector<std::uint8_t> file(14 + 40 + 1024, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 10, 14 + 40 + 1024);
    Put32(file, 14, 40);
    Put32(file, 18, 2);
    Put32(file, 22, 1);
    Put32(file, 26, 1 | 8 << 16);
    Put32(file, 30, kBiRle8);
    file.insert(file.end(), {2, 5, 0, 1});
    ClipboardBlock out;
    ASSERT_TRUE(PackedDibFromBmpFile(file, &out));
    EXPECT_EQ(out.size, 40u + 1024 + 4);
    EXPECT_EQ(Bytes(out), std::vector<std::uint8_t>(file.begin() + 14, file.end()));
}

TEST(ClipboardImages, APngStreamCarriesThePictureBothWays) {
    for (int bitCount : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bitCount);
        const std::vector<std::uint8_t> dib = PackedDib(5, 3, bitCount, 0x93);
        ClipboardBlock png;
        ASSERT_TRUE(PngFromPackedDib(dib, &png));
        ClipboardBlock back;
        ASSERT_TRUE(PackedDibFromPng({png.data.get(), png.size}, &back));
        const auto* a = reinterpret_cast<const DibHeader*>(dib.data());
        // malloc'd, so aligned for the header.
        const auto* b = reinterpret_cast<const DibHeader*>(back.data.get());
        EXPECT_EQ(b->biWidth, 5);
        EXPECT_EQ(b->biHeight, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(DibGetPixel(b, DibPackedBits(b), x, y) & 0xFFFFFF,
                          DibGetPixel(a, DibPackedBits(a), x, y) & 0xFFFFFF);
    }
    // A cut stream and a compressed DIB are refused.
    const std::vector<std::uint8_t> dib = PackedDib(2, 2, 24, 1);
    ClipboardBlock png;
    ASSERT_TRUE(PngFromPackedDib(dib, &png));
    ClipboardBlock out;
    EXPECT_FALSE(PackedDibFromPng({png.data.get(), png.size - 13}, &out));
    std::vector<std::uint8_t> rle = dib;
    Put32(rle, 16, kBiRle8);
    EXPECT_FALSE(PngFromPackedDib(rle, &out));
}
