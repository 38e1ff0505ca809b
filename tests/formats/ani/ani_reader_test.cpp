#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "formats/compilation.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "core/item_list.h"
#include "formats/ani/ani_file.h"
#include "support/icon_bytes.h"
#include "support/peer_tools.h"
#include "support/test_files.h"

namespace {

// A cursor file of 1-bit 2 x 2 images, one per hot spot given.
Bytes CursorFile(const std::vector<std::pair<int, int>>& hotspots, std::uint8_t seed = 1) {
    std::vector<TestEntry> entries;
    for (auto [x, y] : hotspots) {
        TestEntry entry;
        entry.width = entry.height = 2;
        entry.word4 = static_cast<std::uint16_t>(x);
        entry.word6 = static_cast<std::uint16_t>(y);
        entry.data = MakeDibBlock(2, 4, 1, 0, seed++);
        entries.push_back(std::move(entry));
    }
    return MakeIconFileBytes(2, entries);
}

// A "fram" list of `count` frames; image k of frame i has the hot spot (i, k).
Bytes Frames(int count, int imagesPerFrame = 1) {
    std::vector<Bytes> icons;
    for (int i = 0; i < count; ++i) {
        std::vector<std::pair<int, int>> hotspots;
        for (int k = 0; k < imagesPerFrame; ++k) hotspots.push_back({i, k});
        icons.push_back(RiffChunk("icon", CursorFile(hotspots, static_cast<std::uint8_t>(8 * i))));
    }
    return RiffList("fram", icons);
}

Bytes Anih(std::uint32_t frames, std::uint32_t steps = 0, std::uint32_t rate = 10,
           std::uint32_t flags = 1) {
    return RiffChunk("anih", AnihData(frames, steps ? steps : frames, rate, flags));
}

class AniFile : public testing::Test {
protected:
    IconResult Read(const Bytes& bytes) {
        content = std::make_unique<AniContent>();
        anih = AniHeader{};
        return ParseAni(bytes, content.get(), &anih);
    }

    // Imports what Read read into `list` and `compilation`.
    void Import(bool followSequence) {
        ImportAniContent({list, compilation}, anih, *content, followSequence);
    }

    std::vector<std::pair<int, int>> HotSpots() const {
        std::vector<std::pair<int, int>> out;
        for (int i = 0; i < list.Count(); ++i)
            out.push_back({list.Item(i)->frameInfo.hotspotX, list.Item(i)->frameInfo.hotspotY});
        return out;
    }
    std::vector<std::uint32_t> Delays() const {
        std::vector<std::uint32_t> out;
        for (int i = 0; i < list.Count(); ++i) out.push_back(list.Item(i)->frameInfo.delay);
        return out;
    }
    std::vector<int> References() const {
        std::vector<int> out;
        for (int i = 0; i < list.Count(); ++i) out.push_back(list.IndexOf(&list.Item(i)->Image()));
        return out;
    }

    std::string path = "t.ani";
    std::unique_ptr<AniContent> content;
    AniHeader anih;
    CItemList list;
    CAnimatedCursorCompilation compilation{"t.ani"};
};

}  // namespace

TEST(AniTiming, JiffyConversionsUseSinglePrecisionAndTruncate) {
    EXPECT_EQ(MillisecondsToJiffies(600), 36u);
    EXPECT_EQ(JiffiesToMilliseconds(36), 599u);
    EXPECT_EQ(JiffiesToMilliseconds(1), 16u);
    EXPECT_EQ(MillisecondsToJiffies(100), 6u);
    EXPECT_EQ(MillisecondsToJiffies(200), 12u);
    EXPECT_EQ(MillisecondsToJiffies(300), 18u);
    EXPECT_EQ(MillisecondsToJiffies(16), 0u);
    EXPECT_EQ(JiffiesToMilliseconds(0), 0u);
    // Far beyond the delay's range the value saturates instead of wrapping.
    EXPECT_EQ(JiffiesToMilliseconds(0xFFFFFFFFu), 0xFFFFFFFFu);
    EXPECT_EQ(JiffiesToMilliseconds(300000000u), 0xFFFFFFFFu);
}

TEST_F(AniFile, RefusesBadContainersWithTheirCodes) {
    Bytes icon = RiffChunk("icon", CursorFile({{0, 0}}));
    Bytes riffx = AniFileBytes({Anih(1), Frames(1)});
    std::memcpy(riffx.data(), "RIFX", 4);
    Bytes acon = AniFileBytes({Anih(1), Frames(1)});
    std::memcpy(acon.data() + 8, "ACOX", 4);
    Bytes wave = AniFileBytes({Anih(1), Frames(1)});
    std::memcpy(wave.data(), "RIFG", 4);
    Bytes truncated = AniFileBytes({Anih(1), Frames(1)});
    truncated.resize(truncated.size() - 5);
    Bytes halfHeader = AniFileBytes({Anih(1), Frames(1)});
    halfHeader.insert(halfHeader.end(), {'r', 'a', 't'});
    halfHeader[4] += 3;  // inside the RIFF size
    Bytes entryOutside = CursorFile({{0, 0}});
    entryOutside[6 + 12] = 0xF0;  // dwImageOffset past the chunk
    Bytes sizeOutside = CursorFile({{0, 0}});
    sizeOutside[6 + 9] = 0x10;  // dwBytesInRes past the chunk
    Bytes tooManyEntries = CursorFile({{0, 0}});
    tooManyEntries[4] = 9;
    struct Case {
        const char* name;
        Bytes bytes;
        IconResult expected;
    } cases[] = {
        {"RIFX", riffx, IconUnsupported},
        {"form type ACOX", acon, IconBadFormat},
        {"not RIFF", wave, IconBadFormat},
        {"empty", {}, IconBadFormat},
        {"only the RIFF header", AniFileBytes({}), IconBadFormat},
        {"anih of 32 bytes",
         AniFileBytes({RiffChunk("anih", U32Values({36, 1, 1, 0, 0, 0, 0, 1})), Frames(1)}),
         IconBadFormat},
        {"anih first field 32",
         AniFileBytes({RiffChunk("anih",
                                 [] {
                                     Bytes b = AnihData(1, 1, 1, 1);
                                     b[0] = 32;
                                     return b;
                                 }()),
                       Frames(1)}),
         IconBadFormat},
        {"anih without the icon flag", AniFileBytes({Anih(1, 1, 10, 2), Frames(1)}),
         IconUnsupported},
        {"no fram list", AniFileBytes({Anih(1)}), IconBadFormat},
        {"fram without a LIST", AniFileBytes({Anih(1), icon}), IconBadFormat},
        {"no anih", AniFileBytes({Frames(1)}), IconBadFormat},
        {"a second anih", AniFileBytes({Anih(1), Frames(1), Anih(1)}), IconBadFormat},
        {"last chunk cut short", truncated, IconBadFormat},
        {"half a chunk header at the end", halfHeader, IconBadFormat},
        {"a LIST of 2 bytes", AniFileBytes({Anih(1), RiffChunk("LIST", {'f', 'r'}), Frames(1)}),
         IconBadFormat},
        {"entry offset outside the icon chunk",
         AniFileBytes({Anih(1), RiffList("fram", {RiffChunk("icon", entryOutside)})}),
         IconBadFormat},
        {"entry size outside the icon chunk",
         AniFileBytes({Anih(1), RiffList("fram", {RiffChunk("icon", sizeOutside)})}),
         IconBadFormat},
        {"directory longer than the icon chunk",
         AniFileBytes({Anih(1), RiffList("fram", {RiffChunk("icon", tooManyEntries)})}),
         IconBadFormat},
        {"icon chunk shorter than a header",
         AniFileBytes({Anih(1), RiffList("fram", {RiffChunk("icon", {0, 0, 2})})}), IconBadFormat},
        {"image that does not decode",
         AniFileBytes({Anih(1), RiffList("fram", {RiffChunk("icon",
                                                            [] {
                                                                Bytes b = CursorFile({{0, 0}});
                                                                b[22 + 14] = 12;  // biBitCount 12
                                                                return b;
                                                            }())})}),
         IconBadFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.bytes), c.expected);
    }
}

TEST_F(AniFile, ReadsChunksInAnyOrderAndSkipsWhatItDoesNotKnow) {
    Bytes rate6 = RiffChunk("rate", Bytes{1, 0, 0, 0, 2, 0});
    Bytes file = AniFileBytes({
        RiffChunk("seq ", U32Values({1, 0})),
        Frames(2),
        RiffChunk("junk", Bytes(5, 0xEE)),  // odd size: a pad byte follows
        rate6,                              // not a multiple of 4: skipped whole
        RiffChunk("rate", {}),              // empty: skipped
        RiffChunk("rate", U32Values({7, 8})),
        RiffChunk("rate", U32Values({9, 9})),  // only the first valid one counts
        RiffList("abcd", {RiffChunk("icon", CursorFile({{5, 5}}))}),  // other lists skipped
        RiffChunk("seq ", U32Values({0, 0})),
        Anih(2, 2, 3),
    });
    ASSERT_EQ(Read(file), IconOk);
    EXPECT_EQ(content->rates, (std::vector<std::uint32_t>{7, 8}));
    EXPECT_EQ(content->sequence, (std::vector<std::uint32_t>{1, 0}));
    ASSERT_EQ(content->images.size(), 2u);
    EXPECT_EQ(content->images[1].frameIndex, 1);
    EXPECT_EQ(content->images[1].hotspotX, 1);
    EXPECT_EQ(anih.frameCount, 2u);
    EXPECT_EQ(anih.displayRate, 3u);
    EXPECT_EQ(anih.flags, 1u);
}

TEST_F(AniFile, TheWalkCountsPadBytesAndEndsAtTheEndOfTheFile) {
    // An odd-sized chunk before the frames with an exact RIFF size: without its
    // pad byte in the running total the walk would try to read past the end.
    Bytes odd = AniFileBytes({Anih(1), RiffChunk("junk", Bytes(3, 0)), Frames(1)});
    ASSERT_EQ(Read(odd), IconOk);
    EXPECT_EQ(content->images.size(), 1u);
    // A RIFF size that claims more than the file holds.
    Bytes claimsMore = AniFileBytes({Anih(1), Frames(1)}, 100000);
    ASSERT_EQ(Read(claimsMore), IconOk);
    EXPECT_EQ(content->images.size(), 1u);
    // A RIFF size that ends before the frames: they are not part of the file.
    Bytes endsEarly = AniFileBytes({Anih(1), Frames(1)}, 4 + 44);
    EXPECT_EQ(Read(endsEarly), IconBadFormat);
    // A last odd-sized chunk without its pad byte.
    Bytes noPad = AniFileBytes({Anih(1), Frames(1), RiffChunk("junk", Bytes(3, 0))});
    noPad.pop_back();
    EXPECT_EQ(Read(noPad), IconOk);
}

TEST_F(AniFile, ListSizesThatAreSlightlyOffStillRead) {
    // An INFO list whose size counts two bytes that are not there, followed by
    // the header: the header is found where the strings end.
    Bytes info = RiffList("INFO", {RiffChunk("INAM", {'A', 0}), RiffChunk("IART", {'B', 0})});
    info[4] += 2;
    ASSERT_EQ(Read(AniFileBytes({info, Anih(2), Frames(2)})), IconOk);
    EXPECT_EQ(content->name, "A");
    EXPECT_EQ(content->images.size(), 2u);
    // A fram list whose size leaves out part of its last frame.
    Bytes frames = Frames(2);
    frames[4] -= 16;
    ASSERT_EQ(Read(AniFileBytes({Anih(2), frames, RiffChunk("rate", U32Values({4, 5}))})), IconOk);
    EXPECT_EQ(content->images.size(), 2u);
    EXPECT_EQ(content->rates, (std::vector<std::uint32_t>{4, 5}));
}

TEST_F(AniFile, NamesAndArtistsAreWindows1252) {
    struct Case {
        Bytes stored;
        const char* expected;
    } cases[] = {
        {{'C', 'a', 'f', 0xE9, 0}, "Caf\xC3\xA9"},
        {{0x80, ' ', 0x9F, 0}, "\xE2\x82\xAC \xC5\xB8"},
        {{'a', 0x81, 'b', 0}, ""},                  // 0x81 is no character: the text is dropped
        {{'n', 'o', 'z', 'e', 'r', 'o'}, "nozer"},  // the last byte makes room for the zero
        {{'x', 0, 'y', 0}, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Bytes info = RiffList("INFO", {RiffChunk("IART", c.stored), RiffChunk("INAM", c.stored),
                                       RiffChunk("INAM", {}), RiffChunk("ICOP", {'c', 0})});
        ASSERT_EQ(Read(AniFileBytes({info, Anih(1), Frames(1)})), IconOk);
        EXPECT_EQ(content->name, c.expected);
        EXPECT_EQ(content->artist, c.expected);
    }
}

TEST_F(AniFile, SinkPiecesComeInFileOrderAndTheSinkCanStop) {
    ScratchDir dir;
    const std::string file = dir.File("t.ani");
    WriteBytes(file, AniFileBytes({RiffList("INFO", {RiffChunk("INAM", {'n', 0})}), Anih(2),
                                   RiffChunk("rate", U32Values({1, 2})), Frames(2, 2)}));
    std::vector<int> kinds;
    AniContent kept;
    AniSink keep = AniContentSink(kept);
    auto sink = [&](AniPiece& piece) {
        kinds.push_back(piece.kind);
        keep(piece);
        return kinds.size() < 4;
    };
    AniHeader header;
    EXPECT_EQ(ReadAniFile(file.c_str(), sink, &header), IconStopped);
    EXPECT_EQ(kinds, (std::vector<int>{AniPieceName, AniPieceRates, AniPieceImage, AniPieceImage}));
    EXPECT_EQ(kept.images.size(), 2u);
    EXPECT_EQ(kept.images[1].frameIndex, 0);

    errno = 0;
    EXPECT_EQ(ReadAniFile(dir.File("missing.ani").c_str(), sink, &header), IconSystemError);
    EXPECT_EQ(errno, ENOENT);
    errno = 77;
    EXPECT_EQ(ReadAniFile(nullptr, sink, &header), IconInvalidArg);
    // Only the size of a file over the limit is looked at.
    const std::string huge = MakeSparseFile(dir, "huge.ani", kMaxImageFileBytes + 1);
    EXPECT_EQ(ReadAniFile(huge.c_str(), sink, &header), IconBadFormat);
    EXPECT_EQ(errno, 77);
    EXPECT_EQ(kinds.size(), 4u);
}

TEST_F(AniFile, ImportAddsEachImageOnceWithItsFramesRate) {
    // Two images per frame: both carry their frame's rate.
    ASSERT_EQ(
        Read(AniFileBytes({Anih(3, 3, 6), RiffChunk("rate", U32Values({1, 2})), Frames(3, 2)})),
        IconOk);
    Import(false);
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(Delays(), (std::vector<std::uint32_t>{16, 16, 33, 33, 99, 99}));
    EXPECT_EQ(HotSpots(),
              (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}));
    const tagILVITEM* item = list.Item(0);
    EXPECT_EQ(item->frameInfo.blendOp, 0);
    EXPECT_EQ(item->frameInfo.disposeOp, 1);
    EXPECT_NE(item->mask, nullptr);
    EXPECT_EQ(compilation.ani.imagesPerDirectory, 2);
    EXPECT_TRUE(compilation.ani.individualRates);
}

TEST_F(AniFile, TheDecisionToFollowTheSequenceDecidesHowTheImagesAreAdded) {
    Bytes file = AniFileBytes(
        {RiffList("INFO", {RiffChunk("INAM", {'N', 0}), RiffChunk("IART", {'A', 'r', 0})}),
         Anih(2, 4, 6, 3), RiffChunk("seq ", U32Values({0, 1, 0, 0})), Frames(2)});

    // Not followed: each image once, at the default rate.
    ASSERT_EQ(Read(file), IconOk);
    EXPECT_TRUE(AniSequenceUsable(anih, *content));
    Import(false);
    EXPECT_EQ(References(), (std::vector<int>{0, 1}));
    EXPECT_EQ(compilation.ani.name, "N");
    EXPECT_EQ(compilation.ani.artist, "Ar");
    EXPECT_FALSE(compilation.ani.individualRates);
    EXPECT_EQ(compilation.ani.imagesPerDirectory, 1);

    // Followed: the sequence, with duplicates of the items already added; no rate
    // chunk, so every step has the default rate.
    list.RemoveAllItems();
    ASSERT_EQ(Read(file), IconOk);
    Import(true);
    EXPECT_EQ(References(), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_TRUE(list.Item(2)->IsDuplicate());
    EXPECT_EQ(Delays(), (std::vector<std::uint32_t>{99, 99, 99, 99}));
    EXPECT_EQ(HotSpots(), (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {0, 0}, {0, 0}}));
    EXPECT_EQ(list.Item(3)->frameInfo.disposeOp, 1);
}

TEST_F(AniFile, FollowingTheSequenceAddsEveryImageOfTheNamedFrame) {
    // Frames of two images; steps 1, 0, 1, 7 (7 names no frame) with their rates.
    ASSERT_EQ(Read(AniFileBytes({Anih(2, 4, 6, 3), RiffChunk("rate", U32Values({1, 2, 3, 4})),
                                 RiffChunk("seq ", U32Values({1, 0, 1, 7})), Frames(2, 2)})),
              IconOk);
    Import(true);
    EXPECT_EQ(HotSpots(),
              (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}, {0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(References(), (std::vector<int>{0, 1, 2, 3, 0, 1}));
    EXPECT_EQ(Delays(), (std::vector<std::uint32_t>{16, 16, 33, 33, 49, 49}));
    EXPECT_EQ(compilation.ani.imagesPerDirectory, 2);
}

TEST_F(AniFile, AnUnusableSequenceIsNeverFollowed) {
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"steps differ from the sequence",
         AniFileBytes({Anih(2, 3, 6, 3), RiffChunk("seq ", U32Values({0, 1})), Frames(2)})},
        {"rates differ from the steps",
         AniFileBytes({Anih(2, 2, 6, 3), RiffChunk("seq ", U32Values({0, 1})),
                       RiffChunk("rate", U32Values({1, 2, 3})), Frames(2)})},
        {"no sequence and no steps",
         AniFileBytes({RiffChunk("anih", AnihData(2, 0, 6, 1)), Frames(2)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.RemoveAllItems();
        ASSERT_EQ(Read(c.file), IconOk);
        EXPECT_FALSE(AniSequenceUsable(anih, *content));
        Import(true);
        EXPECT_EQ(list.Count(), 2);
    }
}

TEST_F(AniFile, ImportIntoAnotherCompilationLeavesItsOptionsAlone) {
    ASSERT_EQ(Read(AniFileBytes({Anih(1), Frames(1)})), IconOk);
    CCompilation none;
    ImportAniContent({list, none}, anih, *content, false);
    EXPECT_EQ(list.Count(), 1);
}

namespace {

// The "icon" chunks of a file, found by the "LIST" "fram" marker, to hand them
// to icotool.
std::vector<Bytes> IconChunks(const Bytes& file) {
    std::vector<Bytes> icons;
    auto u32 = [&](std::size_t at) {
        return std::uint32_t{file[at]} | file[at + 1] << 8 | file[at + 2] << 16 |
               std::uint32_t{file[at + 3]} << 24;
    };
    for (std::size_t at = 12; at + 12 <= file.size(); ++at) {
        if (std::memcmp(&file[at], "LIST", 4) != 0 || std::memcmp(&file[at + 8], "fram", 4) != 0)
            continue;
        std::size_t sub = at + 12;
        while (sub + 8 <= file.size() && std::memcmp(&file[sub], "icon", 4) == 0) {
            std::uint32_t size = u32(sub + 4);
            icons.emplace_back(file.begin() + sub + 8, file.begin() + sub + 8 + size);
            sub += 8 + size + (size & 1);
        }
        break;
    }
    return icons;
}

}  // namespace

// The animated cursors of the corpus: frame counts, rates and sequences as the
// inventory lists them, and every frame's entries as icotool lists them.
TEST(AniCorpus, FilesReadWithTheirFramesRatesAndSequences) {
    REQUIRE_CORPUS(corpus, "ani");
    struct Expect {
        const char* file;
        std::size_t frames, imagesPerFrame;
        std::uint32_t steps, rate, flags;
        std::vector<std::uint32_t> rates, sequence;
        const char* name;
        const char* artist;
    } expected[] = {
        // clang-format off
        {"kimageformats/test.ani", 3, 1, 4, 10, 1, {10, 20, 10, 10}, {0, 1, 2, 1}, "ANI Test",
         "KDE Community"},
        {"imhex-patterns/ani.compatibility.hexpat.ani", 4, 1, 6, 10, 3, {4, 4, 4, 4, 4, 4},
         {0, 1, 2, 1, 0, 3}, "Alien97 move cursor", "(P)1997 by Tony Varnas"},
        {"imhex-patterns/ani.hexpat.ani", 4, 2, 4, 2, 1, {}, {}, "", ""},
        {"bibata-2019/progress.ani", 45, 1, 45, 2, 1, {}, {}, "", ""},
        {"bibata-2019/wait.ani", 45, 1, 45, 2, 1, {}, {}, "", ""},
        {"bibata-2020-clickgen/watch.ani", 60, 11, 60, 40, 1, {}, {}, "", ""},
        {"bibata-2020-clickgen/left_ptr_watch.ani", 60, 11, 60, 40, 1, {}, {}, "", ""},
        {"sdl_image/rgbrgb.ani", 6, 1, 6, 1, 1, {1, 1, 1, 1, 2, 1}, {}, "", ""},
        // clang-format on
    };
    const bool haveIcotool = OptionalProgram("icotool");
    ScratchDir dir;
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.file);
        AniContent content;
        AniHeader anih;
        IconResult result = ReadAniFile((corpus / e.file).c_str(), &content, &anih);
        ASSERT_EQ(result, IconOk);
        EXPECT_EQ(anih.frameCount, e.frames);
        EXPECT_EQ(anih.stepCount, e.steps);
        EXPECT_EQ(anih.displayRate, e.rate);
        EXPECT_EQ(anih.flags, e.flags);
        EXPECT_EQ(content.rates, e.rates);
        EXPECT_EQ(content.sequence, e.sequence);
        EXPECT_EQ(content.name, e.name);
        EXPECT_EQ(content.artist, e.artist);
        ASSERT_EQ(content.images.size(), e.frames * e.imagesPerFrame);
        EXPECT_EQ(content.images.back().frameIndex, static_cast<int>(e.frames - 1));
        if (!haveIcotool) continue;
        std::vector<Bytes> icons = IconChunks(ReadBytes(corpus / e.file));
        ASSERT_EQ(icons.size(), e.frames);
        std::size_t image = 0;
        for (const Bytes& icon : icons) {
            std::string cur = dir.File("frame.cur");
            WriteBytes(cur, icon);
            std::istringstream lines(*RunTool("icotool", "-l '" + cur + "'"));
            std::string line;
            while (std::getline(lines, line)) {
                ASSERT_LT(image, content.images.size());
                const IconImage& info = content.images[image++];
                std::string expectedStart = "--cursor --index=";
                EXPECT_EQ(line.rfind(expectedStart, 0), 0u) << line;
                EXPECT_NE(line.find(" --width=" + std::to_string(info.header->biWidth) +
                                    " --height=" + std::to_string(DibAbsHeight(info.header.get()))),
                          std::string::npos)
                    << line;
                EXPECT_NE(line.find(" --hotspot-x=" + std::to_string(info.hotspotX) +
                                    " --hotspot-y=" + std::to_string(info.hotspotY)),
                          std::string::npos)
                    << line;
                if (info.mask) {
                    EXPECT_NE(line.find(" --bit-depth=" + std::to_string(info.header->biBitCount)),
                              std::string::npos)
                        << line;
                }
            }
        }
        EXPECT_EQ(image, content.images.size());
    }
}

TEST(AniCorpus, BrokenFilesAreRefused) {
    REQUIRE_CORPUS(corpus, "");
    for (const char* file :
         {"ani/gdk-pixbuf/fail/CVE-2022-48622.ani", "ico/gdk-pixbuf/fail/invalid.3.ico"}) {
        SCOPED_TRACE(file);
        AniContent content;
        AniHeader anih;
        EXPECT_EQ(ReadAniFile((corpus / file).c_str(), &content, &anih), IconBadFormat);
    }
}
