#include "formats/psd/psd_parser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>

#include "core/dib.h"
#include "core/image_limits.h"
#include "support/psd_bytes.h"
#include "support/test_files.h"

namespace {

// The pixel (x, y), y from the top, of a bottom-up 24- or 32-bit image as B, G, R(, A).
std::vector<std::uint8_t> Pixel(const CPSDLayer& layer, int x, int y) {
    const DibHeader* h = layer.header.get();
    const std::size_t bytes = h->biBitCount / 8;
    const std::size_t stride = RowStride(static_cast<std::uint32_t>(h->biWidth), h->biBitCount);
    const std::uint8_t* p =
        layer.bits.get() + std::size_t(h->biHeight - 1 - y) * stride + std::size_t(x) * bytes;
    return {p, p + bytes};
}

PsdResult ParseBytes(CPSDParser& parser, const std::vector<std::uint8_t>& bytes) {
    return parser.Parse(bytes);
}

PsdLayerSpec RgbLayer(int left, int top, int right, int bottom, std::uint8_t r, std::uint8_t g,
                      std::uint8_t b, std::int16_t compression = 0) {
    PsdLayerSpec layer;
    layer.left = left;
    layer.top = top;
    layer.right = right;
    layer.bottom = bottom;
    const std::size_t size = std::size_t(right - left) * std::size_t(bottom - top);
    layer.channels = {UniformChannel(0, size, r, compression),
                      UniformChannel(1, size, g, compression),
                      UniformChannel(2, size, b, compression)};
    return layer;
}

}  // namespace

TEST(PackBits, DecodesRowsAndRefusesRowsOfTheWrongLength) {
    using Bytes = std::vector<std::uint8_t>;
    struct Case {
        const char* what;
        Bytes in;
        std::size_t width;
        bool ok;
        Bytes out;
    };
    const Case cases[] = {
        {"literal run", {2, 'a', 'b', 'c'}, 3, true, {'a', 'b', 'c'}},
        {"repeat run", {0xFE, 7}, 3, true, {7, 7, 7}},
        {"longest repeat", {0x81, 9}, 128, true, Bytes(128, 9)},
        {"no-op header is skipped", {0x80, 0, 5, 0x80}, 1, true, {5}},
        {"mixed", {0, 1, 0xFF, 2, 1, 3, 4}, 5, true, {1, 2, 2, 3, 4}},
        {"empty row", {}, 0, true, {}},
        {"too many bytes", {0xFD, 1}, 3, false, {}},
        {"too few bytes", {0xFF, 1}, 3, false, {}},
        {"literal cut short", {3, 1, 2}, 4, false, {}},
        {"repeat without its byte", {0xFE}, 3, false, {}},
        {"data after a full row", {0xFE, 1, 0, 2}, 3, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A guard byte after the row must never be touched.
        Bytes out(c.width + 1, 0xEE);
        EXPECT_EQ(DecodePackBitsRow(c.in, {out.data(), c.width}), c.ok);
        EXPECT_EQ(out.back(), 0xEE);
        if (c.ok) {
            EXPECT_EQ(Bytes(out.begin(), out.end() - 1), c.out);
        }
    }
}

TEST(PsdParser, RefusesBrokenAndUnsupportedDocumentsWithTheirCodes) {
    PsdLayout rgb;
    rgb.layers = {RgbLayer(0, 0, 1, 1, 1, 2, 3)};
    const std::vector<std::uint8_t> good = MakePsd(rgb);

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        PsdResult expected;
    };
    std::vector<Case> cases;
    auto patched = [&](std::size_t offset, std::vector<std::uint8_t> bytes) {
        std::vector<std::uint8_t> copy = good;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + std::ptrdiff_t(offset));
        return copy;
    };
    cases.push_back({"signature", patched(0, {'8', 'B', 'P', 'X'}), PsdBadFormat});
    cases.push_back({"version 2 (a large document)", patched(4, {0, 2}), PsdBadFormat});
    cases.push_back({"CMYK", patched(24, {0, 4}), PsdUnsupportedMode});
    cases.push_back({"16 bits per channel", patched(22, {0, 16}), PsdUnsupportedMode});
    cases.push_back({"zero width", patched(18, {0, 0, 0, 0}), PsdBadFormat});
    cases.push_back({"truncated header", std::vector<std::uint8_t>(good.begin(), good.begin() + 20),
                     PsdBadFormat});
    cases.push_back({"truncated channel data",
                     std::vector<std::uint8_t>(good.begin(), good.end() - 10), PsdBadFormat});
    {
        PsdLayout layout;
        layout.mode = 2;
        layout.channels = 2;
        layout.colorModeData.assign(768, 0);
        cases.push_back({"Indexed with two channels", MakePsd(layout), PsdUnsupportedMode});
        layout.channels = 1;
        layout.colorModeData.assign(767, 0);
        layout.merged = {0};
        cases.push_back({"Indexed colour data of 767 bytes", MakePsd(layout), PsdBadFormat});
    }
    {
        PsdLayout layout;
        layout.emptyLayerSection = true;
        cases.push_back({"no layer section", MakePsd(layout), PsdNoLayer});
        PsdLayout zero = rgb;
        zero.layerCount = 0;
        cases.push_back({"layer count 0", MakePsd(zero), PsdNoLayer});
        PsdLayout many = rgb;
        many.layerCount = 30000;
        cases.push_back({"more layers than the section holds", MakePsd(many), PsdBadFormat});
    }
    {
        PsdLayout layout = rgb;
        layout.layers[0].channels[2].compression = 3;
        layout.layers[0].channels[2].payload = std::vector<std::uint8_t>{0x78, 0x9C};
        cases.push_back({"ZIP channel", MakePsd(layout), PsdUnsupportedCompression});
        layout.layers[0].channels[2].compression = 7;
        cases.push_back({"unknown compression", MakePsd(layout), PsdBadFormat});
    }
    {
        PsdLayout layout = rgb;
        layout.layers[0].channels[0].compression = 1;
        layout.layers[0].channels[0].payload = std::vector<std::uint8_t>{0, 2, 0xFE, 5};
        cases.push_back(
            {"PackBits row of three bytes in a one-pixel layer", MakePsd(layout), PsdBadFormat});
    }
    {
        PsdLayout layout = rgb;
        layout.layers[0].name = "abc";
        layout.layers[0].extraLength = 4 + 4 + 1 + 2;  // one byte short of the name
        cases.push_back({"name beyond the extra data", MakePsd(layout), PsdBadFormat});
    }
    {
        // 20000 x 20000 at 32 bits is beyond the image limit: refused before reading.
        PsdLayout layout;
        PsdLayerSpec layer;
        layer.right = layer.bottom = 20000;
        layer.channels = {UniformChannel(-1, 0, 0, 1), UniformChannel(0, 0, 0, 1)};
        for (auto& channel : layer.channels) channel.payload = std::vector<std::uint8_t>{};
        layout.layers = {layer};
        cases.push_back({"layer beyond the image limit", MakePsd(layout), PsdOutOfMemory});
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPSDParser parser;
        errno = 1234;
        EXPECT_EQ(ParseBytes(parser, c.bytes), c.expected);
        EXPECT_EQ(errno, 1234);
        EXPECT_TRUE(parser.Layers().empty());
        EXPECT_EQ(parser.MergedHeader(), nullptr);
        EXPECT_EQ(parser.ColorTable(), nullptr);
    }
}

TEST(PsdParser, ParseFileLoadsTheFileOrGivesItsCode) {
    CPSDParser parser;
    EXPECT_EQ(parser.ParseFile(nullptr), PsdNullPath);
    ScratchDir dir;
    errno = 0;
    EXPECT_EQ(parser.ParseFile(dir.File("missing.psd").c_str()), PsdSystemError);
    EXPECT_EQ(errno, ENOENT);
    // Only the size of a file over the limit is looked at.
    const std::string huge = MakeSparseFile(dir, "huge.psd", kMaxImageFileBytes + 1);
    errno = 77;
    EXPECT_EQ(parser.ParseFile(huge.c_str()), PsdOutOfMemory);
    EXPECT_EQ(errno, 77);

    PsdLayout layout;
    layout.layers = {RgbLayer(0, 0, 1, 1, 1, 2, 3)};
    WriteBytes(dir.File("doc.psd"), MakePsd(layout));
    ASSERT_EQ(parser.ParseFile(dir.File("doc.psd").c_str()), PsdOk);
    EXPECT_EQ(parser.Layers().size(), 1u);
    EXPECT_EQ(errno, 77);
}

TEST(PsdParser, ReadsLayersWithTheirPicturesNamesAndFields) {
    PsdLayout layout;
    layout.width = 4;
    layout.height = 3;
    // Bottom-most: a 24-bit raw layer; then a 32-bit PackBits layer with a gradient
    // alpha; then a group divider (empty rectangle, four channels); then a layer whose
    // mask channel has a rectangle of its own (its data is not width x height).
    PsdLayerSpec first = RgbLayer(0, 0, 4, 3, 10, 20, 30);
    first.channels[1].plane = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    first.name = "Back\x80";
    first.opacity = 128;
    first.flags = 2;

    PsdLayerSpec second = RgbLayer(-1, 1, 2, 3, 200, 100, 50, 1);
    PsdChannelSpec alpha = UniformChannel(-1, 6, 0, 1);
    alpha.plane = {0, 50, 100, 150, 200, 250};
    second.channels.insert(second.channels.begin(), alpha);
    second.name = "ignored";
    second.additional = LuniBlock(u"L\u00e4yer \U0001F600");

    PsdLayerSpec divider;
    divider.channels = {UniformChannel(-1, 0, 0), UniformChannel(0, 0, 0, 1),
                        UniformChannel(1, 0, 0), UniformChannel(2, 0, 0)};
    divider.name = "</Layer group>";

    PsdLayerSpec masked = RgbLayer(1, 1, 3, 2, 7, 8, 9, 1);
    PsdChannelSpec mask = UniformChannel(-2, 0, 0, 0);
    mask.payload = std::vector<std::uint8_t>(25, 0xFF);  // a 5 x 5 mask
    masked.channels.insert(masked.channels.begin() + 1, mask);
    masked.withExtra = false;

    layout.layers = {first, second, divider, masked};
    layout.layerCount = -4;

    CPSDParser parser;
    errno = 77;
    ASSERT_EQ(ParseBytes(parser, MakePsd(layout)), PsdOk);
    EXPECT_EQ(errno, 77);
    EXPECT_EQ(parser.Width(), 4);
    EXPECT_EQ(parser.Height(), 3);
    EXPECT_EQ(parser.ColorMode(), kPsdModeRgb);
    ASSERT_EQ(parser.Layers().size(), 4u);

    const CPSDLayer& a = *parser.Layers()[0];
    EXPECT_EQ(a.name, "Back\xE2\x82\xAC");
    EXPECT_EQ(a.opacity, 128);
    EXPECT_EQ(a.flags, 2);
    EXPECT_EQ(a.channelIds, (std::vector<std::int32_t>{0, 1, 2}));
    ASSERT_TRUE(a.HasImage());
    EXPECT_EQ(a.header->biSize, 40u);
    EXPECT_EQ(a.header->biWidth, 4);
    EXPECT_EQ(a.header->biHeight, 3);
    EXPECT_EQ(a.header->biPlanes, 1);
    EXPECT_EQ(a.header->biBitCount, 24);
    EXPECT_EQ(Pixel(a, 0, 0), (std::vector<std::uint8_t>{30, 1, 10}));
    EXPECT_EQ(Pixel(a, 3, 2), (std::vector<std::uint8_t>{30, 12, 10}));

    const CPSDLayer& b = *parser.Layers()[1];
    EXPECT_EQ(b.name, "L\xC3\xA4yer \xF0\x9F\x98\x80");
    EXPECT_EQ(b.left, -1);
    EXPECT_EQ(b.top, 1);
    ASSERT_TRUE(b.HasImage());
    EXPECT_EQ(b.header->biBitCount, 32);
    EXPECT_EQ(b.header->biWidth, 3);
    EXPECT_EQ(b.header->biHeight, 2);
    EXPECT_EQ(Pixel(b, 1, 0), (std::vector<std::uint8_t>{50, 100, 200, 50}));
    EXPECT_EQ(Pixel(b, 2, 1), (std::vector<std::uint8_t>{50, 100, 200, 250}));

    const CPSDLayer& c = *parser.Layers()[2];
    EXPECT_EQ(c.name, "</Layer group>");
    EXPECT_EQ(c.channelCount, 4);
    EXPECT_FALSE(c.HasImage());

    const CPSDLayer& d = *parser.Layers()[3];
    EXPECT_EQ(d.name, "");
    EXPECT_EQ(d.channelIds, (std::vector<std::int32_t>{0, -2, 1, 2}));
    ASSERT_TRUE(d.HasImage());
    EXPECT_EQ(Pixel(d, 1, 0), (std::vector<std::uint8_t>{9, 8, 7}));
}

TEST(PsdParser, AcceptsExtraDataThatEndsWithTheName) {
    PsdLayout layout;
    layout.layers = {RgbLayer(0, 0, 1, 1, 1, 2, 3)};
    layout.layers[0].name = "abc";  // 1 + 3 bytes: no padding
    layout.layers[0].maskLength = 8;
    CPSDParser parser;
    ASSERT_EQ(ParseBytes(parser, MakePsd(layout)), PsdOk);
    EXPECT_EQ(parser.Layers()[0]->name, "abc");
}

TEST(PsdParser, ReadsTheIndexedMergedImageBottomUpWithItsColourTable) {
    PsdLayout layout;
    layout.mode = 2;
    layout.channels = 1;
    layout.width = 3;
    layout.height = 2;
    layout.colorModeData.assign(768, 0);
    for (int i = 0; i < 256; ++i) {
        layout.colorModeData[std::size_t(i)] = std::uint8_t(i);
        layout.colorModeData[256 + std::size_t(i)] = std::uint8_t(255 - i);
        layout.colorModeData[512 + std::size_t(i)] = std::uint8_t(i / 2);
    }
    layout.merged = {1, 2, 3, 4, 5, 6};
    for (std::int16_t compression : {0, 1}) {
        SCOPED_TRACE(compression);
        layout.mergedCompression = compression;
        CPSDParser parser;
        ASSERT_EQ(ParseBytes(parser, MakePsd(layout)), PsdOk);
        const DibHeader* h = parser.MergedHeader();
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->biBitCount, 8);
        EXPECT_EQ(h->biWidth, 3);
        EXPECT_EQ(h->biHeight, 2);
        const RgbQuad& entry = DibColorTable(h)[200];
        EXPECT_EQ(entry.rgbRed, 200);
        EXPECT_EQ(entry.rgbGreen, 55);
        EXPECT_EQ(entry.rgbBlue, 100);
        EXPECT_EQ(entry.rgbReserved, 0);
        const std::uint8_t* bits = parser.MergedBits();
        EXPECT_EQ(std::vector<std::uint8_t>(bits, bits + 8),
                  (std::vector<std::uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));
        EXPECT_TRUE(parser.Layers().empty());
    }
}

TEST(PsdParser, AFailedParseFreesWhatAnEarlierOneRead) {
    PsdLayout layout;
    layout.layers = {RgbLayer(0, 0, 1, 1, 1, 2, 3)};
    CPSDParser parser;
    ASSERT_EQ(ParseBytes(parser, MakePsd(layout)), PsdOk);
    ASSERT_EQ(parser.Layers().size(), 1u);
    EXPECT_EQ(ParseBytes(parser, {'8', 'B'}), PsdBadFormat);
    EXPECT_TRUE(parser.Layers().empty());
    EXPECT_EQ(parser.Width(), 0);
}

TEST(PsdParser, ReadsTheCorpusWithTheExpectedCodes) {
    REQUIRE_CORPUS(corpus, "psd");
    // Every other document must parse. Layerless RGB documents have nothing to
    // import; the large-document format (.psb) is version 2; the hostile files
    // carry broken lengths or PackBits rows that do not fit their layers.
    const std::map<std::string, PsdResult> expected = {
        {"kimageformats/8bit-photoshop.psb", PsdBadFormat},
        {"kimageformats/duotone.psb", PsdBadFormat},
        {"psd-tools/16bit5x5.psb", PsdBadFormat},
        {"psd-tools/1layer.psb", PsdBadFormat},
        {"psd-tools/2layers.psb", PsdBadFormat},
        {"psd-tools/32bit5x5.psb", PsdBadFormat},
        {"psd-tools/group.psb", PsdBadFormat},
        {"pillow/combined_larger_than_size.psd", PsdBadFormat},
        {"pillow/psd-oob-write-x.psd", PsdBadFormat},
        {"pillow/psd-oob-write-y.psd", PsdBadFormat},
        {"pillow/timeout-1ee28a249896e05b83840ae8140622de8e648ba9.psd", PsdBadFormat},
        {"pillow/timeout-598843abc37fc080ec36a2699ebbd44f795d3a6f.psd", PsdBadFormat},
        {"pillow/timeout-c8efc3fded6426986ba867a399791bae544f59bc.psd", PsdNoLayer},
        {"pillow/timeout-dedc7a4ebd856d79b4359bbcc79e8ef231ce38f6.psd", PsdNoLayer},
        {"psd-tools/0layers.psd", PsdNoLayer},
        {"psd-tools/0layers_tblocks.psd", PsdNoLayer},
        {"pillow/rgba.psd", PsdUnsupportedCompression},
        {"kimageformats/16bit-rle.psd", PsdUnsupportedMode},
        {"kimageformats/argb16-raw-affinityphoto-1.8.5.psd", PsdUnsupportedMode},
        {"kimageformats/bitmap.psd", PsdUnsupportedMode},
        {"kimageformats/cmyk8_testcard.psd", PsdUnsupportedMode},
        {"kimageformats/mch1-8bits.psd", PsdUnsupportedMode},
        {"kimageformats/rgb16-raw-affinityphoto-1.8.5.psd", PsdUnsupportedMode},
        {"kimageformats/testcard_graya16.psd", PsdUnsupportedMode},
        {"kimageformats/testcard_graya8.psd", PsdUnsupportedMode},
        {"pillow/psd-oob-write-overflow.psd", PsdUnsupportedMode},
        {"psd-tools/16bit5x5.psd", PsdUnsupportedMode},
        {"psd-tools/32bit5x5.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_16bit_cmyk.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_16bit_grayscale.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_16bit_lab.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_16bit_multichannel.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_16bit_rgb.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_1bit_bitmap.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_32bit_grayscale.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_32bit_rgb.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_8bit_cmyk.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_8bit_duotone.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_8bit_grayscale.psd", PsdUnsupportedMode},
        {"psd-tools/colormodes/4x4_8bit_lab.psd", PsdUnsupportedMode},
        {"psd-tools/gray0.psd", PsdUnsupportedMode},
        {"psd-tools/transparentbg.psd", PsdUnsupportedMode},
    };
    int parsed = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".psd" && extension != ".psb" && extension != ".pdd") continue;
        const std::string name = entry.path().lexically_relative(corpus).generic_string();
        SCOPED_TRACE(name);
        CPSDParser parser;
        const PsdResult result = parser.ParseFile(entry.path().c_str());
        auto it = expected.find(name);
        EXPECT_EQ(result, it == expected.end() ? PsdOk : it->second);
        if (result != PsdOk) continue;
        ++parsed;
        for (const auto& layer : parser.Layers()) {
            if (!layer->HasImage()) continue;
            EXPECT_EQ(layer->header->biWidth, layer->Width());
            EXPECT_EQ(layer->header->biHeight, layer->Height());
            EXPECT_EQ(layer->header->biBitCount, layer->HasAlphaChannel() ? 32 : 24);
        }
        EXPECT_EQ(parser.MergedBits() != nullptr, parser.ColorMode() == kPsdModeIndexed);
    }
    EXPECT_GE(parsed, 50);
}
