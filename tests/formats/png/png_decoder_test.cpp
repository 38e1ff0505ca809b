#include "formats/png/png_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "core/dib.h"
#include "formats/png/png_test_support.h"
#include "support/test_files.h"

namespace {

PngResult Decode(const Bytes& file, Collected* out, PngHeaderInfo* header = nullptr) {
    return DecodePng(file.data(), file.size(), Collected::Sink, out, header);
}

// A still image made of rows of unfiltered samples.
Bytes StillPng(std::uint32_t width, std::uint32_t height, int depth, int colorType,
               const std::vector<Bytes>& rows, const Bytes& plte = {}) {
    PngBuilder png;
    png.Ihdr(width, height, depth, colorType);
    if (!plte.empty()) png.Chunk("PLTE", plte);
    return png.Chunk("IDAT", Compress(UnfilteredRows(rows))).Iend().Data();
}

}  // namespace

// Every file of the PNG test suite: the valid ones decode to libpng's pixels,
// the broken ones (names starting with x) give the codes their faults call for.
TEST(PngDecoder, MatchesLibpngOverTheTestSuite) {
    REQUIRE_CORPUS(suite, "png/pngsuite");
    const std::map<std::string, PngResult> broken = {
        {"xc1n0g08.png", PngBadFormat},  // colour type 1
        {"xc9n2c08.png", PngBadFormat},  // colour type 9
        {"xcrn0g04.png", PngNotPng},     // line ends converted: signature damaged
        {"xcsn0g01.png", PngBadCrc},     // IDAT CRC wrong
        {"xd0n2c08.png", PngBadFormat},  // bit depth 0
        {"xd3n2c08.png", PngBadFormat},  // bit depth 3
        {"xd9n2c08.png", PngBadFormat},  // bit depth 99
        {"xdtn0g01.png", PngBadFormat},  // no IDAT
        {"xhdn0g08.png", PngBadCrc},     // IHDR CRC wrong
        {"xlfn0g04.png", PngNotPng},     // line ends converted: signature damaged
        {"xs1n0g01.png", PngNotPng},     // signature byte 1 wrong
        {"xs2n0g01.png", PngNotPng},    {"xs4n0g01.png", PngNotPng}, {"xs7n0g01.png", PngNotPng},
    };
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(suite))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    int valid = 0, invalid = 0;
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const Bytes file = ReadBytes(path);
        Collected got;
        PngHeaderInfo header;
        const PngResult rc = Decode(file, &got, &header);
        if (name[0] == 'x') {
            ASSERT_TRUE(broken.count(name)) << "a broken file without an expected code";
            EXPECT_EQ(rc, broken.at(name));
            EXPECT_TRUE(got.images.empty());
            ++invalid;
            continue;
        }
        const ReferenceImage ref = DecodeWithLibpng(file);
        ASSERT_EQ(ref.error, "");
        ASSERT_EQ(rc, PngOk);
        ASSERT_EQ(got.images.size(), 1u);
        EXPECT_EQ(got.images[0].frameIndex, -1);
        EXPECT_EQ(header.width, ref.width);
        EXPECT_EQ(header.height, ref.height);
        EXPECT_EQ(header.bitDepth, ref.bitDepth);
        EXPECT_EQ(header.colorType, ref.colorType);
        EXPECT_EQ(header.interlaceMethod, ref.interlace);
        ExpectMatchesReference(ref, got.images[0]);
        ++valid;
    }
    EXPECT_EQ(invalid, static_cast<int>(broken.size()));
    EXPECT_GT(valid, 150);
}

// Interlaced images of every colour type and depth, written by libpng, decode to
// the same pixels as their non-interlaced twins; sizes cover partial Adam7 passes.
TEST(PngDecoder, InterlacedImagesOfEveryDepthMatchLibpng) {
    struct Case {
        int colorType, depth;
    };
    const Case cases[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                          {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{1, 1}, {3, 2}, {9, 11}, {37, 5}};
    for (const Case& c : cases) {
        const int channels = c.colorType == 2 ? 3 : c.colorType == 4 ? 2 : c.colorType == 6 ? 4 : 1;
        const unsigned maxSample = c.depth >= 8 ? 255 : (1u << c.depth) - 1;
        Bytes palette;
        for (unsigned i = 0; i < (1u << std::min(c.depth, 8)); ++i)
            palette.insert(palette.end(),
                           {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7)});
        for (auto [w, h] : sizes) {
            SCOPED_TRACE("type " + std::to_string(c.colorType) + " depth " +
                         std::to_string(c.depth) + " " + std::to_string(w) + "x" +
                         std::to_string(h));
            std::vector<Bytes> samples(h, Bytes(std::size_t{w} * channels));
            for (std::uint32_t y = 0; y < h; ++y)
                for (std::size_t i = 0; i < samples[y].size(); ++i)
                    samples[y][i] = std::uint8_t((y * 31 + i * 17 + y * i) % (maxSample + 1));
            Bytes twinBits;  // the whole pixel block, row padding included
            for (bool interlaced : {false, true}) {
                const Bytes file = EncodeWithLibpng(w, h, c.depth, c.colorType, interlaced, samples,
                                                    c.colorType == 3 ? palette : Bytes{});
                Collected got;
                ASSERT_EQ(Decode(file, &got), PngOk);
                ASSERT_EQ(got.images.size(), 1u);
                ExpectMatchesReference(DecodeWithLibpng(file), got.images[0]);
                const DibHeader* header = got.images[0].header.get();
                const std::uint8_t* bits = got.images[0].bits.get();
                const Bytes block(bits, bits + RowStride(w, header->biBitCount) * h);
                if (interlaced)
                    EXPECT_EQ(block, twinBits);
                else
                    twinBits = block;
            }
        }
    }
}

TEST(PngDecoder, ChunkStructureFaults) {
    const Bytes idat = Compress(UnfilteredRows({{0}}));
    const Bytes goodIhdr = PngBuilder().Ihdr(1, 1, 8, 0).Data();
    struct Case {
        const char* what;
        Bytes file;
        PngResult expected;
    };
    Bytes flipped = PngBuilder()
                        .Ihdr(1, 1, 8, 0)
                        .Chunk("tEXt", {'a', 0, 'b'})
                        .Chunk("IDAT", idat)
                        .Iend()
                        .Data();
    flipped[33 + 8 + 2] ^= 0x04;  // a data bit of the skipped tEXt chunk
    Bytes truncated = PngBuilder().Ihdr(1, 1, 8, 0).Chunk("IDAT", idat).Iend().Data();
    truncated.resize(truncated.size() - 12);
    Bytes overlong = PngBuilder().Ihdr(1, 1, 8, 0).Chunk("IDAT", idat).Iend().Data();
    overlong[33 + 3] = 0xFF;  // IDAT length beyond the file
    const Case cases[] = {
        {"empty after signature", PngBuilder().Data(), PngBadFormat},
        {"short signature", Bytes{0x89, 'P', 'N'}, PngNotPng},
        {"first chunk not IHDR",
         PngBuilder()
             .Chunk("gAMA", {0, 0, 0, 1})
             .Ihdr(1, 1, 8, 0)
             .Chunk("IDAT", idat)
             .Iend()
             .Data(),
         PngBadFormat},
        {"two IHDR",
         PngBuilder().Ihdr(1, 1, 8, 0).Ihdr(1, 1, 8, 0).Chunk("IDAT", idat).Iend().Data(),
         PngBadFormat},
        {"IHDR of 12 bytes",
         PngBuilder().Chunk("IHDR", Bytes(goodIhdr.begin() + 16, goodIhdr.begin() + 28)).Data(),
         PngBadFormat},
        {"flipped bit in a skipped chunk", flipped, PngBadCrc},
        {"no IEND", truncated, PngBadFormat},
        {"chunk longer than the file", overlong, PngBadFormat},
        {"no IDAT", PngBuilder().Ihdr(1, 1, 8, 0).Iend().Data(), PngBadFormat},
        {"palette image without PLTE",
         PngBuilder().Ihdr(1, 1, 8, 3).Chunk("IDAT", idat).Iend().Data(), PngBadFormat},
        {"IDAT before PLTE",
         PngBuilder().Ihdr(1, 1, 8, 3).Chunk("IDAT", idat).Chunk("PLTE", {1, 2, 3}).Iend().Data(),
         PngBadFormat},
        {"width 0", PngBuilder().Ihdr(0, 1, 8, 0).Chunk("IDAT", idat).Iend().Data(), PngBadFormat},
        {"width above 2^31 - 1",
         PngBuilder().Ihdr(0x80000000u, 1, 1, 0).Chunk("IDAT", idat).Iend().Data(), PngBadFormat},
        {"fcTL in a still file",
         PngBuilder().Ihdr(1, 1, 8, 0).Fctl(0, 1, 1, 0, 0, 1, 1).Chunk("IDAT", idat).Iend().Data(),
         PngBadFormat},
        {"fdAT in a still file",
         PngBuilder().Ihdr(1, 1, 8, 0).Chunk("IDAT", idat).Fdat(1, idat).Iend().Data(),
         PngBadFormat},
        {"acTL after IDAT",
         PngBuilder().Ihdr(1, 1, 8, 0).Chunk("IDAT", idat).Actl(1, 0).Iend().Data(), PngBadFormat},
        {"short fcTL",
         PngBuilder()
             .Ihdr(1, 1, 8, 0)
             .Actl(1, 0)
             .Chunk("fcTL", Bytes(25))
             .Chunk("IDAT", idat)
             .Iend()
             .Data(),
         PngBadFormat},
        {"bytes after IEND",
         [&] {
             Bytes f = PngBuilder().Ihdr(1, 1, 8, 0).Chunk("IDAT", idat).Iend().Data();
             f.insert(f.end(), {1, 2, 3, 4, 5});
             return f;
         }(),
         PngOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Collected got;
        EXPECT_EQ(Decode(c.file, &got), c.expected);
        EXPECT_EQ(got.images.size(), c.expected == PngOk ? 1u : 0u);
    }
    Collected unused;
    EXPECT_EQ(DecodePng(nullptr, 10, Collected::Sink, &unused, nullptr), PngInvalidArg);
    EXPECT_EQ(DecodePng(goodIhdr.data(), 0, Collected::Sink, &unused, nullptr), PngInvalidArg);
    EXPECT_EQ(DecodePng(goodIhdr.data(), goodIhdr.size(), nullptr, nullptr, nullptr),
              PngInvalidArg);
}

TEST(PngDecoder, CompressedDataFaults) {
    const Bytes rows = UnfilteredRows({{1, 2, 3}, {4, 5, 6}});
    const Bytes full = Compress(rows);
    struct Case {
        const char* what;
        Bytes idat;
        PngResult expected;
    };
    Bytes corrupt = full;
    corrupt[0] = 0x00;  // not a zlib header
    const Case cases[] = {
        {"stream cut short", Bytes(full.begin(), full.begin() + full.size() / 2), PngFailed},
        {"not zlib", corrupt, PngFailed},
        {"empty IDAT", {}, PngFailed},
        {"complete stream with one row missing", Compress(UnfilteredRows({{1, 2, 3}})),
         PngBadFormat},
        {"complete stream with extra data",
         Compress(UnfilteredRows({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}})), PngOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Collected got;
        EXPECT_EQ(Decode(PngBuilder().Ihdr(3, 2, 8, 0).Chunk("IDAT", c.idat).Iend().Data(), &got),
                  c.expected);
    }
}

TEST(PngDecoder, RefusesOversizedImagesBeforeAllocating) {
    const Bytes tiny = Compress(UnfilteredRows({{0, 0, 0, 0}}));
    Collected got;
    // 60000 x 60000 RGBA: 14.4 GB of DIB.
    EXPECT_EQ(Decode(PngBuilder().Ihdr(60000, 60000, 8, 6).Chunk("IDAT", tiny).Iend().Data(), &got),
              PngOutOfMemory);
    // 16000 x 16000 RGBA (1.02 GB) is within the limit; its data ends after one row.
    EXPECT_EQ(Decode(PngBuilder().Ihdr(16000, 16000, 8, 6).Chunk("IDAT", tiny).Iend().Data(), &got),
              PngBadFormat);
    EXPECT_TRUE(got.images.empty());
}

TEST(PngDecoder, ConversionRules) {
    {
        SCOPED_TRACE("2-bit gray: value 2 is index 2, gray 170");
        Collected got;
        ASSERT_EQ(Decode(StillPng(4, 1, 2, 0, {{0b00011011}}), &got), PngOk);
        const auto& image = got.images.at(0);
        EXPECT_EQ(image.header->biBitCount, 4);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(DibValueAt(image.header.get(), image.bits.get(), x, 0), unsigned(x));
        EXPECT_EQ(ColorTableOf(image.header.get())[2].rgbRed, 170);
        EXPECT_EQ(ColorTableOf(image.header.get())[15].rgbRed, 0);
        EXPECT_EQ(image.bits.get()[0], 0x01);
        EXPECT_EQ(image.bits.get()[1], 0x23);
    }
    {
        SCOPED_TRACE("16-bit RGB keeps the high bytes, stored B, G, R");
        Collected got;
        ASSERT_EQ(Decode(StillPng(1, 1, 16, 2, {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}}), &got),
                  PngOk);
        const auto& image = got.images.at(0);
        EXPECT_EQ(image.header->biBitCount, 24);
        EXPECT_EQ(image.bits.get()[0], 0x9A);
        EXPECT_EQ(image.bits.get()[1], 0x56);
        EXPECT_EQ(image.bits.get()[2], 0x12);
        EXPECT_EQ(image.bits.get()[3], 0);  // row padding is zeroed
    }
    {
        SCOPED_TRACE("an 8-bit palette of 200 entries: the rest of the table is black");
        Bytes plte;
        for (int i = 0; i < 200; ++i) plte.insert(plte.end(), {std::uint8_t(i), 1, 2});
        Collected got;
        ASSERT_EQ(Decode(StillPng(2, 1, 8, 3, {{199, 200}}, plte), &got), PngOk);
        const RgbQuad* table = ColorTableOf(got.images.at(0).header.get());
        EXPECT_EQ(table[199].rgbRed, 199);
        EXPECT_EQ(table[199].rgbBlue, 2);
        EXPECT_EQ(table[200].rgbRed, 0);
        EXPECT_EQ(table[200].rgbBlue, 0);
        EXPECT_EQ(DibValueAt(got.images[0].header.get(), got.images[0].bits.get(), 1, 0), 200u);
    }
    {
        SCOPED_TRACE("a filter type above 4 is read as None");
        Bytes raw = {7, 10, 20, 0, 30, 40};
        PngBuilder png;
        png.Ihdr(2, 2, 8, 0).Chunk("IDAT", Compress(raw)).Iend();
        Collected got;
        ASSERT_EQ(Decode(png.Data(), &got), PngOk);
        EXPECT_EQ(DibValueAt(got.images[0].header.get(), got.images[0].bits.get(), 1, 0), 20u);
        EXPECT_EQ(DibValueAt(got.images[0].header.get(), got.images[0].bits.get(), 1, 1), 40u);
    }
    {
        SCOPED_TRACE("a still image split over three IDAT chunks");
        const Bytes z = Compress(UnfilteredRows({{1, 2}, {3, 4}}));
        const std::size_t a = z.size() / 3, b = 2 * z.size() / 3;
        PngBuilder png;
        png.Ihdr(2, 2, 8, 0)
            .Chunk("IDAT", Bytes(z.begin(), z.begin() + a))
            .Chunk("tEXt", {'k', 0, 'v'})
            .Chunk("IDAT", Bytes(z.begin() + a, z.begin() + b))
            .Chunk("IDAT", Bytes(z.begin() + b, z.end()))
            .Iend();
        Collected got;
        ASSERT_EQ(Decode(png.Data(), &got), PngOk);
        ASSERT_EQ(got.images.size(), 1u);
        EXPECT_EQ(DibValueAt(got.images[0].header.get(), got.images[0].bits.get(), 1, 1), 4u);
    }
}

TEST(PngDecoder, AnimationChunks) {
    const Bytes frame0 = Compress(UnfilteredRows({{10, 11}, {12, 13}}));
    const Bytes frame1 = Compress(UnfilteredRows({{20}}));
    {
        SCOPED_TRACE("acTL, fcTL 0, IDAT, fcTL 1, fdAT 2, IEND");
        PngBuilder png;
        png.Ihdr(2, 2, 8, 0).Actl(2, 3).Fctl(0, 2, 2, 0, 0, 1, 10).Chunk("IDAT", frame0);
        png.Fctl(1, 1, 1, 1, 1, 1, 3, 1, 1).Fdat(2, frame1).Iend();
        Collected got;
        ASSERT_EQ(Decode(png.Data(), &got), PngOk);
        ASSERT_EQ(got.animation.size(), 1u);
        EXPECT_EQ(got.animation[0].numFrames, 2u);
        EXPECT_EQ(got.animation[0].numPlays, 3u);
        ASSERT_EQ(got.frames.size(), 2u);
        EXPECT_EQ(got.frames[1].xOffset, 1u);
        EXPECT_EQ(got.frames[1].delayDenominator, 3);
        EXPECT_EQ(got.frames[1].disposeOp, 1);
        EXPECT_EQ(got.frames[1].blendOp, 1);
        ASSERT_EQ(got.images.size(), 2u);
        EXPECT_EQ(got.images[0].frameIndex, -1);
        EXPECT_EQ(got.images[0].header->biWidth, 2);
        EXPECT_EQ(got.images[1].frameIndex, 2);
        EXPECT_EQ(got.images[1].header->biWidth, 1);  // the fcTL's size
        EXPECT_EQ(DibValueAt(got.images[1].header.get(), got.images[1].bits.get(), 0, 0), 20u);
    }
    {
        SCOPED_TRACE("default image over two IDAT chunks, frame over two fdAT chunks");
        const Bytes big = Compress(UnfilteredRows({{30, 31, 32}, {33, 34, 35}}));
        const std::size_t half0 = frame0.size() / 2, half1 = big.size() / 2;
        PngBuilder png;
        png.Ihdr(2, 2, 8, 0).Actl(2, 0).Fctl(0, 2, 2, 0, 0, 1, 10);
        png.Chunk("IDAT", Bytes(frame0.begin(), frame0.begin() + half0));
        png.Chunk("IDAT", Bytes(frame0.begin() + half0, frame0.end()));
        png.Fctl(1, 3, 2, 0, 0, 1, 10);
        png.Fdat(2, Bytes(big.begin(), big.begin() + half1))
            .Fdat(3, Bytes(big.begin() + half1, big.end()));
        png.Iend();
        Collected got;
        ASSERT_EQ(Decode(png.Data(), &got), PngOk);
        ASSERT_EQ(got.images.size(), 2u);
        EXPECT_EQ(DibValueAt(got.images[0].header.get(), got.images[0].bits.get(), 1, 1), 13u);
        EXPECT_EQ(got.images[1].frameIndex, 2);  // the first fdAT's sequence number
        EXPECT_EQ(DibValueAt(got.images[1].header.get(), got.images[1].bits.get(), 2, 1), 35u);
    }
    {
        SCOPED_TRACE("a second, separate IDAT in an animation");
        PngBuilder png;
        png.Ihdr(2, 2, 8, 0)
            .Actl(1, 0)
            .Chunk("IDAT", frame0)
            .Fctl(0, 1, 1, 0, 0, 1, 1)
            .Chunk("IDAT", frame0)
            .Iend();
        Collected got;
        EXPECT_EQ(Decode(png.Data(), &got), PngBadFormat);
        EXPECT_EQ(got.images.size(), 1u);  // the default image was delivered before
    }
    {
        SCOPED_TRACE("the sink stops the walk");
        PngBuilder png;
        png.Ihdr(2, 2, 8, 0)
            .Actl(2, 0)
            .Chunk("IDAT", frame0)
            .Fctl(0, 1, 1, 0, 0, 1, 1)
            .Fdat(1, frame1)
            .Iend();
        Collected got;
        got.stopAfterImages = 0;
        EXPECT_EQ(Decode(png.Data(), &got), PngFailed);
        EXPECT_EQ(got.images.size(), 1u);
    }
}

// Every APNG of the corpus: the frame records and images come out as the file
// holds them (checked against an independent walk of the fcTL chunks).
TEST(PngDecoder, AnimatedCorpusFiles) {
    REQUIRE_CORPUS(dir, "apng");
    int decoded = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".png") continue;
        SCOPED_TRACE(entry.path().string());
        const Bytes file = ReadBytes(entry.path());
        Collected got;
        PngHeaderInfo header;
        const PngResult rc = Decode(file, &got, &header);
        EXPECT_TRUE(rc == PngOk || rc == PngBadFormat || rc == PngFailed || rc == PngBadCrc) << rc;
        if (rc != PngOk) continue;
        ++decoded;
        // The fcTL chunks, read straight from the bytes.
        std::vector<Bytes> fctl;
        for (std::size_t at = 8; at + 12 <= file.size();) {
            const std::uint32_t length =
                file[at] << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
            if (std::string(file.begin() + at + 4, file.begin() + at + 8) == "fcTL")
                fctl.emplace_back(file.begin() + at + 8, file.begin() + at + 8 + length);
            at += 12 + length;
        }
        ASSERT_EQ(got.frames.size(), fctl.size());
        for (std::size_t i = 0; i < fctl.size(); ++i) {
            const Bytes& f = fctl[i];
            const auto& r = got.frames[i];
            EXPECT_EQ(r.sequenceNumber, std::uint32_t(f[0] << 24 | f[1] << 16 | f[2] << 8 | f[3]));
            EXPECT_EQ(r.xOffset, std::uint32_t(f[12] << 24 | f[13] << 16 | f[14] << 8 | f[15]));
            EXPECT_EQ(r.yOffset, std::uint32_t(f[16] << 24 | f[17] << 16 | f[18] << 8 | f[19]));
            EXPECT_EQ(r.delayNumerator, f[20] << 8 | f[21]);
            EXPECT_EQ(r.delayDenominator, f[22] << 8 | f[23]);
            EXPECT_EQ(r.disposeOp, f[24]);
            EXPECT_EQ(r.blendOp, f[25]);
        }
        for (const auto& image : got.images) {
            ASSERT_NE(image.header.get(), nullptr);
            ASSERT_NE(image.bits.get(), nullptr);
        }
    }
    EXPECT_GT(decoded, 40);
}
