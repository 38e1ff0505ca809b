// The operations over every bitmap of the shared corpus that opens: they must
// succeed, keep sizes and row order, and undo each other where they should.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/bmp_file.h"
#include "core/dib.h"
#include "ops/convert_bit_depth.h"
#include "ops/resize_image.h"
#include "ops/rotate_flip.h"
#include "platform/raster.h"
#include "support/test_files.h"

namespace {

// Every stored pixel value equal (padding ignored).
bool SamePixels(const DibHeader* a, const std::uint8_t* aBits, const DibHeader* b,
                const std::uint8_t* bBits) {
    if (a->biWidth != b->biWidth || a->biHeight != b->biHeight || a->biBitCount != b->biBitCount)
        return false;
    auto sa = RasterSurface::Over(a, const_cast<std::uint8_t*>(aBits), DibImageSize(a));
    auto sb = RasterSurface::Over(b, const_cast<std::uint8_t*>(bBits), DibImageSize(b));
    if (!sa || !sb) return false;
    for (int y = 0; y < sa->Height(); ++y)
        for (int x = 0; x < sa->Width(); ++x)
            if (sa->RawPixel(x, y) != sb->RawPixel(x, y)) return false;
    return true;
}

}  // namespace

TEST(CorpusOps, EveryOpenedBitmapConvertsRotatesAndResizes) {
    REQUIRE_CORPUS(dir, "bmp");
    int exercised = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".bmp") continue;
        const std::string path = entry.path().string();
        HeaderBlock header;
        Block bits;
        std::size_t bitsSize = 0;
        if (ReadBmpFile(path.c_str(), &header, &bits, &bitsSize) != ImageOk) continue;
        if (ExpandCompressedDib(&header, &bits, bitsSize) != ImageOk) continue;
        const DibHeader* h = header.get();
        if (std::uint64_t{DibAbsHeight(h)} * static_cast<std::uint32_t>(h->biWidth) > 1u << 20)
            continue;  // keeps the run short
        SCOPED_TRACE(path);
        ++exercised;

        for (int depth : {1, 4, 8, 16, 24, 32}) {
            if (depth == h->biBitCount) continue;
            HeaderBlock out;
            Block outBits;
            ASSERT_EQ(ConvertBitDepth(h, bits.get(), depth, &out, &outBits, 0), ImageOk) << depth;
            EXPECT_EQ(out->biWidth, h->biWidth);
            EXPECT_EQ(out->biHeight, h->biHeight);
        }
        // Four clockwise turns, two flips and a same-size stretch give the picture back.
        for (int op : {kRotateClockwise, kFlipVertical, kFlipHorizontal}) {
            HeaderBlock current;
            Block currentBits;
            ASSERT_EQ(RotateFlipImage(h, bits.get(), &current, &currentBits, op), ImageOk);
            for (int turn = 1; turn < (op == kRotateClockwise ? 4 : 2); ++turn) {
                HeaderBlock next;
                Block nextBits;
                ASSERT_EQ(RotateFlipImage(current.get(), currentBits.get(), &next, &nextBits, op),
                          ImageOk);
                current = std::move(next);
                currentBits = std::move(nextBits);
            }
            EXPECT_TRUE(SamePixels(h, bits.get(), current.get(), currentBits.get())) << op;
        }
        for (std::uint32_t placement : {kPlaceStretch, kAnchorCenter | kAnchorMiddle}) {
            HeaderBlock same;
            Block sameBits;
            ASSERT_EQ(ResizeImage(h, bits.get(), h->biWidth, static_cast<int>(DibAbsHeight(h)), 0,
                                  0, &same, &sameBits, placement, 0),
                      ImageOk);
            EXPECT_TRUE(SamePixels(h, bits.get(), same.get(), sameBits.get())) << placement;
        }
    }
    RecordProperty("exercised", exercised);
    EXPECT_GT(exercised, 0);
}
