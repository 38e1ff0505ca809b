#include "ops/alpha_compositing.h"

#include <gtest/gtest.h>

#include "ops/mask_edit.h"
#include "ops/ops_test_image.h"

namespace {

// A 32-bit source of two pixels and its working copy.
struct AlphaFixture {
    OpsImage source{2, 1, 32};
    Block work;

    AlphaFixture() {
        source.SetRaw(0, 0, 0x80326496);  // alpha 128, R 50, G 100, B 150
        source.SetRaw(1, 0, 0xFF1E140A);
        work = AllocateBlock(source.Size());
        std::memcpy(work.get(), source.bits.get(), source.Size());
    }
    ImageResult Apply(int option, int value = 255, const std::uint8_t* mask = nullptr) {
        return ApplyAlphaOption(source.header.get(), source.bits.get(), mask, work.get(), option,
                                value);
    }
    std::uint32_t Work(int x) const {
        std::uint32_t v;
        std::memcpy(&v, work.get() + 4 * x, 4);
        return v;
    }
};

}  // namespace

TEST(AlphaCompositing, PremultipliedStartsFromTheSourceAndFlatKeepsItsColours) {
    AlphaFixture f;
    ASSERT_EQ(f.Apply(kAlphaFlatValue, 0), ImageOk);
    EXPECT_EQ(f.Work(0), 0x00326496u);
    EXPECT_EQ(f.Work(1), 0x001E140Au);

    // The source's alpha 128, not the flat 0: 50 * 128 / 255 = 25, 100 -> 50, 150 -> 75.
    ASSERT_EQ(f.Apply(kAlphaPremultiplied), ImageOk);
    EXPECT_EQ(f.Work(0), 0x8019324Bu);
    EXPECT_EQ(f.Work(1), 0xFF1E140Au);  // alpha 255 is left alone

    ASSERT_EQ(f.Apply(kAlphaFlatValue, 200), ImageOk);
    EXPECT_EQ(f.Work(0), 0xC819324Bu);
    EXPECT_EQ(f.Work(1), 0xC81E140Au);

    ASSERT_EQ(f.Apply(kAlphaPencil, 3), ImageOk);  // arming changes nothing
    EXPECT_EQ(f.Work(0), 0xC819324Bu);

    ASSERT_EQ(f.Apply(kAlphaOriginal), ImageOk);
    EXPECT_EQ(0, std::memcmp(f.work.get(), f.source.bits.get(), f.source.Size()));
}

TEST(AlphaCompositing, MaskAndPencilFollowPictureRowsInBothOrders) {
    for (const int height : {2, -2}) {
        SCOPED_TRACE(height);
        OpsImage picture(3, height, 32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) picture.SetRaw(x, y, 0x40010203);
        // Mask bits in picture coordinates: row 0 "101", row 1 "010".
        const MaskDibHeader maskHeader(*picture.header);
        Block mask = NewMask(picture.header.get());
        auto maskSurface = *RasterSurface::Over(&maskHeader.header, mask.get(),
                                                MaskBlockSize(picture.header.get()));
        maskSurface.SetRawPixel(0, 0, 1);
        maskSurface.SetRawPixel(2, 0, 1);
        maskSurface.SetRawPixel(1, 1, 1);

        ASSERT_EQ(ApplyAlphaOption(picture.header.get(), nullptr, mask.get(), picture.bits.get(),
                                   kAlphaBaseOnMask, 255),
                  ImageOk);
        const std::uint32_t expected[2][3] = {{0x00010203, 0xFF010203, 0x00010203},
                                              {0xFF010203, 0x00010203, 0xFF010203}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(picture.Raw(x, y), expected[y][x]) << x << ',' << y;

        EXPECT_TRUE(AlphaPencilPoint(picture.header.get(), picture.bits.get(), 2, 0, 0x77));
        EXPECT_EQ(picture.Raw(2, 0), 0x77010203u);
        EXPECT_EQ(picture.Raw(2, 1), 0xFF010203u);
        EXPECT_FALSE(AlphaPencilPoint(picture.header.get(), picture.bits.get(), 3, 0, 0));
        EXPECT_FALSE(AlphaPencilPoint(picture.header.get(), picture.bits.get(), 0, -1, 0));
    }
}

TEST(AlphaCompositing, RefusesWhatItCannotEdit) {
    AlphaFixture f;
    EXPECT_EQ(f.Apply(kAlphaBaseOnMask), ImageInvalidArg);  // no mask
    EXPECT_EQ(f.Apply(kAlphaFlatValue, 256), ImageInvalidArg);
    EXPECT_EQ(f.Apply(kAlphaOptionCount), ImageInvalidArg);
    EXPECT_EQ(0, std::memcmp(f.work.get(), f.source.bits.get(), f.source.Size()));
    OpsImage rgb(2, 1, 24);
    EXPECT_EQ(ApplyAlphaOption(rgb.header.get(), rgb.bits.get(), nullptr, rgb.bits.get(),
                               kAlphaFlatValue, 0),
              ImageInvalidArg);
    EXPECT_FALSE(AlphaPencilPoint(rgb.header.get(), rgb.bits.get(), 0, 0, 0));
}
