#include "formats/png/png_encoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/dib.h"
#include "formats/png/png_test_support.h"
#include "support/peer_tools.h"
#include "support/test_files.h"

namespace {

// A DIB with pseudo-random pixels (and colour table), owned by the test.
struct TestDib {
    HeaderBlock header;
    Block bits;
    tagPNG_IMAGE_INFO Info() const { return {-1, header.get(), bits.get()}; }
};

TestDib MakeDib(std::int32_t width, std::int32_t height, unsigned bitCount, unsigned seed,
                std::uint32_t clrUsed = 0) {
    const unsigned entries = clrUsed ? clrUsed : bitCount <= 8 ? 1u << bitCount : 0;
    TestDib dib;
    dib.header = AllocateHeaderBlock(40 + 4 * entries);
    DibHeader* h = dib.header.get();
    h->biSize = 40;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<std::uint16_t>(bitCount);
    h->biClrUsed = clrUsed;
    std::uint32_t state = seed * 2654435761u + 1;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state >> 16);
    };
    auto* table = reinterpret_cast<RgbQuad*>(reinterpret_cast<std::uint8_t*>(h) + 40);
    for (unsigned i = 0; i < entries; ++i) table[i] = RgbQuad{next(), next(), next(), 0};
    const std::size_t size = RowStride(static_cast<std::uint32_t>(width), bitCount) *
                             static_cast<std::size_t>(std::abs(height));
    dib.bits = AllocateBlock(size);
    for (std::size_t i = 0; i < size; ++i) dib.bits.get()[i] = next();
    if (clrUsed && bitCount == 8)  // keep the indices inside the table
        for (std::size_t i = 0; i < size; ++i) dib.bits.get()[i] %= clrUsed;
    return dib;
}

// The PNG samples the encoder must write for pixel (x, y), counted from the top.
Bytes ExpectedSamples(const DibHeader* h, const std::uint8_t* bits, int x, int y, bool gray) {
    const std::uint32_t v = DibValueAt(h, bits, x, y);
    const std::uint8_t b = v & 0xFF, g = (v >> 8) & 0xFF, r = (v >> 16) & 0xFF, a = v >> 24;
    auto avg = [](unsigned p, unsigned q, unsigned s) { return std::uint8_t((p + q + s) / 3); };
    switch (h->biBitCount) {
        case 1:
        case 4:
        case 8: {
            if (!gray) return {std::uint8_t(v)};
            const unsigned count = h->biClrUsed ? h->biClrUsed : 1u << h->biBitCount;
            const RgbQuad e = v < count ? ColorTableOf(h)[v] : RgbQuad{0, 0, 0, 0};
            const unsigned mean = avg(e.rgbRed, e.rgbGreen, e.rgbBlue);
            if (h->biBitCount == 8) return {std::uint8_t(mean)};
            const double max = (1 << h->biBitCount) - 1;
            return {std::uint8_t(std::lround(mean * max / 255.0))};
        }
        case 16: {
            const std::uint8_t r5 = ((v >> 10) & 31) << 3, g5 = ((v >> 5) & 31) << 3,
                               b5 = (v & 31) << 3;
            if (gray) return {avg(r5, g5, b5)};
            return {r5, g5, b5};
        }
        case 24:
            if (gray) return {avg(r, g, b)};
            return {r, g, b};
        default:
            if (gray) return {avg(r, g, b), a};
            return {r, g, b, a};
    }
}

Bytes Encode(const std::vector<tagPNG_IMAGE_INFO>& images, const PngSaveOptions& options,
             const tagPNG_FRAME_CONTROL_INFO* controls = nullptr, bool firstExcluded = true,
             std::uint32_t plays = 0, PngResult expected = PngOk) {
    Block buffer;
    std::size_t size = 0;
    EXPECT_EQ(EncodePng(&buffer, &size, images.data(), images.size(), controls, firstExcluded,
                        plays, options),
              expected);
    if (!buffer) return {};
    return Bytes(buffer.get(), buffer.get() + size);
}

struct ChunkView {
    std::string type;
    Bytes data;
};
std::vector<ChunkView> Chunks(const Bytes& png) {
    std::vector<ChunkView> chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length =
            png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        chunks.push_back({std::string(png.begin() + at + 4, png.begin() + at + 8),
                          Bytes(png.begin() + at + 8, png.begin() + at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}
std::string Layout(const Bytes& png) {
    std::string text;
    for (const ChunkView& c : Chunks(png)) {
        if (!text.empty()) text += ' ';
        text += c.type;
        if (c.type == "fcTL" || c.type == "fdAT") text += std::to_string(c.data[3]);
        if (c.type == "acTL") text += "(" + std::to_string(c.data[3]) + ")";
    }
    return text;
}
Bytes Inflate(const Bytes& compressed, std::size_t rawSize) {
    Bytes raw(rawSize);
    uLongf size = static_cast<uLongf>(rawSize);
    EXPECT_EQ(
        uncompress(raw.data(), &size, compressed.data(), static_cast<uLong>(compressed.size())),
        Z_OK);
    EXPECT_EQ(size, rawSize);
    return raw;
}

}  // namespace

// Every bit count, grayscale or not, interlaced or not, every filter and level,
// bottom-up and top-down: libpng reads the pixels the conversion rules ask for,
// and our decoder reads what libpng reads.
TEST(PngEncoder, RoundTripsThroughLibpngAndOurDecoder) {
    int streams = 0;
    for (unsigned bitCount : {1u, 4u, 8u, 16u, 24u, 32u}) {
        for (int gray : {0, 1}) {
            for (int interlaced : {0, 1}) {
                if (interlaced && (bitCount == 1 || bitCount == 4)) continue;
                for (int filter = 0; filter <= 6; ++filter) {
                    for (int compression = 0; compression <= 4; ++compression) {
                        const bool topDown = (filter + compression) % 2 == 1;
                        const std::int32_t width = 13 + filter, height = 9 + compression;
                        SCOPED_TRACE(::testing::Message()
                                     << bitCount << " bits, gray " << gray << ", interlaced "
                                     << interlaced << ", filter " << filter << ", compression "
                                     << compression << (topDown ? ", top-down" : ""));
                        const TestDib dib =
                            MakeDib(width, topDown ? -height : height, bitCount,
                                    bitCount * 100 + unsigned(filter * 10 + compression));
                        const Bytes png =
                            Encode({dib.Info()}, {gray != 0, interlaced != 0, filter, compression});
                        ASSERT_FALSE(png.empty());
                        const ReferenceImage ref = DecodeWithLibpng(png);
                        ASSERT_EQ(ref.error, "");
                        ASSERT_EQ(ref.interlace, interlaced);
                        for (int y = 0; y < height; ++y)
                            for (int x = 0; x < width; ++x) {
                                const Bytes expected =
                                    ExpectedSamples(dib.header.get(), dib.bits.get(), x, y, gray);
                                const Bytes got(ref.rows[y].begin() + x * ref.channels,
                                                ref.rows[y].begin() + (x + 1) * ref.channels);
                                ASSERT_EQ(got, expected) << "pixel " << x << "," << y;
                            }
                        if (!gray && bitCount <= 8) {
                            const RgbQuad* table = ColorTableOf(dib.header.get());
                            ASSERT_EQ(ref.palette.size(), 3u << bitCount);
                            for (unsigned k = 0; k < (1u << bitCount); ++k)
                                ASSERT_EQ(ref.palette[3 * k], table[k].rgbRed);
                        }
                        Collected ours;
                        ASSERT_EQ(
                            DecodePng(png.data(), png.size(), Collected::Sink, &ours, nullptr),
                            PngOk);
                        ASSERT_EQ(ours.images.size(), 1u);
                        ExpectMatchesReference(ref, ours.images[0]);
                        ++streams;
                    }
                }
            }
        }
    }
    EXPECT_EQ(streams, 20 * 35);
}

TEST(PngEncoder, StreamLayoutAndFilters) {
    const TestDib rgb = MakeDib(7, 5, 24, 1);
    {
        SCOPED_TRACE("24 bits with the default options");
        const Bytes png = Encode({rgb.Info()}, {});
        EXPECT_EQ(Layout(png), "IHDR IDAT IEND");
        const auto chunks = Chunks(png);
        EXPECT_EQ(chunks[0].data[8], 8);   // depth
        EXPECT_EQ(chunks[0].data[9], 2);   // RGB
        EXPECT_EQ(chunks[0].data[12], 0);  // not interlaced
        const Bytes raw = Inflate(chunks[1].data, 5 * (1 + 21));
        for (int y = 0; y < 5; ++y) {
            const std::uint8_t type = raw[y * 22];
            EXPECT_TRUE(type == 0 || type == 1 || type == 3) << int(type);
        }
    }
    {
        SCOPED_TRACE("filter Up on every row, the first included");
        const Bytes raw =
            Inflate(Chunks(Encode({rgb.Info()}, {0, 0, PngFilterOptionUp, 0}))[1].data, 5 * 22);
        for (int y = 0; y < 5; ++y) EXPECT_EQ(raw[y * 22], 2);
    }
    {
        SCOPED_TRACE(
            "Best picks the cheapest estimate: a ramp costs least with Sub, halves with Average");
        TestDib ramp = MakeDib(8, 2, 8, 3);
        const std::uint8_t rows[2][8] = {{10, 20, 30, 40, 50, 60, 70, 80},
                                         {200, 100, 50, 25, 12, 6, 3, 1}};
        // Bottom-up: the first stored row is the bottom row of the picture.
        std::memcpy(ramp.bits.get(), rows[1], 8);
        std::memcpy(ramp.bits.get() + 8, rows[0], 8);
        const Bytes raw = Inflate(Chunks(Encode({ramp.Info()}, {}))[2].data, 2 * 9);
        EXPECT_EQ(raw[0], 1);  // Sub: 10 + 7 x 10
        EXPECT_EQ(raw[9], 3);  // Average: 200, then 0 each; None costs 397, Sub far more
    }
    {
        SCOPED_TRACE("a 4-bit image: palette type, 16 PLTE entries");
        const TestDib four = MakeDib(5, 3, 4, 2, 3);  // 3 colours used
        const Bytes png = Encode({four.Info()}, {});
        EXPECT_EQ(Layout(png), "IHDR PLTE IDAT IEND");
        const auto chunks = Chunks(png);
        EXPECT_EQ(chunks[0].data[8], 4);
        EXPECT_EQ(chunks[0].data[9], 3);
        ASSERT_EQ(chunks[1].data.size(), 48u);
        for (std::size_t i = 9; i < 48; ++i)
            EXPECT_EQ(chunks[1].data[i], 0) << i;  // entries 3-15 black
        EXPECT_EQ(chunks[1].data[0], ColorTableOf(four.header.get())[0].rgbRed);
    }
    {
        SCOPED_TRACE("an 8-bit image keeps 256 PLTE entries; 1 bit has 2");
        EXPECT_EQ(Chunks(Encode({MakeDib(3, 3, 8, 4, 10).Info()}, {}))[1].data.size(), 768u);
        EXPECT_EQ(Chunks(Encode({MakeDib(3, 3, 1, 4).Info()}, {}))[1].data.size(), 6u);
    }
    {
        SCOPED_TRACE("interlacing: refused at 1 and 4 bits, written at 8");
        Encode({MakeDib(3, 3, 1, 5).Info()}, {0, 1, 5, 0}, nullptr, true, 0, PngBadFormat);
        Encode({MakeDib(3, 3, 4, 5).Info()}, {0, 1, 5, 0}, nullptr, true, 0, PngBadFormat);
        EXPECT_EQ(Chunks(Encode({MakeDib(3, 3, 8, 5).Info()}, {0, 1, 5, 0}))[0].data[12], 1);
    }
    {
        SCOPED_TRACE("32 bits in gray: colour type 4");
        EXPECT_EQ(Chunks(Encode({MakeDib(3, 3, 32, 6).Info()}, {1, 0, 5, 0}))[0].data[9], 4);
    }
}

TEST(PngEncoder, RefusesWhatItCannotWrite) {
    const TestDib good = MakeDib(4, 4, 24, 1);
    const TestDib other = MakeDib(4, 4, 32, 2);
    TestDib small = MakeDib(4, 4, 24, 3);
    small.header->biSize = 39;
    TestDib twoBytes = MakeDib(4, 4, 24, 3);
    twoBytes.header->biBitCount = 2;
    TestDib jpeg = MakeDib(4, 4, 24, 3);
    jpeg.header->biCompression = kBiJpeg;
    Encode({good.Info(), other.Info()}, {}, nullptr, false, 0, PngBadFormat);  // bit counts differ
    Encode({small.Info()}, {}, nullptr, true, 0, PngBadFormat);
    Encode({twoBytes.Info()}, {}, nullptr, true, 0, PngBadFormat);
    Encode({jpeg.Info()}, {}, nullptr, true, 0, PngBadFormat);
    Encode({tagPNG_IMAGE_INFO{-1, good.header.get(), nullptr}}, {}, nullptr, true, 0,
           PngInvalidArg);
    Block buffer;
    std::size_t size = 0;
    const tagPNG_IMAGE_INFO info = good.Info();
    EXPECT_EQ(EncodePng(nullptr, &size, &info, 1, nullptr, true, 0, {}), PngInvalidArg);
    EXPECT_EQ(EncodePng(&buffer, &size, nullptr, 1, nullptr, true, 0, {}), PngInvalidArg);
    EXPECT_EQ(EncodePng(&buffer, &size, &info, 0, nullptr, true, 0, {}), PngInvalidArg);
}

TEST(PngEncoder, AnimationChunkOrderAndFrames) {
    const TestDib a = MakeDib(6, 4, 32, 1), b = MakeDib(3, 2, 32, 2), c = MakeDib(5, 5, 32, 3);
    const std::vector<tagPNG_IMAGE_INFO> three = {a.Info(), b.Info(), c.Info()};
    tagPNG_FRAME_CONTROL_INFO controls[3] = {};
    for (int i = 0; i < 3; ++i) {
        controls[i].xOffset = 10u * i;
        controls[i].yOffset = 20u * i + 1;
        controls[i].delayNumerator = std::uint16_t(i + 1);
        controls[i].delayDenominator = 30;
        controls[i].disposeOp = std::uint8_t(i);
        controls[i].blendOp = std::uint8_t(i % 2);
    }
    EXPECT_EQ(Layout(Encode(three, {}, controls, false, 0)),
              "IHDR acTL(3) fcTL0 IDAT fcTL1 fdAT2 fcTL3 fdAT4 IEND");
    EXPECT_EQ(Layout(Encode(three, {}, controls, true, 0)),
              "IHDR acTL(2) IDAT fcTL0 fdAT1 fcTL2 fdAT3 IEND");
    EXPECT_EQ(Layout(Encode({a.Info()}, {}, controls, false, 0)), "IHDR acTL(1) fcTL0 IDAT IEND");
    EXPECT_EQ(Layout(Encode({a.Info()}, {}, controls, true, 0)), "IHDR IDAT IEND");

    // Read back by our decoder (and by libpng for the default image): every frame
    // with its own size, the record of its position in the array.
    for (bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "not interlaced");
        const Bytes png = Encode(three, {0, interlaced, 5, 0}, controls, false, 7);
        EXPECT_EQ(Chunks(png)[1].data[7], 7);  // plays
        Collected got;
        ASSERT_EQ(DecodePng(png.data(), png.size(), Collected::Sink, &got, nullptr), PngOk);
        ASSERT_EQ(got.images.size(), 3u);
        ASSERT_EQ(got.frames.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const tagPNG_IMAGE_INFO& source = three[i];
            EXPECT_EQ(got.frames[i].width, std::uint32_t(source.header->biWidth));
            EXPECT_EQ(got.frames[i].xOffset, controls[i].xOffset);
            EXPECT_EQ(got.frames[i].yOffset, controls[i].yOffset);
            EXPECT_EQ(got.frames[i].delayNumerator, controls[i].delayNumerator);
            EXPECT_EQ(got.frames[i].delayDenominator, 30);
            EXPECT_EQ(got.frames[i].disposeOp, controls[i].disposeOp);
            EXPECT_EQ(got.frames[i].blendOp, controls[i].blendOp);
            const std::size_t size =
                RowStride(std::uint32_t(source.header->biWidth), 32) * source.header->biHeight;
            ASSERT_EQ(got.images[i].header->biWidth, source.header->biWidth);
            EXPECT_EQ(std::memcmp(got.images[i].bits.get(), source.bits, size), 0) << "frame " << i;
        }
        EXPECT_EQ(got.images[1].frameIndex, 2);
        EXPECT_EQ(DecodeWithLibpng(png).error, "");
    }
}

TEST(PngEncoder, WritePngFileReplacesOnlyOnSuccess) {
    ScratchDir dir;
    const TestDib dib = MakeDib(9, 9, 24, 1);
    const tagPNG_IMAGE_INFO info = dib.Info();
    const std::string path = dir.File("out.png");
    ASSERT_EQ(WritePngFile(path.c_str(), &info, 1, nullptr, true, 0, {}), PngOk);
    const Bytes written = ReadBytes(path);
    EXPECT_EQ(written, Encode({info}, {}));

    // An image the encoder refuses leaves the file as it was.
    TestDib bad = MakeDib(9, 9, 24, 2);
    bad.header->biBitCount = 2;
    const tagPNG_IMAGE_INFO badInfo = bad.Info();
    errno = 1234;
    EXPECT_EQ(WritePngFile(path.c_str(), &badInfo, 1, nullptr, true, 0, {}), PngBadFormat);
    EXPECT_EQ(errno, 1234);
    EXPECT_EQ(ReadBytes(path), written);

    // A folder that does not exist: a system error with its code, and no file.
    const std::string missing = dir.File("none/out.png");
    EXPECT_EQ(WritePngFile(missing.c_str(), &info, 1, nullptr, true, 0, {}), PngSystemError);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(WritePngFile(nullptr, &info, 1, nullptr, true, 0, {}), PngInvalidArg);
    EXPECT_EQ(WritePngFile(path.c_str(), nullptr, 0, nullptr, true, 0, {}), PngInvalidArg);
    EXPECT_EQ(std::filesystem::directory_iterator(dir.Path())->path().filename(), "out.png");
}

// pngcheck, a strict reader, accepts what we write (skipped where it is absent).
TEST(PngEncoder, PngcheckAcceptsOurStreams) {
    REQUIRE_PROGRAM("pngcheck", "pngcheck");
    ScratchDir dir;
    const TestDib one = MakeDib(17, 5, 1, 1), four = MakeDib(17, 5, 4, 2, 5),
                  eight = MakeDib(17, 5, 8, 3);
    const TestDib rgb = MakeDib(17, 5, 24, 4), rgba = MakeDib(17, 5, 32, 5),
                  small = MakeDib(4, 3, 32, 6);
    tagPNG_FRAME_CONTROL_INFO controls[2] = {};
    controls[0].delayNumerator = controls[1].delayNumerator = 1;
    controls[1].xOffset = 2;
    struct Case {
        const char* name;
        std::vector<tagPNG_IMAGE_INFO> images;
        PngSaveOptions options;
        bool firstExcluded;
    };
    const Case cases[] = {
        {"one.png", {one.Info()}, {}, true},
        {"four.png", {four.Info()}, {}, true},
        {"four-gray.png", {four.Info()}, {1, 0, 5, 0}, true},
        {"eight-interlaced.png", {eight.Info()}, {0, 1, 4, 3}, true},
        {"rgb.png", {rgb.Info()}, {0, 0, 3, 1}, true},
        {"rgba-gray.png", {rgba.Info()}, {1, 1, 5, 2}, true},
        {"animated.png", {rgba.Info(), small.Info()}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        ASSERT_EQ(WritePngFile(path.c_str(), c.images.data(), c.images.size(), controls,
                               c.firstExcluded, 0, c.options),
                  PngOk);
        EXPECT_EQ(std::system(("pngcheck -q '" + path + "' > /dev/null 2>&1").c_str()), 0);
    }
}
