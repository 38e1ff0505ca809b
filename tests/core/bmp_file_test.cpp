#include "core/bmp_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/dib.h"
#include "core/dib_test_util.h"
#include "core/image_limits.h"
#include "support/test_files.h"

namespace {

struct ReadOutcome {
    ImageResult result;
    HeaderBlock header;
    Block bits;
    std::size_t bitsSize = 0;
};

ReadOutcome ReadFile(const std::string& path) {
    ReadOutcome out{ImageOk, nullptr, nullptr};
    out.result = ReadBmpFile(path.c_str(), &out.header, &out.bits, &out.bitsSize);
    return out;
}

ReadOutcome ParseBytes(const std::vector<std::uint8_t>& bytes) {
    ReadOutcome out{ImageOk, nullptr, nullptr};
    out.result = ParseBmp(bytes, &out.header, &out.bits, &out.bitsSize);
    return out;
}

// A valid 66-byte file: a 1x1 24-bit image that carries a 2-entry colour table.
std::vector<std::uint8_t> SmallestFile() {
    return BmpFileBytes(
        HeaderBytes(MakeHeader(1, 1, 24, kBiRgb, 2), QuadBytes({{1, 2, 3, 0}, {4, 5, 6, 0}})),
        {0x10, 0x20, 0x30, 0});
}

// A 4x2 8-bit image with a 4-entry table, padded to pass the size check.
std::vector<std::uint8_t> Header8(std::int32_t height = 2, std::uint32_t compression = kBiRgb) {
    return HeaderBytes(MakeHeader(4, height, 8, compression, 4),
                       QuadBytes({{0, 0, 0, 0}, {1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}}));
}

TEST(ParseBmp, ResultCodesOfCraftedFiles) {
    const std::vector<std::uint8_t> rows8 = {0, 1, 2, 3, 3, 2, 1, 0};
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        ImageResult expected;
    };
    auto withHeader = [](DibHeader h, std::size_t pixelBytes) {
        return BmpFileBytes(HeaderBytes(h), std::vector<std::uint8_t>(pixelBytes, 0));
    };
    auto spoiled = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
        std::memcpy(bytes.data() + at, &value, 4);
        return bytes;
    };
    std::vector<std::uint8_t> shortFile = SmallestFile();
    shortFile.pop_back();
    std::vector<std::uint8_t> truncatedRows = BmpFileBytes(Header8(), rows8);
    truncatedRows.pop_back();
    std::vector<std::uint8_t> badType = SmallestFile();
    badType[1] = 'A';
    std::vector<std::uint8_t> core = SmallestFile();
    core[14] = 12;

    const Case cases[] = {
        {"66 bytes", SmallestFile(), ImageOk},
        {"65 bytes", shortFile, ImageBadFormat},
        {"empty", {}, ImageBadFormat},
        {"bfSize 0", BmpFileBytes(Header8(), rows8, 0), ImageBadFormat},
        {"bfSize wrong but not 0", BmpFileBytes(Header8(), rows8, 5), ImageOk},
        {"not BM", badType, ImageBadFormat},
        {"core header", core, ImageBadFormat},
        {"header larger than file", spoiled(SmallestFile(), 14, 1000), ImageBadFormat},
        {"width 0", withHeader(MakeHeader(0, 4, 32), 32), ImageBadFormat},
        {"negative width", withHeader(MakeHeader(-4, 4, 32), 64), ImageBadFormat},
        {"height 0", withHeader(MakeHeader(4, 0, 32), 32), ImageBadFormat},
        {"planes 2", spoiled(withHeader(MakeHeader(2, 4, 32), 32), 26, 0x00200002), ImageBadFormat},
        {"2 bits", withHeader(MakeHeader(4, 4, 2), 32), ImageBadFormat},
        {"64 bits", withHeader(MakeHeader(1, 4, 64), 32), ImageBadFormat},
        {"any compression value is read", withHeader(MakeHeader(2, 2, 32, 77), 16), ImageOk},
        {"bfOffBits 0", BmpFileBytes(Header8(), rows8, kAuto, 0), ImageOk},
        {"truncated rows", truncatedRows, ImageBadFormat},
        {"truncated run-length data", BmpFileBytes(Header8(2, kBiRle8), {2, 1, 0, 1}), ImageOk},
        {"colour table beyond file",
         BmpFileBytes(HeaderBytes(MakeHeader(4, 2, 8, kBiRgb, 300)), std::vector<std::uint8_t>(64)),
         ImageBadFormat},
        {"colour table count at its largest",
         BmpFileBytes(HeaderBytes(MakeHeader(4, 2, 8, kBiRgb, 0xFFFFFFFF)), rows8), ImageBadFormat},
        {"image size overflows", withHeader(MakeHeader(INT32_MAX, INT32_MIN, 32), 16),
         ImageBadFormat},
        {"rows beyond file", withHeader(MakeHeader(100, 100, 24), 100), ImageBadFormat},
        {"huge bit-field image", withHeader(MakeHeader(30000, 30000, 32, kBiBitfields), 32),
         ImageOutOfMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errno = 4321;
        ReadOutcome out = ParseBytes(c.bytes);
        EXPECT_EQ(out.result, c.expected);
        EXPECT_EQ(errno, 4321);
        EXPECT_EQ(out.header != nullptr, c.expected == ImageOk);
        EXPECT_EQ(out.bits != nullptr, c.expected == ImageOk);
    }
}

TEST(ParseBmp, HugeRunLengthDimensionsFailBeforeAllocating) {
    std::vector<std::uint8_t> header = Header8(60000, kBiRle8);
    AsHeader(header)->biWidth = 60000;
    ReadOutcome out = ParseBytes(BmpFileBytes(header, {0, 1}));
    EXPECT_EQ(out.result, ImageOutOfMemory);
}

TEST(ReadBmpFile, SystemErrorsLeaveErrno) {
    ScratchDir dir;
    HeaderBlock header;
    Block bits;
    errno = 0;
    EXPECT_EQ(ReadBmpFile(dir.File("missing.bmp").c_str(), &header, &bits), ImageSystemError);
    EXPECT_EQ(errno, ENOENT);
    errno = 0;
    EXPECT_EQ(ReadBmpFile(dir.Path().c_str(), &header, &bits), ImageSystemError);
    EXPECT_EQ(errno, EISDIR);
    errno = 77;
    EXPECT_EQ(ReadBmpFile(nullptr, &header, &bits), ImageInvalidArg);
    EXPECT_EQ(errno, 77);
}

TEST(ReadBmpFile, ReadsThroughTheParserAndRefusesOversizedFilesUnread) {
    ScratchDir dir;
    WriteBytes(dir.File("small.bmp"), SmallestFile());
    ReadOutcome small = ReadFile(dir.File("small.bmp"));
    ASSERT_EQ(small.result, ImageOk);
    EXPECT_EQ(small.bitsSize, 4u);
    // A sparse file: only its size is looked at.
    const std::string huge = MakeSparseFile(dir, "huge.bmp", kMaxImageFileBytes + 1);
    errno = 4321;
    EXPECT_EQ(ReadFile(huge).result, ImageOutOfMemory);
    EXPECT_EQ(errno, 4321);
}

TEST(ParseBmp, TakesRowsFromOffsetOrAfterTheTable) {
    const std::vector<std::uint8_t> rows8 = {0, 1, 2, 3, 3, 2, 1, 0};
    // bfOffBits 0: rows right after the table.
    ReadOutcome direct = ParseBytes(BmpFileBytes(Header8(), rows8, kAuto, 0));
    ASSERT_EQ(direct.result, ImageOk);
    EXPECT_EQ(std::memcmp(direct.bits.get(), rows8.data(), 8), 0);
    EXPECT_EQ(direct.bitsSize, 8u);
    // bfOffBits past a gap of junk.
    std::vector<std::uint8_t> gapped = {9, 9, 9, 9, 9, 9};
    gapped.insert(gapped.end(), rows8.begin(), rows8.end());
    std::vector<std::uint8_t> header = Header8();
    ReadOutcome offset = ParseBytes(
        BmpFileBytes(header, gapped, kAuto, static_cast<std::uint32_t>(14 + header.size() + 6)));
    ASSERT_EQ(offset.result, ImageOk);
    EXPECT_EQ(std::memcmp(offset.bits.get(), rows8.data(), 8), 0);
}

TEST(ParseBmp, ColourTableFollowsClrUsed) {
    // An 8-bit file with 16 colours has a 64-byte table.
    std::vector<std::uint8_t> table(64);
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(i);
    ReadOutcome eight = ParseBytes(BmpFileBytes(HeaderBytes(MakeHeader(4, 2, 8, kBiRgb, 16), table),
                                                {15, 16, 200, 0, 0, 0, 0, 0}));
    ASSERT_EQ(eight.result, ImageOk);
    EXPECT_EQ(DibColorTableSize(eight.header.get()), 64u);
    EXPECT_EQ(std::memcmp(DibColorTable(eight.header.get()), table.data(), 64), 0);
    int index = -1;
    EXPECT_EQ(DibGetPixel(eight.header.get(), eight.bits.get(), 0, 1, &index), 0x3F3E3D3Cu);
    EXPECT_EQ(index, 15);
    // Indices past the table read black.
    EXPECT_EQ(DibGetPixel(eight.header.get(), eight.bits.get(), 1, 1, &index), 0u);
    EXPECT_EQ(DibGetPixel(eight.header.get(), eight.bits.get(), 2, 1, &index), 0u);
    EXPECT_EQ(index, 200);

    // A 300-entry table on an 8-bit image is kept whole when the file holds it.
    std::vector<std::uint8_t> big(1200, 1);
    ReadOutcome oversize =
        ParseBytes(BmpFileBytes(HeaderBytes(MakeHeader(4, 1, 8, kBiRgb, 300), big), {0, 1, 2, 3}));
    ASSERT_EQ(oversize.result, ImageOk);
    EXPECT_EQ(DibColorCount(oversize.header.get()), 300u);
}

TEST(ParseBmp, RunLengthDataIsBoundedByTheFile) {
    ReadOutcome out = ParseBytes(BmpFileBytes(Header8(2, kBiRle8), {4, 1}));
    ASSERT_EQ(out.result, ImageOk);
    EXPECT_EQ(out.bitsSize, 2u);
    EXPECT_EQ(out.bits.get()[0], 4);
    // Run-length data may be longer than the rows it encodes: all of it is read.
    ReadOutcome longer =
        ParseBytes(BmpFileBytes(Header8(2, kBiRle8), std::vector<std::uint8_t>(40, 0)));
    ASSERT_EQ(longer.result, ImageOk);
    EXPECT_EQ(longer.bitsSize, 40u);
    // Bit-field data is read no further than the rows.
    ReadOutcome fields = ParseBytes(
        BmpFileBytes(HeaderBytes(MakeHeader(2, 2, 32, kBiBitfields), std::vector<std::uint8_t>(12)),
                     std::vector<std::uint8_t>(40, 0)));
    ASSERT_EQ(fields.result, ImageOk);
    EXPECT_EQ(fields.bitsSize, 16u);
}

TEST(ParseBmp, KeepsBitfieldMasksAfterA40ByteHeader) {
    std::vector<std::uint8_t> masks;
    for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Put32(masks, m);
    std::vector<std::uint8_t> block = HeaderBytes(MakeHeader(2, 1, 16, kBiBitfields, 1), masks);
    const std::vector<std::uint8_t> table = QuadBytes({{7, 8, 9, 0}});
    block.insert(block.end(), table.begin(), table.end());
    ReadOutcome out = ParseBytes(BmpFileBytes(block, {0xFF, 0xFF, 0, 0}));
    ASSERT_EQ(out.result, ImageOk);
    EXPECT_EQ(BitfieldMaskBytesAfterHeader(out.header.get()), 12u);
    EXPECT_EQ(std::memcmp(out.header.get(), block.data(), block.size()), 0);

    DibHeader h = MakeHeader(1, 1, 32, kBiAlphaBitfields);
    EXPECT_EQ(BitfieldMaskBytesAfterHeader(&h), 16u);
    h.biSize = 56;
    EXPECT_EQ(BitfieldMaskBytesAfterHeader(&h), 0u);
    h = MakeHeader(1, 1, 32, kBiBitfields);
    h.biSize = 108;
    EXPECT_EQ(BitfieldMaskBytesAfterHeader(&h), 0u);
    h = MakeHeader(1, 1, 24, kBiBitfields);
    EXPECT_EQ(BitfieldMaskBytesAfterHeader(&h), 0u);
}

TEST(WriteBmpFile, RoundTripsTopDownAndTables) {
    ScratchDir dir;
    struct Case {
        const char* name;
        std::vector<std::uint8_t> header;
        std::vector<std::uint8_t> bits;
    };
    std::vector<std::uint8_t> v5 = HeaderBytes([] {
        DibHeader h = MakeHeader(1, -2, 32);
        h.biSize = 124;
        return h;
    }());
    v5[100] = 0x5A;  // bytes beyond the first 40 travel unread
    const Case cases[] = {
        {"top-down 8-bit", Header8(-2), {0, 1, 2, 3, 3, 2, 1, 0}},
        {"24-bit with a 2-entry table",
         HeaderBytes(MakeHeader(1, 1, 24, kBiRgb, 2), QuadBytes({{1, 2, 3, 0}, {4, 5, 6, 0}})),
         {0x10, 0x20, 0x30, 0}},
        {"16-bit 5-5-5",
         HeaderBytes(MakeHeader(2, 3, 16)),
         {0xFF, 0x7F, 0x1F, 0x00, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"124-byte header", v5, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("out.bmp");
        errno = 555;
        ASSERT_EQ(WriteBmpFile(path.c_str(), AsHeader(c.header), c.bits.data()), ImageOk);
        EXPECT_EQ(errno, 555);
        EXPECT_EQ(ReadBytes(path), BmpFileBytes(c.header, c.bits));
        ReadOutcome back = ReadFile(path);
        ASSERT_EQ(back.result, ImageOk);
        EXPECT_EQ(std::memcmp(back.header.get(), c.header.data(), c.header.size()), 0);
        EXPECT_EQ(back.bitsSize, c.bits.size());
        EXPECT_EQ(std::memcmp(back.bits.get(), c.bits.data(), c.bits.size()), 0);
    }
    // A top-down image reads its first row in memory as the top row.
    std::vector<std::uint8_t> header = Header8(-2);
    std::vector<std::uint8_t> bits = {3, 0, 0, 0, 1, 0, 0, 0};
    ASSERT_EQ(WriteBmpFile(dir.File("td.bmp").c_str(), AsHeader(header), bits.data()), ImageOk);
    ReadOutcome td = ReadFile(dir.File("td.bmp"));
    ASSERT_EQ(td.result, ImageOk);
    EXPECT_EQ(td.header->biHeight, -2);
    EXPECT_EQ(DibGetPixel(td.header.get(), td.bits.get(), 0, 0), 0x030303u);
}

std::size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(WriteBmpFile, FailedSavesKeepWhatWasThere) {
    ScratchDir dir;
    std::vector<std::uint8_t> header = Header8();
    std::vector<std::uint8_t> bits(8, 1);
    EXPECT_EQ(WriteBmpFile(nullptr, AsHeader(header), bits.data()), ImageInvalidArg);
    EXPECT_EQ(WriteBmpFile(dir.File("x.bmp").c_str(), nullptr, bits.data()), ImageInvalidArg);
    EXPECT_EQ(WriteBmpFile(dir.File("x.bmp").c_str(), AsHeader(header), nullptr), ImageInvalidArg);

    errno = 0;
    EXPECT_EQ(WriteBmpFile(dir.File("no/such/folder.bmp").c_str(), AsHeader(header), bits.data()),
              ImageSystemError);
    EXPECT_EQ(errno, ENOENT);

    std::filesystem::create_directory(dir.Path() / "folder");
    errno = 0;
    EXPECT_EQ(WriteBmpFile(dir.File("folder").c_str(), AsHeader(header), bits.data()),
              ImageSystemError);
    EXPECT_NE(errno, 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "folder"));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);  // no temporary left behind

    // A write that fails half-way (the file-size limit) leaves the old file as it was.
    const std::string target = dir.File("old.bmp");
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    WriteBytes(target, old);
    std::vector<std::uint8_t> bigHeader = HeaderBytes(MakeHeader(100, 100, 32));
    std::vector<std::uint8_t> bigBits(DibImageSize(AsHeader(bigHeader)), 7);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    auto previous = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    errno = 0;
    ImageResult result = WriteBmpFile(target.c_str(), AsHeader(bigHeader), bigBits.data());
    const int error = errno;
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(result, ImageSystemError);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(ReadBytes(target), old);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

}  // namespace
