#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "formats/compilation.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "core/item_list.h"
#include "formats/icon/icon_file.h"
#include "support/icon_bytes.h"
#include "support/peer_tools.h"
#include "support/test_files.h"

namespace {

IconResult ParseBytes(const Bytes& bytes, OwnedImages& out) {
    return ParseIcon(bytes, out.Sink());
}

TestEntry Entry(std::uint8_t width, std::uint8_t height, Bytes data, std::uint16_t word4 = 1,
                std::uint16_t word6 = 32) {
    TestEntry entry;
    entry.width = width;
    entry.height = height;
    entry.word4 = word4;
    entry.word6 = word6;
    entry.data = std::move(data);
    return entry;
}

// True when the file lies in a folder of files that are broken on purpose.
bool IsBrokenOnPurpose(const std::filesystem::path& path) {
    std::string text = path.generic_string();
    for (const char* folder : {"/bad/", "/fail/", "/fuzz-regression/", "/randomly-modified/"})
        if (text.find(folder) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(IconReader, RefusesBadHeadersBeforeReadingAnImage) {
    Bytes good = MakeDibBlock(2, 4, 32);
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"count 0", MakeIconFileBytes(1, {})},
        {"reserved 1", MakeIconFileBytes(1, {Entry(2, 2, good)}, 1)},
        {"type 3", MakeIconFileBytes(3, {Entry(2, 2, good)})},
        {"type 0", MakeIconFileBytes(0, {Entry(2, 2, good)})},
        {"short header", {0, 0, 1}},
        {"empty file", {}},
        {"short directory", Bytes{0, 0, 1, 0, 2, 0, 2, 2, 0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedImages images;
        EXPECT_EQ(ParseBytes(c.bytes, images), IconBadFormat);
        EXPECT_TRUE(images.images.empty());
    }
}

TEST(IconReader, RefusesEntriesThatDoNotHoldTheirImage) {
    TestEntry empty = Entry(2, 2, MakeDibBlock(2, 4, 32));
    empty.bytesInRes = 0;
    TestEntry outside = Entry(2, 2, MakeDibBlock(2, 4, 32));
    outside.offset = 0xFFFFFFF0u;
    TestEntry overlong = Entry(2, 2, MakeDibBlock(2, 4, 32));
    overlong.bytesInRes = static_cast<std::uint32_t>(overlong.data.size() + 1);
    Bytes shortRows = MakeDibBlock(2, 4, 32);
    shortRows.resize(40 + 2 * 8 + 2 * 4 - 1);  // two rows and a mask, less one byte
    Bytes headerOnly = MakeDibBlock(2, 4, 32);
    headerOnly.resize(39);
    Bytes bigSize = MakeDibBlock(2, 4, 32);
    bigSize[0] = 0xFF;  // biSize beyond the block
    Bytes hugeClrUsed = MakeDibBlock(2, 4, 8);
    std::memset(&hugeClrUsed[32], 0xFF, 4);
    Bytes huge = MakeDibBlock(2, 4, 32);
    std::memset(&huge[4], 0x7F, 4);  // a width of 2^31 - 1 rows that are not there
    struct Case {
        const char* name;
        TestEntry entry;
    } cases[] = {
        {"empty entry", empty},
        {"offset outside the file", outside},
        {"size past the end", overlong},
        {"rows and mask longer than the entry", Entry(2, 2, shortRows)},
        {"block shorter than a header", Entry(2, 2, headerOnly)},
        {"header longer than the block", Entry(2, 2, bigSize)},
        {"colour table longer than the block", Entry(2, 2, hugeClrUsed)},
        {"enormous width", Entry(2, 2, huge)},
        {"12 bits per pixel", Entry(2, 2, MakeDibBlock(2, 4, 12))},
        {"0 bits per pixel", Entry(2, 2, MakeDibBlock(2, 4, 0))},
        {"negative width", Entry(2, 2,
                                 [] {
                                     Bytes b = MakeDibBlock(2, 4, 32);
                                     b[4] = 0xFE, b[5] = b[6] = b[7] = 0xFF;
                                     return b;
                                 }())},
        {"run-length compressed", Entry(2, 2,
                                        [] {
                                            Bytes b = MakeDibBlock(2, 4, 8);
                                            b[16] = 1;
                                            return b;
                                        }())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedImages images;
        EXPECT_EQ(ParseBytes(MakeIconFileBytes(1, {c.entry}), images), IconBadFormat);
        EXPECT_TRUE(images.images.empty());
    }
}

TEST(IconReader, TheEntryHeightDecidesWhetherTheDibCarriesAMask) {
    // 2 x 64 stored rows of 4 bits: under bHeight 32 an image of 32 rows with a
    // mask, under bHeight 0 (256) an image of 64 rows without one.
    Bytes block = MakeDibBlock(2, 64, 4, 0, 3);
    const std::size_t table = 16 * 4, stride = 4;
    for (std::uint8_t entryHeight : {std::uint8_t{32}, std::uint8_t{0}}) {
        SCOPED_TRACE(int{entryHeight});
        OwnedImages images;
        ASSERT_EQ(ParseBytes(MakeIconFileBytes(1, {Entry(2, entryHeight, block)}), images), IconOk);
        ASSERT_EQ(images.images.size(), 1u);
        const IconImage& image = images.images[0];
        const std::size_t rows = entryHeight == 32 ? 32 : 64;
        EXPECT_EQ(image.header->biHeight, static_cast<int>(rows));
        EXPECT_EQ(image.header->biWidth, 2);
        EXPECT_EQ(image.header->biBitCount, 4);
        EXPECT_EQ(BlockBytes(reinterpret_cast<std::uint8_t*>(image.header.get()) + 40, table),
                  Bytes(block.begin() + 40, block.begin() + 40 + table));
        const auto rowsAt = block.begin() + 40 + table;
        EXPECT_EQ(BlockBytes(image.bits.get(), rows * stride),
                  Bytes(rowsAt, rowsAt + rows * stride));
        if (entryHeight == 32) {
            ASSERT_NE(image.mask, nullptr);
            EXPECT_EQ(BlockBytes(image.mask.get(), 32 * 4),
                      Bytes(rowsAt + 32 * stride, block.end()));
        } else {
            EXPECT_EQ(image.mask, nullptr);
        }
    }
}

TEST(IconReader, KeepsTopDownRowsAndLongHeadersAsStored) {
    // A top-down DIB with a 124-byte header: the height stays negative, the
    // extra header bytes come along.
    Bytes block = MakeDibBlock(3, -6, 24);
    block[0] = 124;
    Bytes extra(84, 0xAB);
    block.insert(block.begin() + 40, extra.begin(), extra.end());
    OwnedImages images;
    ASSERT_EQ(ParseBytes(MakeIconFileBytes(1, {Entry(3, 3, block)}), images), IconOk);
    const IconImage& image = images.images.at(0);
    EXPECT_EQ(image.header->biSize, 124u);
    EXPECT_EQ(image.header->biHeight, -3);
    EXPECT_EQ(reinterpret_cast<std::uint8_t*>(image.header.get())[123], 0xAB);
    EXPECT_EQ(BlockBytes(image.bits.get(), 3 * 12),
              Bytes(block.begin() + 124, block.begin() + 124 + 36));
    ASSERT_NE(image.mask, nullptr);
}

TEST(IconReader, HotSpotsComeFromTheEntryForIconsAndCursorsAlike) {
    Bytes block = MakeDibBlock(1, 2, 1);
    for (std::uint16_t type : {std::uint16_t{1}, std::uint16_t{2}}) {
        SCOPED_TRACE(type);
        OwnedImages images;
        ASSERT_EQ(ParseBytes(MakeIconFileBytes(
                                 type, {Entry(1, 1, block, 1, 32), Entry(1, 1, block, 0xFFFF, 7)}),
                             images),
                  IconOk);
        ASSERT_EQ(images.images.size(), 2u);
        EXPECT_EQ(images.images[0].hotspotX, 1);
        EXPECT_EQ(images.images[0].hotspotY, 32);
        EXPECT_EQ(images.images[1].hotspotX, -1);
        EXPECT_EQ(images.images[1].hotspotY, 7);
        EXPECT_EQ(images.images[1].frameIndex, 0);
    }
}

TEST(IconReader, StopsWhenTheSinkSaysSoAndKeepsWhatItHandedOut) {
    Bytes block = MakeDibBlock(1, 2, 8);
    Bytes file = MakeIconFileBytes(1, {Entry(1, 1, block), Entry(1, 1, block), Entry(1, 1, block)});
    OwnedImages images;
    IconImageSink keep = images.Sink();
    int calls = 0;
    EXPECT_EQ(ParseIcon(file,
                        [&](IconImage& image) {
                            keep(image);
                            return ++calls < 2;
                        }),
              IconStopped);
    EXPECT_EQ(images.images.size(), 2u);

    // A failure after a good entry: the first image has reached the sink.
    Bytes broken = MakeIconFileBytes(1, {Entry(1, 1, block), Entry(1, 1, Bytes(10, 0))});
    OwnedImages partial;
    EXPECT_EQ(ParseBytes(broken, partial), IconBadFormat);
    EXPECT_EQ(partial.images.size(), 1u);
}

TEST(IconReader, SystemErrorsLeaveErrnoAndOtherResultsKeepIt) {
    ScratchDir dir;
    OwnedImages images;
    errno = 0;
    EXPECT_EQ(ReadIconFile(dir.File("missing.ico").c_str(), images.Sink()), IconSystemError);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(ReadIconFile(dir.Path().c_str(), images.Sink()), IconSystemError);
    EXPECT_EQ(errno, EISDIR);
    std::string bad = dir.File("bad.ico");
    WriteBytes(bad, {0, 0, 1, 0, 1, 0, 7});
    errno = 1234;
    EXPECT_EQ(ReadIconFile(nullptr, images.Sink()), IconInvalidArg);
    EXPECT_EQ(ReadIconFile(bad.c_str(), images.Sink()), IconBadFormat);
    // Only the size of a file over the limit is looked at.
    const std::string huge = MakeSparseFile(dir, "huge.ico", kMaxImageFileBytes + 1);
    EXPECT_EQ(ReadIconFile(huge.c_str(), images.Sink()), IconBadFormat);
    EXPECT_EQ(errno, 1234);
    EXPECT_TRUE(images.images.empty());

    // The wrapper hands over what the parser finds.
    const std::string good = dir.File("good.ico");
    WriteBytes(good, MakeIconFileBytes(1, {Entry(2, 2, MakeDibBlock(2, 4, 32))}));
    EXPECT_EQ(ReadIconFile(good.c_str(), images.Sink()), IconOk);
    EXPECT_EQ(images.images.size(), 1u);
}

TEST(IconReader, AddIconImageAppendsAnItemWithTheIconDefaults) {
    CItemList list;
    OwnedImages images;
    Bytes block = MakeDibBlock(2, 4, 32);
    ASSERT_EQ(ParseBytes(MakeIconFileBytes(2, {Entry(2, 2, block, 5, 6)}), images), IconOk);
    IconImage& image = images.images.at(0);
    const DibHeader* header = image.header.get();
    EXPECT_TRUE(AddIconImage(list, image));
    EXPECT_EQ(image.header, nullptr);  // taken over
    ASSERT_EQ(list.Count(), 1);
    const tagILVITEM* item = list.Item(0);
    EXPECT_EQ(item->header, header);
    EXPECT_NE(item->mask, nullptr);
    EXPECT_EQ(item->frameInfo.delay, 600u);
    EXPECT_EQ(item->frameInfo.blendOp, 0);
    EXPECT_EQ(item->frameInfo.disposeOp, 0);
    EXPECT_EQ(item->frameInfo.hotspotX, 5);
    EXPECT_EQ(item->frameInfo.hotspotY, 6);
    EXPECT_EQ(item->x, 0);

    // A record without pixels adds nothing.
    IconImage headerOnly;
    headerOnly.header = AllocateHeaderBlock(40);
    EXPECT_TRUE(AddIconImage(list, headerOnly));
    EXPECT_EQ(list.Count(), 1);
}

// Every file of the corpus: the broken ones are refused, never read past their
// end (the sanitizer build watches); the others read, and where icotool is
// installed their entries agree with what it lists.
TEST(IconReader, CorpusFilesAgreeWithIcotool) {
    REQUIRE_CORPUS(corpus, "");
    const bool haveIcotool = OptionalProgram("icotool");
    // Files outside the broken folders that are refused all the same: their
    // entries do not hold the image the header describes, or there is none.
    const std::set<std::string> kRefused = {
        "decompression_bomb.ico",    // a 65535 x 65535 header in a 198-byte entry
        "hopper_unexpected.ico",     // bHeight 32 over a 16 x 32 DIB: 32 rows without a mask
        "truncated_mask_32bpp.ico",  // the mask is cut short
        "mask_1.cur",
        "mask_L.cur",              // dwBytesInRes 8
        "invalid.ico",             // empty file
        "overflowicon.ico",        // 65535 bits per pixel
        "no_cursors.cur",          // idCount 0
        "pngwithheight_icon.ico",  // a PNG entry whose image data fails its CRC
    };
    int read = 0, compared = 0;
    for (const char* folder : {"ico", "cur"}) {
        for (const auto& file : std::filesystem::recursive_directory_iterator(corpus / folder)) {
            const std::string ext = file.path().extension().string();
            if (!file.is_regular_file() || (ext != ".ico" && ext != ".cur")) continue;
            SCOPED_TRACE(file.path().string());
            OwnedImages images;
            IconResult result = ReadIconFile(file.path().c_str(), images.Sink());
            if (IsBrokenOnPurpose(file.path()) || kRefused.count(file.path().filename())) {
                EXPECT_NE(result, IconOk);
                continue;
            }
            if (result != IconOk) {
                ADD_FAILURE() << "refused with " << result;
                continue;
            }
            if (result != IconOk) continue;
            ++read;
            if (!haveIcotool) continue;
            std::string listing = *RunTool("icotool", "-l '" + file.path().string() + "'", true);
            bool complained = false;
            std::istringstream lines(listing);
            std::string line;
            std::size_t index = 0;
            while (std::getline(lines, line)) {
                if (line.rfind("--", 0) != 0) {
                    complained = true;
                    continue;
                }
                ASSERT_LT(index, images.images.size()) << line;
                const IconImage& image = images.images[index++];
                auto field = [&](const std::string& name) {
                    std::size_t at = line.find("--" + name + "=");
                    return at == std::string::npos ? -1
                                                   : std::stoi(line.substr(at + name.size() + 3));
                };
                EXPECT_EQ(field("width"), image.header->biWidth) << line;
                EXPECT_EQ(field("height"), static_cast<int>(DibAbsHeight(image.header.get())))
                    << line;
                // icotool names the directory's depth for PNG entries.
                if (image.mask) {
                    EXPECT_EQ(field("bit-depth"), image.header->biBitCount) << line;
                }
                if (line.find("--cursor") == 0) {
                    EXPECT_EQ(field("hotspot-x"), image.hotspotX) << line;
                    EXPECT_EQ(field("hotspot-y"), image.hotspotY) << line;
                }
            }
            if (index == 0) continue;  // icotool gave up on this one
            // icotool stops at an entry whose size field it finds wrong.
            if (!complained || index == images.images.size()) {
                EXPECT_EQ(index, images.images.size());
            }
            ++compared;
        }
    }
    EXPECT_GE(read, 55);
    if (haveIcotool) {
        EXPECT_GE(compared, 50);
    }
}
