#include "formats/png/png_import.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/image_limits.h"
#include "formats/compilation.h"
#include "core/item_list.h"
#include "formats/png/png_encoder.h"
#include "formats/png/png_test_support.h"
#include "support/test_files.h"

namespace {

const Bytes kFrameA = Compress(UnfilteredRows({{1, 2}, {3, 4}}));
const Bytes kFrameB = Compress(UnfilteredRows({{5}}));

class PngImport : public testing::Test {
protected:
    PngResult Read(const Bytes& file) { return ParsePng(file, &context); }

    ScratchDir dir;
    std::string path = dir.File("in.png");
    PngReadContext context;
    CItemList list;
};

}  // namespace

TEST(PngFrameDelay, SinglePrecisionTruncated) {
    struct Case {
        std::uint16_t num, den;
        std::uint32_t ms;
    };
    const Case cases[] = {{1, 10, 100}, {1, 3, 333}, {7, 0, 70},
                          {0, 0, 0},    {2, 3, 666}, {65535, 1, 65535000}};
    for (const Case& c : cases)
        EXPECT_EQ(PngFrameDelay(c.num, c.den), c.ms) << c.num << "/" << c.den;
}

TEST_F(PngImport, DefaultImageThatIsTheFirstFrame) {
    PngBuilder png;
    png.Ihdr(2, 2, 8, 0).Actl(2, 5).Fctl(0, 2, 2, 3, 4, 1, 10, 1, 1).Chunk("IDAT", kFrameA);
    png.Fctl(1, 1, 1, 7, 8, 1, 3, 2, 0).Fdat(2, kFrameB).Iend();
    ASSERT_EQ(Read(png.Data()), PngOk);
    CAnimatedPNGCompilation compilation(path);
    compilation.png.grayscale = true;
    compilation.png.filter = 2;
    compilation.png.compression = 3;
    const PngImportOutcome outcome = ImportPngContent(list, compilation, context);
    EXPECT_TRUE(outcome.added);
    EXPECT_FALSE(outcome.outOfMemory);
    ASSERT_EQ(list.Count(), 2);
    const tagILVITEM* first = list.Item(0);
    EXPECT_EQ(first->frameInfo.delay, 100u);
    EXPECT_EQ(first->x, 3);
    EXPECT_EQ(first->y, 4);
    EXPECT_EQ(first->frameInfo.disposeOp, 1);
    EXPECT_EQ(first->frameInfo.blendOp, 1);
    const tagILVITEM* second = list.Item(1);
    EXPECT_EQ(second->frameInfo.delay, 333u);
    EXPECT_EQ(second->x, 7);
    EXPECT_EQ(second->y, 8);
    EXPECT_EQ(second->frameInfo.disposeOp, 2);
    EXPECT_EQ(second->header->biWidth, 1);
    EXPECT_EQ(second->mask, nullptr);
    EXPECT_FALSE(compilation.firstFrameExcluded);
    EXPECT_EQ(compilation.numPlays, 5u);
    // The save options follow the file; grayscale stays as it was.
    EXPECT_FALSE(compilation.png.interlaced);
    EXPECT_EQ(compilation.png.filter, PngFilterOptionBest);
    EXPECT_EQ(compilation.png.compression, PngCompressionDefault);
    EXPECT_TRUE(compilation.png.grayscale);
    EXPECT_TRUE(context.images.empty());
}

TEST_F(PngImport, HiddenDefaultImage) {
    PngBuilder png;
    png.Ihdr(2, 2, 8, 0, 1)
        .Actl(1, 0)
        .Chunk("IDAT", Compress(UnfilteredRows({{1}, {2, 3}, {4, 5}})));
    png.Fctl(0, 1, 1, 9, 9, 7, 0).Fdat(1, kFrameB).Iend();
    ASSERT_EQ(Read(png.Data()), PngOk);
    CAnimatedPNGCompilation compilation(path);
    EXPECT_TRUE(ImportPngContent(list, compilation, context).added);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0)->frameInfo.delay, 600u);
    EXPECT_EQ(list.Item(0)->x, 0);
    EXPECT_EQ(list.Item(1)->frameInfo.delay, 70u);
    EXPECT_EQ(list.Item(1)->x, 9);
    EXPECT_TRUE(compilation.firstFrameExcluded);
    EXPECT_TRUE(compilation.png.interlaced);
}

TEST_F(PngImport, StillImageIntoAnUntypedCompilation) {
    ASSERT_EQ(Read(PngBuilder().Ihdr(2, 2, 8, 0).Chunk("IDAT", kFrameA).Iend().Data()), PngOk);
    EXPECT_EQ(context.header.width, 2u);
    CCompilation compilation;
    compilation.numPlays = 4;
    EXPECT_TRUE(ImportPngContent(list, compilation, context).added);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(0)->frameInfo.delay, 600u);
    EXPECT_TRUE(compilation.firstFrameExcluded);
    EXPECT_EQ(compilation.numPlays, 0u);
}

TEST_F(PngImport, ReadFailures) {
    errno = 77;
    EXPECT_EQ(ReadPngFile(dir.File("missing.png").c_str(), &context), PngSystemError);
    EXPECT_EQ(errno, ENOENT);
    errno = 77;
    WriteBytes(path, {});
    EXPECT_EQ(ReadPngFile(path.c_str(), &context), PngNotPng);
    // Only the size of a file over the limit is looked at.
    const std::string huge = MakeSparseFile(dir, "huge.png", kMaxImageFileBytes + 1);
    EXPECT_EQ(ReadPngFile(huge.c_str(), &context), PngOutOfMemory);
    EXPECT_EQ(errno, 77);
    EXPECT_EQ(Read({}), PngNotPng);
    EXPECT_EQ(Read({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}), PngNotPng);
    EXPECT_EQ(ReadPngFile(nullptr, &context), PngInvalidArg);
    EXPECT_EQ(ReadPngFile(path.c_str(), nullptr), PngInvalidArg);
    EXPECT_EQ(ParsePng({}, nullptr), PngInvalidArg);

    // A frame decoded before the fault is not kept.
    PngBuilder png;
    png.Ihdr(2, 2, 8, 0)
        .Actl(2, 0)
        .Chunk("IDAT", kFrameA)
        .Fctl(0, 1, 1, 0, 0, 1, 1)
        .Fdat(1, kFrameB);
    Bytes file = png.Chunk("tEXt", {'a', 0, 'b'}).Iend().Data();
    file[file.size() - 12 - 4] ^= 1;  // the tEXt CRC
    EXPECT_EQ(Read(file), PngBadCrc);
    EXPECT_TRUE(context.images.empty());
    EXPECT_TRUE(context.frameControls.empty());
}

// The animated files of the corpus, through the whole read and import.
TEST_F(PngImport, AnimatedCorpusFilesBecomeItems) {
    REQUIRE_CORPUS(apng, "apng/pillow");
    struct Case {
        const char* file;
        int items;
        bool firstExcluded;
        std::vector<std::uint32_t> delays;
    };
    const Case cases[] = {
        {"delay.png", 5, true, {600, 500, 1000, 500, 1000}},
        {"delay_zero_denom.png", 3, true, {600, 500, 1000}},
        {"split_fdat.png", 2, true, {600, 1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        PngReadContext fileContext;
        ASSERT_EQ(ReadPngFile((apng / c.file).c_str(), &fileContext), PngOk);
        CItemList items;
        CAnimatedPNGCompilation compilation((apng / c.file).string());
        ASSERT_TRUE(ImportPngContent(items, compilation, fileContext).added);
        ASSERT_EQ(items.Count(), c.items);
        EXPECT_EQ(compilation.firstFrameExcluded, c.firstExcluded);
        for (int i = 0; i < c.items; ++i)
            EXPECT_EQ(items.Item(i)->frameInfo.delay, c.delays[i]) << i;
    }
}
