#include "ops/rotate_flip.h"

#include <gtest/gtest.h>

#include "ops/ops_test_image.h"

TEST(RotateFlipImage, ThreeByTwoQuarterTurns) {
    // 24-bit, bottom-up; pixel value 0x10 * (y + 1) + x.
    OpsImage source(3, 2, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) source.SetRaw(x, y, 0x10u * (y + 1) + x);

    OpsImage cw;
    ASSERT_EQ(RotateFlipImage(source.header.get(), source.bits.get(), &cw.header, &cw.bits,
                              kRotateClockwise),
              ImageOk);
    EXPECT_EQ(cw.header->biWidth, 2);
    EXPECT_EQ(cw.header->biHeight, 3);
    // Clockwise: the source's left column becomes the top row, read bottom-up.
    const std::uint32_t cwExpected[3][2] = {{0x20, 0x10}, {0x21, 0x11}, {0x22, 0x12}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(cw.Raw(x, y), cwExpected[y][x]) << x << "," << y;

    OpsImage ccw;
    ASSERT_EQ(RotateFlipImage(source.header.get(), source.bits.get(), &ccw.header, &ccw.bits,
                              kRotateCounterClockwise),
              ImageOk);
    const std::uint32_t ccwExpected[3][2] = {{0x12, 0x22}, {0x11, 0x21}, {0x10, 0x20}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(ccw.Raw(x, y), ccwExpected[y][x]) << x << "," << y;
}

TEST(RotateFlipImage, EveryDepthRowOrderAndOperation) {
    // Odd sizes so that 1- and 4-bit rows end in a partly used byte.
    for (unsigned depth : {1u, 4u, 8u, 16u, 24u, 32u}) {
        for (int sign : {1, -1}) {
            OpsImage source(5, 3 * sign, depth);
            const std::uint32_t limit = depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x)
                    source.SetRaw(
                        x, y, (0x9E3779B9u * static_cast<std::uint32_t>(y * 5 + x + 1)) & limit);
            for (int op = kRotate180; op <= kFlipHorizontal; ++op) {
                SCOPED_TRACE(testing::Message()
                             << depth << " bits, sign " << sign << ", op " << op);
                OpsImage out;
                ASSERT_EQ(RotateFlipImage(source.header.get(), source.bits.get(), &out.header,
                                          &out.bits, op),
                          ImageOk);
                const bool quarter = op == kRotateClockwise || op == kRotateCounterClockwise;
                EXPECT_EQ(out.Width(), quarter ? 3 : 5);
                EXPECT_EQ(out.header->biHeight, (quarter ? 5 : 3) * sign);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < 5; ++x) {
                        const PixelPosition p = RotateFlipPosition(op, 5, 3, x, y);
                        EXPECT_EQ(out.Raw(p.x, p.y), source.Raw(x, y));
                    }
                // The padding at the end of every row is zero.
                const std::size_t stride = DibStride(out.header.get());
                const std::size_t used = (static_cast<std::size_t>(out.Width()) * depth + 7) / 8;
                for (int row = 0; row < out.Height(); ++row)
                    for (std::size_t i = used; i < stride; ++i)
                        EXPECT_EQ(out.bits.get()[row * stride + i], 0);
                if (depth == 1 && !quarter) {
                    EXPECT_EQ(out.bits.get()[0] & 0x07, 0);  // bits beyond column 4
                }
            }
        }
    }
    // The hand-checked corners of the position table on a 3 x 2 picture.
    EXPECT_EQ(RotateFlipPosition(kRotateClockwise, 3, 2, 0, 0).x, 1);
    EXPECT_EQ(RotateFlipPosition(kRotateClockwise, 3, 2, 0, 0).y, 0);
    EXPECT_EQ(RotateFlipPosition(kRotateCounterClockwise, 3, 2, 0, 0).x, 0);
    EXPECT_EQ(RotateFlipPosition(kRotateCounterClockwise, 3, 2, 0, 0).y, 2);
    EXPECT_EQ(RotateFlipPosition(kRotate180, 3, 2, 0, 0).x, 2);
    EXPECT_EQ(RotateFlipPosition(kFlipVertical, 3, 2, 2, 0).y, 1);
    EXPECT_EQ(RotateFlipPosition(kFlipHorizontal, 3, 2, 2, 1).x, 0);
}

TEST(RotateFlipImage, HeaderIsACopyWithTheNewSize) {
    // A 108-byte header with a 3-entry table: the extra bytes and the table come along.
    HeaderBlock source = AllocateHeaderBlock(108 + 12);
    source->biSize = 108;
    source->biWidth = 2;
    source->biHeight = -1;
    source->biPlanes = 1;
    source->biBitCount = 8;
    source->biClrUsed = 3;
    source->biSizeImage = 4;
    auto* raw = reinterpret_cast<std::uint8_t*>(source.get());
    for (int i = 40; i < 120; ++i) raw[i] = static_cast<std::uint8_t>(i);
    Block bits = AllocateZeroedBlock(4);
    HeaderBlock header;
    Block out;
    ASSERT_EQ(RotateFlipImage(source.get(), bits.get(), &header, &out, kRotateClockwise), ImageOk);
    EXPECT_EQ(header->biWidth, 1);
    EXPECT_EQ(header->biHeight, -2);
    EXPECT_EQ(header->biSizeImage, 0u);
    EXPECT_EQ(std::memcmp(reinterpret_cast<std::uint8_t*>(header.get()) + 40, raw + 40, 80), 0);

    // No header out-slot: only the bits come out.
    Block maskOut;
    EXPECT_EQ(RotateFlipImage(source.get(), bits.get(), nullptr, &maskOut, kFlipVertical), ImageOk);
    EXPECT_TRUE(maskOut);
}

TEST(RotateFlipImage, Refusals) {
    OpsImage source(2, 2, 16);
    HeaderBlock header;
    Block bits;
    EXPECT_EQ(RotateFlipImage(nullptr, source.bits.get(), &header, &bits, 0), ImageInvalidArg);
    EXPECT_EQ(RotateFlipImage(source.header.get(), nullptr, &header, &bits, 0), ImageInvalidArg);
    EXPECT_EQ(RotateFlipImage(source.header.get(), source.bits.get(), &header, nullptr, 0),
              ImageInvalidArg);
    EXPECT_EQ(RotateFlipImage(source.header.get(), source.bits.get(), &header, &bits, 5),
              ImageInvalidArg);
    source.header->biCompression = kBiBitfields;
    EXPECT_EQ(RotateFlipImage(source.header.get(), source.bits.get(), &header, &bits, 0),
              ImageUnsupported);
    EXPECT_FALSE(header);
    EXPECT_FALSE(bits);
}
