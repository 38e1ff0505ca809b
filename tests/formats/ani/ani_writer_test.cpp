#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "formats/compilation.h"
#include "core/dib.h"
#include "core/item_list.h"
#include "formats/ani/ani_file.h"
#include "platform/codepage.h"
#include "support/icon_bytes.h"
#include "support/test_files.h"

namespace {

// The "icon" chunk data the layout prescribes for a frame: a cursor file
// header, one entry per image with its hot spot, then the DIB blocks.
Bytes ExpectedCursor(const std::vector<tagICON_IMAGE_INFO>& images) {
    Bytes out;
    PutLe16(out, 0);
    PutLe16(out, 2);
    PutLe16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    Bytes blocks;
    for (const tagICON_IMAGE_INFO& image : images) {
        Block block;
        std::size_t size = 0;
        EXPECT_EQ(BuildIconImageData(&image, &block, &size), IconOk);
        const DibHeader* h = image.header;
        const std::uint32_t height = DibAbsHeight(h);
        out.push_back(h->biWidth <= 255 ? static_cast<std::uint8_t>(h->biWidth) : 0);
        out.push_back(height <= 255 ? static_cast<std::uint8_t>(height) : 0);
        out.push_back(h->biBitCount < 8 ? static_cast<std::uint8_t>(1 << h->biBitCount) : 0);
        out.push_back(0);
        PutLe16(out, static_cast<std::uint16_t>(image.hotspotX));
        PutLe16(out, static_cast<std::uint16_t>(image.hotspotY));
        PutLe32(out, static_cast<std::uint32_t>(size));
        PutLe32(out, offset);
        offset += static_cast<std::uint32_t>(size);
        blocks.insert(blocks.end(), block.get(), block.get() + size);
    }
    out.insert(out.end(), blocks.begin(), blocks.end());
    return out;
}

class AniSave : public testing::Test {
protected:
    // Appends an original with a small image of its own, a delay and a hot spot.
    int AddOriginal(std::uint32_t delay, int width = 3, int bitCount = 8) {
        TestImage image =
            MakeTestImage(width, 2, bitCount, true, static_cast<std::uint8_t>(seed++));
        NewItem item;
        item.header = std::move(image.header);
        item.bits = std::move(image.bits);
        item.mask = std::move(image.mask);
        item.frameInfo.delay = delay;
        item.frameInfo.hotspotX = static_cast<std::int16_t>(list.Count());
        item.frameInfo.hotspotY = 1;
        return list.AddItem(std::move(item));
    }
    int AddDuplicateOf(int reference, std::uint32_t delay) {
        FrameInfo info;
        info.delay = delay;
        info.hotspotX = static_cast<std::int16_t>(100 + list.Count());
        info.hotspotY = 2;
        return list.AddDuplicate(info, 0, 0, reference);
    }
    // The record of an item's image with the item's own hot spot.
    tagICON_IMAGE_INFO Record(int index) const {
        const tagILVITEM* item = list.Item(index);
        const tagILVITEM& image = item->Image();
        tagICON_IMAGE_INFO record;
        record.header = image.header;
        record.bits = image.bits;
        record.mask = image.mask;
        record.hotspotX = item->frameInfo.hotspotX;
        record.hotspotY = item->frameInfo.hotspotY;
        return record;
    }
    // Maps the list and writes it; the file's bytes, or none when nothing was written.
    std::optional<Bytes> Save(bool selectionOnly = false) {
        AniWriteInputs inputs;
        mapped = MapItemsToAniInputs(list, selectionOnly, options, &inputs);
        if (mapped != AniInputsOk) return std::nullopt;
        EXPECT_EQ(WriteAniFile(path.c_str(), inputs), IconOk);
        return ReadBytes(path);
    }

    ScratchDir dir;
    std::string path = dir.File("out.ani");
    AniInputsResult mapped = AniInputsOk;  // what the last Save's mapping gave
    CItemList list;
    // One image per directory and a common rate unless a test says otherwise.
    AniSaveOptions options{"", "", 1, false};
    int seed = 1;
};

}  // namespace

TEST_F(AniSave, DuplicatesBecomeSequenceStepsWithTheirOwnRates) {
    options.imagesPerDirectory = 1;
    AddOriginal(100);
    AddOriginal(200);
    AddDuplicateOf(0, 300);
    std::optional<Bytes> file = Save();
    ASSERT_TRUE(file);
    Bytes expected = AniFileBytes({
        RiffChunk("anih", AnihData(2, 3, 0, 3)),
        RiffList("fram", {RiffChunk("icon", ExpectedCursor({Record(0)})),
                          RiffChunk("icon", ExpectedCursor({Record(1)}))}),
        RiffChunk("rate", U32Values({6, 12, 18})),
        RiffChunk("seq ", U32Values({0, 1, 0})),
    });
    EXPECT_EQ(*file, expected);

    // A, A', A'', B: the sequence names A's frame three times.
    list.RemoveAllItems();
    AddOriginal(100);
    AddDuplicateOf(0, 100);
    AddDuplicateOf(0, 100);
    AddOriginal(100);
    AniWriteInputs inputs;
    ASSERT_EQ(MapItemsToAniInputs(list, false, options, &inputs), AniInputsOk);
    EXPECT_EQ(inputs.sequence, (std::vector<std::uint32_t>{0, 0, 0, 1}));
    EXPECT_EQ(inputs.records.size(), 2u);
    EXPECT_TRUE(inputs.rates.empty());
    EXPECT_EQ(inputs.defaultRate, 6u);
}

TEST_F(AniSave, EqualRatesGoIntoTheHeaderUnlessIndividualRatesAreAsked) {
    for (int i = 0; i < 3; ++i) AddOriginal(600);
    std::optional<Bytes> file = Save();
    ASSERT_TRUE(file);
    Bytes expected = AniFileBytes({
        RiffChunk("anih", AnihData(3, 3, 36, 3)),
        RiffList("fram", {RiffChunk("icon", ExpectedCursor({Record(0)})),
                          RiffChunk("icon", ExpectedCursor({Record(1)})),
                          RiffChunk("icon", ExpectedCursor({Record(2)}))}),
        RiffChunk("seq ", U32Values({0, 1, 2})),
    });
    EXPECT_EQ(*file, expected);

    options.individualRates = true;
    AniWriteInputs inputs;
    ASSERT_EQ(MapItemsToAniInputs(list, false, options, &inputs), AniInputsOk);
    EXPECT_EQ(inputs.rates, (std::vector<std::uint32_t>{36, 36, 36}));
    EXPECT_EQ(inputs.defaultRate, 0u);
}

TEST_F(AniSave, ASelectionFormsFramesOfNImagesWithoutASequence) {
    options.imagesPerDirectory = 2;
    AddOriginal(100);
    AddOriginal(999);
    AddOriginal(200);
    AddDuplicateOf(0, 999);
    AddOriginal(50);  // not selected
    for (int i = 0; i < 4; ++i) list.SetSelected(i, true);
    std::optional<Bytes> file = Save(true);
    ASSERT_TRUE(file);
    Bytes expected = AniFileBytes({
        RiffChunk("anih", AnihData(2, 2, 0, 1)),
        RiffList("fram", {RiffChunk("icon", ExpectedCursor({Record(0), Record(1)})),
                          RiffChunk("icon", ExpectedCursor({Record(2), Record(3)}))}),
        RiffChunk("rate", U32Values({6, 12})),
    });
    EXPECT_EQ(*file, expected);

    // Five items do not make frames of two: nothing is written.
    std::filesystem::remove(path);
    list.SetSelected(4, true);
    EXPECT_FALSE(Save(true));
    EXPECT_EQ(mapped, AniInputsImageCount);
    EXPECT_FALSE(std::filesystem::exists(path));

    // Nothing selected: nothing to write.
    for (int i = 0; i < 5; ++i) list.SetSelected(i, false);
    EXPECT_FALSE(Save(true));
    EXPECT_EQ(mapped, AniInputsNothing);
}

TEST_F(AniSave, NameAndArtistAreWrittenAsWindows1252) {
    AddOriginal(100);
    options.name = "Caf\xC3\xA9";
    options.artist = "\xE2\x82\xAC uro \xE2\x98\x83";  // the snowman has no byte
    std::optional<Bytes> file = Save();
    ASSERT_TRUE(file);
    Bytes expected = AniFileBytes({
        RiffList("INFO", {RiffChunk("INAM", {'C', 'a', 'f', 0xE9, 0}),
                          RiffChunk("IART", {0x80, ' ', 'u', 'r', 'o', ' ', '?', 0})}),
        RiffChunk("anih", AnihData(1, 1, 6, 3)),
        RiffList("fram", {RiffChunk("icon", ExpectedCursor({Record(0)}))}),
        RiffChunk("seq ", U32Values({0})),
    });
    EXPECT_EQ(*file, expected);

    // Only an artist: the name is written empty.
    options.name.clear();
    file = Save();
    ASSERT_TRUE(file);
    Bytes info = RiffList("INFO", {RiffChunk("INAM", {0}),
                                   RiffChunk("IART", {0x80, ' ', 'u', 'r', 'o', ' ', '?', 0})});
    EXPECT_EQ(Bytes(file->begin() + 12, file->begin() + 12 + info.size()), info);
}

TEST_F(AniSave, WhatIsWrittenReadsBackAsTheSameItems) {
    AddOriginal(100, 1, 1);
    AddOriginal(200, 33, 4);
    AddDuplicateOf(1, 300);
    AddOriginal(400, 17, 32);
    AddDuplicateOf(0, 500);
    options.name = "n";
    ASSERT_TRUE(Save());

    AniContent content;
    AniHeader anih;
    ASSERT_EQ(ReadAniFile(path.c_str(), &content, &anih), IconOk);
    CItemList read;
    CAnimatedCursorCompilation compilation("x.ani");
    ImportAniContent({read, compilation}, anih, content, true);
    ASSERT_EQ(read.Count(), list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        SCOPED_TRACE(i);
        const tagILVITEM* before = list.Item(i);
        const tagILVITEM* after = read.Item(i);
        EXPECT_EQ(after->IsDuplicate(), before->IsDuplicate());
        EXPECT_EQ(read.IndexOf(&after->Image()), list.IndexOf(&before->Image()));
        // A duplicate gives only a step: it reads back with its image's hot spot.
        EXPECT_EQ(after->frameInfo.hotspotX, before->Image().frameInfo.hotspotX);
        EXPECT_EQ(after->frameInfo.delay,
                  JiffiesToMilliseconds(MillisecondsToJiffies(before->frameInfo.delay)));
        const DibHeader* h = before->Image().header;
        const tagILVITEM& image = after->Image();
        ASSERT_EQ(image.header->biWidth, h->biWidth);
        ASSERT_EQ(image.header->biBitCount, h->biBitCount);
        // The picture: masked pixels read back as 0, the others unchanged.
        const std::size_t stride = RowStride(static_cast<std::uint32_t>(h->biWidth), 1);
        EXPECT_EQ(BlockBytes(image.mask, 2 * stride), BlockBytes(before->Image().mask, 2 * stride));
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < h->biWidth; ++x) {
                const std::uint8_t* maskRow = before->Image().mask + (1 - y) * stride;
                bool masked = (maskRow[x / 8] >> (7 - x % 8)) & 1;
                int expectedIndex = -1, actualIndex = -1;
                std::uint32_t expected = DibGetPixel(h, before->Image().bits, x, y, &expectedIndex);
                std::uint32_t actual = DibGetPixel(image.header, image.bits, x, y, &actualIndex);
                if (masked) {
                    EXPECT_TRUE(h->biBitCount <= 8 ? actualIndex == 0 : actual == 0);
                } else {
                    EXPECT_EQ(actual, expected);
                    EXPECT_EQ(actualIndex, expectedIndex);
                }
            }
        }
    }
    EXPECT_EQ(compilation.ani.name, "n");
    EXPECT_EQ(compilation.ani.imagesPerDirectory, 1);
    EXPECT_TRUE(compilation.ani.individualRates);
}

TEST_F(AniSave, WriterRefusesBadArgumentsAndKeepsTheOldFile) {
    AddOriginal(100);
    AddOriginal(100);
    tagICON_IMAGE_INFO records[2] = {Record(0), Record(1)};
    const std::uint32_t seq[1] = {0};
    struct Case {
        const char* name;
        const char* path;
        const tagICON_IMAGE_INFO* records;
        std::size_t count, perFrame;
        const std::uint32_t* sequence;
        std::size_t steps;
    } cases[] = {
        {"null path", nullptr, records, 2, 1, nullptr, 0},
        {"null records", path.c_str(), nullptr, 2, 1, nullptr, 0},
        {"no records", path.c_str(), records, 0, 1, nullptr, 0},
        {"no images per frame", path.c_str(), records, 2, 0, nullptr, 0},
        {"more per frame than records", path.c_str(), records, 1, 2, nullptr, 0},
        {"records not a multiple", path.c_str(), records, 2, 3, nullptr, 0},
        {"a sequence of no steps", path.c_str(), records, 2, 1, seq, 0},
    };
    WriteBytes(path, {'o', 'l', 'd'});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WriteAniFile(c.path, c.records, c.count, c.perFrame, 0, nullptr, c.sequence,
                               c.steps, nullptr, nullptr),
                  IconInvalidArg);
    }
    // An image that cannot be built: its code.
    tagICON_IMAGE_INFO broken[2] = {Record(0), Record(1)};
    DibHeader zeroWidth = *broken[1].header;
    zeroWidth.biWidth = 0;
    broken[1].header = &zeroWidth;
    EXPECT_EQ(WriteAniFile(path.c_str(), broken, 2, 1, 0, nullptr, nullptr, 0, nullptr, nullptr),
              IconBadFormat);
    EXPECT_EQ(ReadBytes(path), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    errno = 0;
    EXPECT_EQ(WriteAniFile(dir.File("no/such.ani").c_str(), records, 2, 1, 0, nullptr, nullptr, 0,
                           nullptr, nullptr),
              IconSystemError);
    EXPECT_EQ(errno, ENOENT);
}

TEST(Codepage, Windows1252BothWays) {
    EXPECT_EQ(Utf8ToWindows1252("plain"), "plain");
    EXPECT_EQ(Utf8ToWindows1252("\xC3\xA9\xE2\x82\xAC\xC5\xB8"), "\xE9\x80\x9F");
    EXPECT_EQ(Utf8ToWindows1252("\xE4\xB8\xAD"), "?");  // no such character
    EXPECT_EQ(Utf8ToWindows1252("a\xFF"
                                "b\xC3"),
              "a?b?");                                      // not UTF-8
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xA9"), "??");         // overlong
    EXPECT_EQ(Utf8ToWindows1252("\xF0\x9F\x98\x80"), "?");  // beyond the BMP
    for (int byte = 1; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        std::string one(1, static_cast<char>(byte));
        std::optional<std::string> utf8 = Windows1252ToUtf8(one);
        const bool undefined =
            byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        ASSERT_EQ(utf8.has_value(), !undefined);
        if (utf8) {
            EXPECT_EQ(Utf8ToWindows1252(*utf8), one);
        }
    }
}
