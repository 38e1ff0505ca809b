#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "core/dib.h"
#include "formats/icon/icon_file.h"
#include "formats/icon/icon_png.h"
#include "support/icon_bytes.h"
#include "support/peer_tools.h"
#include "support/test_files.h"

namespace {

// The raw value of pixel (x, y), y counted from the top, read the way the
// picture is laid out (not through the colour table).
std::uint32_t RawPixel(const DibHeader* header, const std::uint8_t* bits, int x, int y) {
    const int rows = static_cast<int>(DibAbsHeight(header));
    const std::size_t stride =
        RowStride(static_cast<std::uint32_t>(header->biWidth), header->biBitCount);
    const std::uint8_t* row = bits + stride * (header->biHeight > 0 ? rows - 1 - y : y);
    switch (header->biBitCount) {
        case 1:
            return (row[x / 8] >> (7 - x % 8)) & 1;
        case 4:
            return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        case 8:
            return row[x];
        case 16:
            return row[2 * x] | (row[2 * x + 1] << 8);
        case 24:
            return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
        default:
            return row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
                   (std::uint32_t{row[4 * x + 3]} << 24);
    }
}

bool MaskBit(const DibHeader* header, const std::uint8_t* mask, int x, int y) {
    const int rows = static_cast<int>(DibAbsHeight(header));
    const std::size_t stride = RowStride(static_cast<std::uint32_t>(header->biWidth), 1);
    const std::uint8_t* row = mask + stride * (header->biHeight > 0 ? rows - 1 - y : y);
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

// Checks that a read-back image shows the written one: same header fields and
// colour table, rows bottom-up, every masked pixel cleared, the same mask.
void ExpectSamePicture(const tagICON_IMAGE_INFO& written, const tagICON_IMAGE_INFO& read) {
    const DibHeader* w = written.header;
    const DibHeader* r = read.header;
    ASSERT_EQ(r->biWidth, w->biWidth);
    ASSERT_EQ(r->biHeight, static_cast<int>(DibAbsHeight(w)));  // always bottom-up
    ASSERT_EQ(r->biBitCount, w->biBitCount);
    const std::size_t table = DibColorCount(w) * 4;
    EXPECT_EQ(BlockBytes(reinterpret_cast<const std::uint8_t*>(r) + r->biSize, table),
              BlockBytes(reinterpret_cast<const std::uint8_t*>(w) + w->biSize, table));
    ASSERT_NE(read.mask, nullptr);
    int differences = 0;
    for (int y = 0; y < r->biHeight; ++y) {
        for (int x = 0; x < r->biWidth; ++x) {
            bool masked = written.mask && MaskBit(w, written.mask, x, y);
            if (MaskBit(r, read.mask, x, y) != masked) ++differences;
            std::uint32_t expected = masked ? 0 : RawPixel(w, written.bits, x, y);
            if (RawPixel(r, read.bits, x, y) != expected) ++differences;
        }
    }
    EXPECT_EQ(differences, 0);
}

IconResult WriteImages(const std::string& path, int kind, const std::vector<TestImage>& images) {
    std::vector<tagICON_IMAGE_INFO> records;
    for (const TestImage& image : images) records.push_back(image.Record());
    return WriteIconFile(path.c_str(), kind, records.data(), records.size());
}

}  // namespace

TEST(IconWriter, EveryDepthAndRowOrderReadsBackWithTheSamePixelsAndMask) {
    ScratchDir dir;
    std::vector<TestImage> images;
    for (int bitCount : {1, 4, 8, 16, 24, 32}) {
        for (int width : {1, 3, 13, 33}) {
            for (bool topDown : {false, true}) {
                for (bool withMask : {false, true}) {
                    int height = 1 + (width * 3) % 7;
                    images.push_back(MakeTestImage(width, topDown ? -height : height, bitCount,
                                                   withMask,
                                                   static_cast<std::uint8_t>(images.size())));
                    images.back().hotspotX = static_cast<std::int16_t>(images.size());
                    images.back().hotspotY = static_cast<std::int16_t>(-width);
                }
            }
        }
    }
    for (int kind : {1, 0}) {
        SCOPED_TRACE(kind);
        std::string path = dir.File(kind == 1 ? "all.ico" : "all.cur");
        ASSERT_EQ(WriteImages(path, kind, images), IconOk);
        OwnedImages read;
        ASSERT_EQ(ReadIconFile(path.c_str(), read.Sink()), IconOk);
        ASSERT_EQ(read.images.size(), images.size());
        for (std::size_t i = 0; i < images.size(); ++i) {
            SCOPED_TRACE(i);
            ExpectSamePicture(images[i].Record(), Borrowed(read.images[i]));
            // An icon's entry carries planes and bit count where a cursor's has its hot spot.
            EXPECT_EQ(read.images[i].hotspotX, kind == 1 ? 1 : images[i].hotspotX);
            EXPECT_EQ(read.images[i].hotspotY,
                      kind == 1 ? images[i].header->biBitCount : images[i].hotspotY);
        }
    }
}

TEST(IconWriter, DirectoryEntriesAndBlocksHaveTheStoredLayout) {
    ScratchDir dir;
    std::vector<TestImage> images;
    images.push_back(MakeTestImage(48, 48, 4, true));
    images.push_back(MakeTestImage(3, -2, 32, false));
    images.back().hotspotX = 2;
    images.back().hotspotY = 1;
    std::string path = dir.File("c.cur");
    ASSERT_EQ(WriteImages(path, 2, images), IconOk);
    Bytes file = ReadBytes(path);

    const std::size_t size0 = 40 + 64 + 48 * 24 + 48 * 8, size1 = 40 + 2 * 12 + 2 * 4;
    Bytes expected;
    PutLe16(expected, 0);
    PutLe16(expected, 2);
    PutLe16(expected, 2);
    expected.insert(expected.end(), {48, 48, 16, 0});
    PutLe16(expected, 0);
    PutLe16(expected, 0);
    PutLe32(expected, size0);
    PutLe32(expected, 38);
    expected.insert(expected.end(), {3, 2, 0, 0});
    PutLe16(expected, 2);
    PutLe16(expected, 1);
    PutLe32(expected, size1);
    PutLe32(expected, 38 + size0);
    ASSERT_EQ(file.size(), 38 + size0 + size1);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 38), expected);

    // The second block: the header with biHeight 2 x 2, then the top-down rows
    // reversed, then an all-zero mask.
    const std::uint8_t* block = file.data() + 38 + size0;
    DibHeader header;
    std::memcpy(&header, block, 40);
    EXPECT_EQ(header.biHeight, 4);
    EXPECT_EQ(header.biWidth, 3);
    const std::uint8_t* bits = images[1].bits.get();
    EXPECT_EQ(Bytes(block + 40, block + 52), Bytes(bits + 12, bits + 24));
    EXPECT_EQ(Bytes(block + 52, block + 64), Bytes(bits, bits + 12));
    EXPECT_EQ(Bytes(block + 64, block + 72), Bytes(8, 0));
    // The writer does not touch what it was given.
    EXPECT_EQ(images[1].header->biHeight, -2);

    // An icon's entry carries the image's planes and bit count instead.
    ASSERT_EQ(WriteImages(path, 1, images), IconOk);
    file = ReadBytes(path);
    EXPECT_EQ(Bytes(file.begin() + 2, file.begin() + 4), Bytes({1, 0}));
    EXPECT_EQ(Bytes(file.begin() + 10, file.begin() + 14), Bytes({1, 0, 4, 0}));
    EXPECT_EQ(Bytes(file.begin() + 26, file.begin() + 30), Bytes({1, 0, 32, 0}));
}

TEST(IconWriter, RefusesBadArgumentsAndFailsWithoutLeavingAFile) {
    ScratchDir dir;
    TestImage image = MakeTestImage(2, 2, 8, false);
    tagICON_IMAGE_INFO record = image.Record();
    std::string path = dir.File("x.ico");
    EXPECT_EQ(WriteIconFile(nullptr, 1, &record, 1), IconInvalidArg);
    EXPECT_EQ(WriteIconFile(path.c_str(), 1, nullptr, 1), IconInvalidArg);
    EXPECT_EQ(WriteIconFile(path.c_str(), 1, &record, 0), IconInvalidArg);
    std::vector<tagICON_IMAGE_INFO> tooMany(65536, record);
    EXPECT_EQ(WriteIconFile(path.c_str(), 1, tooMany.data(), tooMany.size()), IconInvalidArg);
    EXPECT_FALSE(std::filesystem::exists(path));

    // The third of five images has no width: its code, and the old file stays.
    WriteBytes(path, {'o', 'l', 'd'});
    std::vector<TestImage> images;
    for (int i = 0; i < 5; ++i) images.push_back(MakeTestImage(4, 4, 24, true));
    images[2].header->biWidth = 0;
    EXPECT_EQ(WriteImages(path, 1, images), IconBadFormat);
    EXPECT_EQ(ReadBytes(path), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // A folder that cannot be written: a system error with the system's code.
    std::string missing = dir.File("no/such/folder.ico");
    errno = 0;
    EXPECT_EQ(WriteIconFile(missing.c_str(), 1, &record, 1), IconSystemError);
    EXPECT_EQ(errno, ENOENT);
}

TEST(IconWriter, BuildIconImageDataRefusesWhatIsNotAnImage) {
    TestImage image = MakeTestImage(2, 2, 8, false);
    tagICON_IMAGE_INFO record = image.Record();
    Block block;
    std::size_t size = 0;
    EXPECT_EQ(BuildIconImageData(nullptr, &block, &size), IconInvalidArg);
    EXPECT_EQ(BuildIconImageData(&record, nullptr, &size), IconInvalidArg);
    tagICON_IMAGE_INFO noBits = record;
    noBits.bits = nullptr;
    EXPECT_EQ(BuildIconImageData(&noBits, &block, &size), IconInvalidArg);
    image.header->biHeight = 0;
    EXPECT_EQ(BuildIconImageData(&record, &block, &size), IconBadFormat);
    image.header->biHeight = 2;
    image.header->biBitCount = 2;
    EXPECT_EQ(BuildIconImageData(&record, &block, &size), IconInvalidArg);
    image.header->biBitCount = 8;
    ASSERT_EQ(BuildIconImageData(&record, &block, &size), IconOk);
    EXPECT_EQ(size, 40u + 1024 + 2 * 4 + 2 * 4);
    EXPECT_EQ(IconImageDataSize(image.header.get()), size);
}

TEST(IconWriter, IcotoolListsTheEntriesWritten) {
    REQUIRE_PROGRAM("icotool", "icoutils");
    ScratchDir dir;
    std::vector<TestImage> images;
    images.push_back(MakeTestImage(16, 16, 1, true));
    images.push_back(MakeTestImage(24, -24, 4, true));
    images.push_back(MakeTestImage(32, 32, 8, true));
    images.push_back(MakeTestImage(48, 48, 24, false));
    images.push_back(MakeTestImage(20, 10, 32, true));
    images[4].hotspotX = 19;
    images[4].hotspotY = 9;
    images.push_back(MakeTestImage(256, 256, 32, false));
    images.push_back(MakeTestImage(255, 300, 32, false));
    for (int kind : {1, 2}) {
        std::string path = dir.File(kind == 1 ? "a.ico" : "a.cur");
        ASSERT_EQ(WriteImages(path, kind, images), IconOk);
        std::istringstream lines(*RunTool("icotool", "-l '" + path + "'"));
        std::string line;
        std::vector<std::string> listed;
        while (std::getline(lines, line)) listed.push_back(line);
        ASSERT_EQ(listed.size(), images.size());
        for (std::size_t i = 0; i < images.size(); ++i) {
            const DibHeader* h = images[i].header.get();
            std::ostringstream expected;
            expected << (kind == 1 ? "--icon" : "--cursor") << " --index=" << i + 1
                     << " --width=" << h->biWidth << " --height=" << DibAbsHeight(h)
                     << " --bit-depth=" << h->biBitCount
                     << " --palette-size=" << (h->biBitCount <= 8 ? 1 << h->biBitCount : 0);
            if (kind == 2)
                expected << " --hotspot-x=" << images[i].hotspotX
                         << " --hotspot-y=" << images[i].hotspotY;
            EXPECT_EQ(listed[i], expected.str());
        }
    }
}

TEST(IconWriter, ImagesOf256PixelsOrMoreAreStoredAsPng) {
    ScratchDir dir;
    std::vector<TestImage> images;
    images.push_back(MakeTestImage(256, 256, 32, false));
    images.push_back(MakeTestImage(255, 300, 32, false));
    images.push_back(MakeTestImage(48, 48, 32, true));
    std::string path = dir.File("big.ico");
    ASSERT_EQ(WriteImages(path, 1, images), IconOk);
    Bytes file = ReadBytes(path);
    struct Expect {
        std::uint8_t width, height;
        bool png;
    } expected[] = {{0, 0, true}, {255, 0, true}, {48, 48, false}};
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t* entry = &file[6 + 16 * i];
        EXPECT_EQ(entry[0], expected[i].width);
        EXPECT_EQ(entry[1], expected[i].height);
        EXPECT_EQ(entry[2], 0);
        std::uint32_t offset = entry[12] | (entry[13] << 8) | (entry[14] << 16) | (entry[15] << 24);
        EXPECT_EQ(IsPngBlock({file.data() + offset, file.size() - offset}), expected[i].png);
    }
    OwnedImages read;
    ASSERT_EQ(ReadIconFile(path.c_str(), read.Sink()), IconOk);
    ASSERT_EQ(read.images.size(), 3u);
    EXPECT_EQ(read.images[0].header->biWidth, 256);
    EXPECT_EQ(DibAbsHeight(read.images[1].header.get()), 300u);
    EXPECT_EQ(read.images[0].mask, nullptr);
    // The PNG entries hold the very pixels.
    for (int i = 0; i < 2; ++i) {
        const DibHeader* h = images[i].header.get();
        int differences = 0;
        for (int y = 0; y < static_cast<int>(DibAbsHeight(h)); ++y)
            for (int x = 0; x < h->biWidth; ++x)
                differences +=
                    DibGetPixel(h, images[i].bits.get(), x, y) !=
                    DibGetPixel(read.images[i].header.get(), read.images[i].bits.get(), x, y);
        EXPECT_EQ(differences, 0) << i;
    }
}

// Every DIB image of the corpus goes through the writer and back unchanged
// (masked pixels cleared).
TEST(IconWriter, CorpusImagesSurviveARoundTrip) {
    REQUIRE_CORPUS(corpus, "");
    ScratchDir dir;
    int files = 0;
    for (const char* folder : {"ico", "cur"}) {
        for (const auto& file : std::filesystem::recursive_directory_iterator(corpus / folder)) {
            if (!file.is_regular_file()) continue;
            OwnedImages original;
            if (ReadIconFile(file.path().c_str(), original.Sink()) != IconOk) continue;
            SCOPED_TRACE(file.path().string());
            std::vector<tagICON_IMAGE_INFO> records;
            for (const IconImage& image : original.images)
                if (image.mask && image.header->biWidth <= 255 &&
                    DibAbsHeight(image.header.get()) <= 255)
                    records.push_back(Borrowed(image));
            if (records.empty()) continue;
            std::string path = dir.File("round.cur");
            ASSERT_EQ(WriteIconFile(path.c_str(), 2, records.data(), records.size()), IconOk);
            OwnedImages read;
            ASSERT_EQ(ReadIconFile(path.c_str(), read.Sink()), IconOk);
            ASSERT_EQ(read.images.size(), records.size());
            for (std::size_t i = 0; i < records.size(); ++i) {
                ExpectSamePicture(records[i], Borrowed(read.images[i]));
                EXPECT_EQ(read.images[i].hotspotX, records[i].hotspotX);
                EXPECT_EQ(read.images[i].hotspotY, records[i].hotspotY);
            }
            ++files;
        }
    }
    EXPECT_GT(files, 30);
}
