#include "app/edit_commands.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/application.h"
#include "core/dib.h"
#include "platform/door/clipboard.h"
#include "platform/door/memory_clipboard.h"
#include "platform/door/string_table.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

const char* const kClipboardError = "Error on accessing the clipboard.";

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void Append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& more) {
    out.insert(out.end(), more.begin(), more.end());
}

class EditCommands : public testing::Test {
protected:
    CItemList& List() { return app.Items(); }
    const tagILVITEM& At(int i) { return *List().Item(i); }
    std::vector<std::uint8_t>& Private() {
        return clipboard.formats[std::string(kItemClipboardFormat)];
    }

    // One private-format record of a picture and frame values, byte by byte.
    static std::vector<std::uint8_t> Record(const tagILVITEM& picture, std::int16_t hx,
                                            std::int16_t hy, std::int32_t x, std::int32_t y,
                                            std::uint32_t delay, std::int32_t blend,
                                            std::int32_t dispose) {
        std::vector<std::uint8_t> out;
        Put(out, picture.mask ? 1 : 0, 2);
        Put(out, static_cast<std::uint16_t>(hx), 2);
        Put(out, static_cast<std::uint16_t>(hy), 2);
        Put(out, 0, 2);
        Put(out, static_cast<std::uint32_t>(x), 4);
        Put(out, static_cast<std::uint32_t>(y), 4);
        Put(out, delay, 4);
        Put(out, static_cast<std::uint32_t>(blend), 4);
        Put(out, static_cast<std::uint32_t>(dispose), 4);
        const DibHeader* h = picture.header;
        Append(out, BlockBytes(h, h->biSize + DibColorTableSize(h)));
        Append(out, BlockBytes(picture.bits, DibImageSize(h)));
        if (picture.mask)
            Append(out, BlockBytes(picture.mask, DibImageSizeFor(h->biWidth, h->biHeight, 1)));
        return out;
    }

    ScriptedInteraction ui;
    CIconmillApp app{ui};
    MemoryClipboard clipboard;
};

}  // namespace

TEST_F(EditCommands, CopyWithNothingSelectedLeavesTheClipboardAlone) {
    AddPicture(List(), 2, 2);
    clipboard.formats["text/plain"] = {'x'};
    EXPECT_FALSE(CopyItemsToClipboard(app, clipboard));
    EXPECT_EQ(clipboard.setCount, 0);
    EXPECT_EQ(clipboard.formats.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EditCommands, CopyWritesTheRecordsByteForByteAndTheFirstPictureAsPackedDib) {
    // A 1-bit picture with a mask, every frame value away from its default, and
    // a selected duplicate of an unselected 24-bit original.
    NewItem first = MakePictureItem(2, 2, 1, 0x80, true, 0x40);
    first.frameInfo = FrameInfo{100, 1, 2, 3, -2};
    first.x = 5;
    first.y = -7;
    ASSERT_EQ(List().AddItem(std::move(first)), 0);
    ASSERT_EQ(AddPicture(List(), 3, -1, 24, 0x11, true), 1);
    ASSERT_EQ(List().AddDuplicate(FrameInfo{40, 0, 1, 9, 8}, 12, 13, 1), 2);
    List().SetSelected(0, true);
    List().SetSelected(2, true);

    ASSERT_TRUE(CopyItemsToClipboard(app, clipboard));
    std::vector<std::uint8_t> expected;
    Put(expected, 2, 4);
    // The hand-written head of the first record, to pin the layout itself.
    const std::vector<std::uint8_t> head = {1, 0, 3,    0,    0xFE, 0xFF, 0,   0, 5, 0,
                                            0, 0, 0xF9, 0xFF, 0xFF, 0xFF, 100, 0, 0, 0,
                                            1, 0, 0,    0,    2,    0,    0,   0};
    Append(expected, head);
    Append(expected, BlockBytes(At(0).header, 48));  // 40 + black and white
    Append(expected, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80});
    Append(expected, {0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40});
    ASSERT_EQ(expected.size(), 4u + 28 + 48 + 8 + 8);
    // The duplicate: its reference's picture and mask, its own timing and place.
    Append(expected, Record(At(1), 9, 8, 12, 13, 40, 0, 1));
    EXPECT_EQ(Private(), expected);

    std::vector<std::uint8_t> dib = BlockBytes(At(0).header, 48);
    Append(dib, BlockBytes(At(0).bits, 8));
    EXPECT_EQ(clipboard.formats[std::string(kDibClipboardFormat)], dib);
    EXPECT_EQ(clipboard.formats.size(), 2u);
    EXPECT_FALSE(app.IsModified());

    // Pasting brings two ordinary items with their own copies of the pictures.
    ScriptedInteraction otherUi;
    CIconmillApp other(otherUi);
    AddPicture(other.Items(), 1, 1);
    ASSERT_TRUE(PasteItems(other, clipboard));
    ASSERT_EQ(other.Items().Count(), 3);
    EXPECT_TRUE(other.IsModified());
    const tagILVITEM& a = *other.Items().Item(1);
    const tagILVITEM& b = *other.Items().Item(2);
    EXPECT_FALSE(a.IsDuplicate() || b.IsDuplicate() || a.IsSelected() || b.IsSelected());
    EXPECT_EQ(a.x, 5);
    EXPECT_EQ(a.y, -7);
    EXPECT_EQ(a.frameInfo.delay, 100u);
    EXPECT_EQ(a.frameInfo.blendOp, 1);
    EXPECT_EQ(a.frameInfo.disposeOp, 2);
    EXPECT_EQ(a.frameInfo.hotspotX, 3);
    EXPECT_EQ(a.frameInfo.hotspotY, -2);
    EXPECT_EQ(BlockBytes(a.mask, 8), BlockBytes(At(0).mask, 8));
    EXPECT_EQ(Record(b, 9, 8, 12, 13, 40, 0, 1), Record(At(1), 9, 8, 12, 13, 40, 0, 1));
    EXPECT_NE(b.bits, At(1).bits);
    EXPECT_EQ(b.x, 12);
    EXPECT_EQ(b.frameInfo.hotspotY, 8);
    EXPECT_TRUE(otherUi.messages.empty());
}

TEST_F(EditCommands, ACopyTheClipboardRefusesChangesNothing) {
    AddPicture(List(), 2, 2);
    List().SelectAll();
    clipboard.formats["text/plain"] = {'x'};
    clipboard.refuseAccess = true;
    EXPECT_FALSE(CopyItemsToClipboard(app, clipboard));
    EXPECT_FALSE(CutItems(app, clipboard));
    EXPECT_EQ(List().Count(), 1);
    EXPECT_EQ(clipboard.formats.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, kClipboardError);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::None);
}

TEST_F(EditCommands, PasteRefusesPrivateDataThatDoesNotHoldWhatItSays) {
    // Two records (8-bit 2 x 1 without mask, 32-bit 1 x 3 with one); the cases
    // spoil the data after the first, whose item is still pasted.
    AddPicture(List(), 2, 1, 8, 7);
    AddPicture(List(), 1, 3, 32, 9, true);
    List().SelectAll();
    ASSERT_TRUE(CopyItemsToClipboard(app, clipboard));
    const std::vector<std::uint8_t> good = Private();
    const std::size_t firstEnd = 4 + 28 + 40 + 1024 + 4;
    ASSERT_EQ(good.size(), firstEnd + 28 + 40 + 12 + 12);

    auto cut = [&](std::size_t size) {
        return std::vector<std::uint8_t>(good.begin(), good.begin() + size);
    };
    auto with = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> out = good;
        out[at] = value;
        return out;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> data;
        int pasted;
        bool complete;
        std::size_t failedAt;
    };
    std::vector<std::uint8_t> trailing = good;
    trailing.push_back(0xEE);
    const Case cases[] = {
        {"whole", good, 2, true, 0},
        {"bytes after the records", trailing, 2, true, 0},
        {"count 0", {0, 0, 0, 0}, 0, true, 0},
        {"count above the records", with(0, 3), 2, false, good.size()},
        {"shorter than the count", {1, 0}, 0, false, 0},
        {"head of the second cut short", cut(firstEnd + 10), 1, false, firstEnd},
        {"header of the second cut short", cut(firstEnd + 28 + 20), 1, false, firstEnd},
        {"rows of the second cut short", cut(firstEnd + 28 + 40 + 5), 1, false, firstEnd},
        {"mask of the second cut short", cut(good.size() - 1), 1, false, firstEnd},
        {"colour table past the end", with(firstEnd + 28 + 32 + 3, 0x40), 1, false, firstEnd},
        {"bit count 2", with(firstEnd + 28 + 14, 2), 1, false, firstEnd},
        {"compressed header", with(firstEnd + 28 + 16, 1), 1, false, firstEnd},
        {"header size 12", with(firstEnd + 28, 12), 1, false, firstEnd},
        {"header size past the end", with(firstEnd + 28 + 3, 0x7F), 1, false, firstEnd},
        {"height 0", with(firstEnd + 28 + 8, 0), 1, false, firstEnd},
        {"width 0", with(firstEnd + 28 + 4, 0), 1, false, firstEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ClipboardItemParse parse = ParseClipboardItems(c.data);
        EXPECT_EQ(parse.complete, c.complete);
        EXPECT_EQ(parse.records.size(), static_cast<std::size_t>(c.pasted));
        if (!c.complete) {
            EXPECT_EQ(parse.failedAt, c.failedAt);
        }

        ScriptedInteraction otherUi;
        CIconmillApp other(otherUi);
        MemoryClipboard source;
        source.formats[std::string(kItemClipboardFormat)] = c.data;
        EXPECT_EQ(PasteItems(other, source), c.complete);
        EXPECT_EQ(other.Items().Count(), c.pasted);
        EXPECT_EQ(other.IsModified(), c.pasted > 0);
        if (c.pasted > 0) {
            EXPECT_EQ(other.Items().Item(0)->header->biBitCount, 8);
        }
        if (c.complete) {
            EXPECT_TRUE(otherUi.messages.empty());
        } else {
            ASSERT_EQ(otherUi.messages.size(), 1u);
            EXPECT_EQ(otherUi.messages[0].id, kStrGenericFailure);
            EXPECT_EQ(otherUi.messages[0].text,
                      "Failed to perform the operation. Some things wrong.");
        }
    }
}

TEST_F(EditCommands, PastePrefersThePrivateFormatAndNeverChangesTheType) {
    app.ReplaceCompilation(MakeCompilation(CompilationIcon, "/x/a.ico"));
    AddPicture(List(), 4, 4);
    List().SelectAll();
    ASSERT_TRUE(CopyItemsToClipboard(app, clipboard));
    // A DIB of another size beside it must not be what is pasted.
    clipboard.formats[std::string(kDibClipboardFormat)] = BlockBytes(At(0).header, 40);
    ASSERT_TRUE(PasteItems(app, clipboard));
    ASSERT_EQ(List().Count(), 2);
    EXPECT_EQ(At(1).header->biWidth, 4);
    EXPECT_EQ(app.Compilation().Type(), CompilationIcon);
}

TEST_F(EditCommands, PasteOfAPackedDib) {
    auto dibOf = [](const DibHeader& h, std::vector<std::uint8_t> tail) {
        std::vector<std::uint8_t> out = BlockBytes(&h, sizeof h);
        out.resize(h.biSize >= 40 ? h.biSize : out.size(), 0);
        if (h.biSize < 40) out.resize(h.biSize);
        Append(out, tail);
        return out;
    };
    auto header = [](std::uint32_t size, int w, int h, int bits, std::uint32_t compression) {
        DibHeader d{};
        d.biSize = size;
        d.biWidth = w;
        d.biHeight = h;
        d.biPlanes = 1;
        d.biBitCount = static_cast<std::uint16_t>(bits);
        d.biCompression = compression;
        return d;
    };
    std::vector<std::uint8_t> rgb24(8, 0x33);
    // 5-6-5 masks after a 40-byte header; one pure green pixel.
    std::vector<std::uint8_t> masks565 = {0,    0xF8, 0, 0, 0xE0, 0x07, 0, 0,
                                          0x1F, 0,    0, 0, 0xE0, 0x07, 0, 0};
    // A black table; two pixels of index 5, end of bitmap.
    std::vector<std::uint8_t> rle8(1024 + 4, 0);
    rle8[1024] = 2;
    rle8[1025] = 5;
    rle8[1027] = 1;
    struct Case {
        const char* name;
        std::vector<std::uint8_t> data;
        bool pasted;
        int bitCount;
        std::uint32_t firstPixel;
    };
    const Case cases[] = {
        {"24-bit", dibOf(header(40, 2, 1, 24, kBiRgb), rgb24), true, 24, 0x333333},
        {"bit fields", dibOf(header(40, 1, 1, 16, kBiBitfields), masks565), true, 16, 0x00F800},
        {"run length", dibOf(header(40, 2, 1, 8, kBiRle8), rle8), true, 8, 0},
        {"12-byte header", dibOf(header(12, 2, 1, 24, kBiRgb), rgb24), false, 0, 0},
        {"bit count 2", dibOf(header(40, 2, 1, 2, kBiRgb), rgb24), false, 0, 0},
        {"rows missing", dibOf(header(40, 2, 3, 24, kBiRgb), rgb24), false, 0, 0},
        {"negative width", dibOf(header(40, -2, 1, 24, kBiRgb), rgb24), false, 0, 0},
        {"JPEG", dibOf(header(40, 2, 1, 24, kBiJpeg), rgb24), false, 0, 0},
        {"shorter than a header", {40, 0, 0}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedInteraction otherUi;
        CIconmillApp other(otherUi);
        MemoryClipboard source;
        source.formats[std::string(kDibClipboardFormat)] = c.data;
        EXPECT_EQ(PasteItems(other, source), c.pasted);
        EXPECT_TRUE(otherUi.messages.empty());
        ASSERT_EQ(other.Items().Count(), c.pasted ? 1 : 0);
        if (!c.pasted) continue;
        const tagILVITEM& item = *other.Items().Item(0);
        EXPECT_EQ(item.header->biCompression, kBiRgb);
        EXPECT_EQ(item.header->biBitCount, c.bitCount);
        EXPECT_EQ(item.mask, nullptr);
        EXPECT_EQ(item.frameInfo.delay, 600u);
        EXPECT_EQ(DibGetPixel(item.header, item.bits, 0, 0) & 0xFFFFFF, c.firstPixel);
        EXPECT_TRUE(other.IsModified());
    }
}

TEST_F(EditCommands, PasteReportsWhatIsMissingOrUnreadable) {
    // Neither format: nothing shown.
    EXPECT_FALSE(PasteItems(app, clipboard));
    clipboard.formats[std::string(kItemClipboardFormat)] = {0, 0, 0, 0};
    clipboard.refuseAccess = true;
    EXPECT_FALSE(PasteItems(app, clipboard));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kClipboardError);
}

TEST_F(EditCommands, DeleteTakesTheDuplicatesOfASelectedOriginal) {
    // [A, B, dupA, dupA, C, dupB]; A and C selected.
    AddPicture(List(), 1, 1);
    AddPicture(List(), 2, 2);
    List().AddDuplicate(FrameInfo{}, 0, 0, 0);
    List().AddDuplicate(FrameInfo{}, 0, 0, 0);
    AddPicture(List(), 3, 3);
    List().AddDuplicate(FrameInfo{}, 0, 0, 1);
    List().SetSelected(0, true);
    List().SetSelected(4, true);
    DeleteSelectedItems(app);
    ASSERT_EQ(List().Count(), 2);
    EXPECT_EQ(At(0).header->biWidth, 2);
    EXPECT_EQ(At(1).reference, List().Item(0));
    EXPECT_TRUE(app.IsModified());

    // A selected duplicate alone goes; its original stays.
    List().SetSelected(1, true);
    DeleteSelectedItems(app);
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(At(0).duplicateCount, 0);
}

TEST_F(EditCommands, CutLeavesAnOriginalThatStillHasDuplicates) {
    AddPicture(List(), 5, 5);
    List().AddDuplicate(FrameInfo{}, 0, 0, 0);
    AddPicture(List(), 2, 2);
    List().SetSelected(0, true);
    List().SetSelected(2, true);
    ASSERT_TRUE(CutItems(app, clipboard));
    EXPECT_EQ(Private()[0], 2);
    ASSERT_EQ(List().Count(), 2);
    EXPECT_EQ(At(0).header->biWidth, 5);
    EXPECT_TRUE(At(1).IsDuplicate());
}

TEST_F(EditCommands, DuplicateAndDeleteAllDuplicationsMarkTheCompilation) {
    AddPicture(List(), 2, 2);
    app.ClearModified();
    EXPECT_EQ(DuplicateSelectedItems(app), 0);
    EXPECT_FALSE(app.IsModified());
    List().SelectAll();
    EXPECT_EQ(DuplicateSelectedItems(app), 1);
    EXPECT_TRUE(app.IsModified());
    app.ClearModified();
    EXPECT_EQ(DeleteAllDuplications(app), 1);
    EXPECT_TRUE(app.IsModified());
    EXPECT_EQ(List().Count(), 1);
}
