#include "ops/mask_edit.h"

#include <gtest/gtest.h>

#include "ops/ops_test_image.h"

namespace {

std::vector<std::uint8_t> Bytes(const Block& block, std::size_t size) {
    return {block.get(), block.get() + size};
}

}  // namespace

TEST(ColorSample, PickAddAndSubtractCompareColoursNotIndices) {
    // Indices 0 and 3 hold the same red. Picture row 0: red green blue red; row 1
    // all blue. Bottom-up, so picture row 0 is the mask's second stored row.
    OpsImage picture(4, 2, 8, {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(255, 0, 0)});
    const std::uint32_t row0[] = {0, 1, 2, 3};
    for (int x = 0; x < 4; ++x) {
        picture.SetRaw(x, 0, row0[x]);
        picture.SetRaw(x, 1, 2);
    }
    const std::size_t size = MaskBlockSize(picture.header.get());
    ASSERT_EQ(size, 8u);
    Block mask = AllocateBlock(size);
    std::memset(mask.get(), 0xFF, size);  // padding bits stay whatever the tools do
    const auto sample = [&](ColorRef color, int mode) {
        ASSERT_EQ(
            ApplyColorSample(picture.header.get(), picture.bits.get(), mask.get(), color, mode),
            ImageOk);
    };

    sample(RgbColor(255, 0, 0), kSampleReplace);
    EXPECT_EQ(Bytes(mask, size),
              (std::vector<std::uint8_t>{0x0F, 0xFF, 0xFF, 0xFF, 0x9F, 0xFF, 0xFF, 0xFF}));
    sample(0xFF00FF00, kSampleAdd);  // green; the top byte is ignored
    EXPECT_EQ(mask.get()[4], 0xDF);
    EXPECT_EQ(mask.get()[0], 0x0F);
    sample(RgbColor(255, 0, 0), kSampleSubtract);
    EXPECT_EQ(mask.get()[4], 0x4F);
    sample(RgbColor(0, 0, 255), kSampleAdd);
    EXPECT_EQ(Bytes(mask, size),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x6F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ApplyColorSample(picture.header.get(), picture.bits.get(), mask.get(), 0, 3),
              ImageInvalidArg);
}

TEST(ColorSample, ThirtyTwoBitAlphaIsIgnoredAndTopDownRowsFollowThePicture) {
    OpsImage picture(2, -2, 32);
    picture.SetRaw(0, 0, 0x00102030);
    picture.SetRaw(1, 0, 0xFF102030);
    picture.SetRaw(0, 1, 0x80102031);
    picture.SetRaw(1, 1, 0x80102030);
    const ColorRef color = SampleColorAt(picture.header.get(), picture.bits.get(), 1, 0);
    EXPECT_EQ(color, RgbColor(0x10, 0x20, 0x30));
    EXPECT_EQ(SampleColorAt(picture.header.get(), picture.bits.get(), 2, 0), kInvalidColor);
    Block mask = NewMask(picture.header.get());
    ASSERT_EQ(ApplyColorSample(picture.header.get(), picture.bits.get(), mask.get(), color,
                               kSampleReplace),
              ImageOk);
    EXPECT_EQ(Bytes(mask, 8), (std::vector<std::uint8_t>{0xC0, 0, 0, 0, 0x40, 0, 0, 0}));
}

TEST(MaskEdit, InvertOfANewMaskMakesEveryBitTransparentPaddingIncluded) {
    OpsImage picture(3, 2, 24);
    Block mask = NewMask(picture.header.get());
    ASSERT_TRUE(mask);
    EXPECT_EQ(Bytes(mask, 8), std::vector<std::uint8_t>(8, 0));
    ASSERT_EQ(InvertMask(picture.header.get(), mask.get()), ImageOk);
    EXPECT_EQ(Bytes(mask, 8), std::vector<std::uint8_t>(8, 0xFF));

    picture.header->biHeight = 0;
    EXPECT_EQ(MaskBlockSize(picture.header.get()), 0u);
    EXPECT_FALSE(NewMask(picture.header.get()));
    EXPECT_EQ(InvertMask(picture.header.get(), mask.get()), ImageInvalidArg);
}

TEST(MaskEdit, PenLinesIncludeBothEndsInPictureRowsAndClip) {
    OpsImage picture(4, 2, 8);  // bottom-up: picture row 0 is the second stored row
    Block mask = NewMask(picture.header.get());
    ASSERT_EQ(MaskPenLine(picture.header.get(), mask.get(), 0, 0, 3, 0, true), ImageOk);
    ASSERT_EQ(MaskPenLine(picture.header.get(), mask.get(), 2, 1, 2, 1, true), ImageOk);
    EXPECT_EQ(Bytes(mask, 8), (std::vector<std::uint8_t>{0x20, 0, 0, 0, 0xF0, 0, 0, 0}));
    ASSERT_EQ(MaskPenLine(picture.header.get(), mask.get(), 1, 0, 9, 0, false), ImageOk);
    EXPECT_EQ(Bytes(mask, 8), (std::vector<std::uint8_t>{0x20, 0, 0, 0, 0x80, 0, 0, 0}));
    EXPECT_EQ(MaskPenLine(picture.header.get(), nullptr, 0, 0, 0, 0, true), ImageInvalidArg);
}
