// Real BMP files from the shared corpus: every good and questionable suite file
// is read, expanded and compared with the suite's reference render (decoded with
// libpng); every hostile file gives a defined outcome without harm.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/bmp_file.h"
#include "core/dib.h"
#include "support/test_files.h"

namespace fs = std::filesystem;

namespace {

struct Rgba {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // RGBA, top row first
};

// Decodes a PNG to 8-bit RGBA (16-bit samples rounded, palettes and gray expanded).
std::optional<Rgba> DecodePng(const fs::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Rgba out;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return std::nullopt;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    out.width = static_cast<int>(png_get_image_width(png, info));
    out.height = static_cast<int>(png_get_image_height(png, info));
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    std::vector<png_bytep> rows(out.height);
    for (int y = 0; y < out.height; ++y)
        rows[y] = out.pixels.data() + std::size_t(y) * out.width * 4;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return out;
}

enum class Outcome { Decoded, ReadRefused, ExpandRefused };

struct Loaded {
    ImageResult read = ImageOk;
    bool expanded = false;
    std::uint16_t sourceBits = 0;
    std::uint32_t sourceCompression = 0;
    HeaderBlock header;
    Block bits;
};

Loaded Load(const fs::path& path) {
    Loaded out;
    std::size_t size = 0;
    out.read = ReadBmpFile(path.c_str(), &out.header, &out.bits, &size);
    if (out.read != ImageOk) return out;
    out.sourceBits = out.header->biBitCount;
    out.sourceCompression = out.header->biCompression;
    const ImageResult expanded = ExpandCompressedDib(&out.header, &out.bits, size);
    // A compression the reader lets through is either expanded or not handled.
    EXPECT_TRUE(expanded == ImageOk || expanded == ImageUnsupported) << expanded;
    out.expanded = expanded == ImageOk;
    return out;
}

struct SuiteFile {
    Outcome outcome;
    const char* reference = nullptr;  // in reference-html/
    int tolerance = 0;                // per 8-bit channel, for references made from wider samples
    bool alpha = false;               // compare the alpha channel too
};

// Which reference belongs to which file. The suite's *-0 renders show pixels that
// run-length data never reaches as palette index 0, which is what expansion gives.
// OS/2 core headers (12 and 16 bytes), 2- and 64-bit depths and JPEG/PNG payloads
// (bit count 0) are not BMP images this reader takes; Huffman 1-bit and 24-bit
// run-length data are compressions the decoder refuses. rgb24prof2's pixels are
// meant to be shown through its colour profile: no render here is exact for it.
const std::map<std::string, SuiteFile>& SuiteFiles() {
    using O = Outcome;
    static const std::map<std::string, SuiteFile> files = {
        {"g/pal1.bmp", {O::Decoded, "pal1.png"}},
        {"g/pal1bg.bmp", {O::Decoded, "pal1bg.png"}},
        {"g/pal1wb.bmp", {O::Decoded, "pal1.png"}},
        {"g/pal4.bmp", {O::Decoded, "pal4.png"}},
        {"g/pal4gs.bmp", {O::Decoded, "pal4gs.png"}},
        {"g/pal4rle.bmp", {O::Decoded, "pal4.png"}},
        {"g/pal8-0.bmp", {O::Decoded, "pal8.png"}},
        {"g/pal8.bmp", {O::Decoded, "pal8.png"}},
        {"g/pal8gs.bmp", {O::Decoded, "pal8gs.png"}},
        {"g/pal8nonsquare.bmp", {O::Decoded, "pal8nonsquare-e.png"}},
        {"g/pal8os2.bmp", {O::ReadRefused}},
        {"g/pal8rle.bmp", {O::Decoded, "pal8.png"}},
        {"g/pal8topdown.bmp", {O::Decoded, "pal8.png"}},
        {"g/pal8v4.bmp", {O::Decoded, "pal8.png"}},
        {"g/pal8v5.bmp", {O::Decoded, "pal8.png"}},
        {"g/pal8w124.bmp", {O::Decoded, "pal8w124.png"}},
        {"g/pal8w125.bmp", {O::Decoded, "pal8w125.png"}},
        {"g/pal8w126.bmp", {O::Decoded, "pal8w126.png"}},
        {"g/rgb16-565.bmp", {O::Decoded, "rgb16-565.png"}},
        {"g/rgb16-565pal.bmp", {O::Decoded, "rgb16-565.png"}},
        {"g/rgb16.bmp", {O::Decoded, "rgb16.png"}},
        {"g/rgb16bfdef.bmp", {O::Decoded, "rgb16.png"}},
        {"g/rgb24.bmp", {O::Decoded, "rgb24.png"}},
        {"g/rgb24pal.bmp", {O::Decoded, "rgb24.png"}},
        {"g/rgb32.bmp", {O::Decoded, "rgb24.png"}},
        {"g/rgb32bf.bmp", {O::Decoded, "rgb24.png"}},
        {"g/rgb32bfdef.bmp", {O::Decoded, "rgb24.png"}},

        {"q/pal1huffmsb.bmp", {O::ExpandRefused}},
        {"q/pal1p1.bmp", {O::Decoded, "pal1p1.png"}},
        {"q/pal2.bmp", {O::ReadRefused}},
        {"q/pal2color.bmp", {O::ReadRefused}},
        {"q/pal4rlecut.bmp", {O::Decoded, "pal4rlecut-0.png"}},
        {"q/pal4rletrns.bmp", {O::Decoded, "pal4rletrns-0.png"}},
        {"q/pal8offs.bmp", {O::Decoded, "pal8.png"}},
        {"q/pal8os2-hs.bmp", {O::ReadRefused}},
        {"q/pal8os2-sz.bmp", {O::ReadRefused}},
        {"q/pal8os2sp.bmp", {O::ReadRefused}},
        {"q/pal8os2v2-16.bmp", {O::ReadRefused}},
        {"q/pal8os2v2-40sz.bmp", {O::Decoded, "pal8.png"}},
        {"q/pal8os2v2-sz.bmp", {O::Decoded, "pal8.png"}},
        {"q/pal8os2v2.bmp", {O::Decoded, "pal8.png"}},
        {"q/pal8oversizepal.bmp", {O::Decoded, "pal8.png"}},
        {"q/pal8rlecut.bmp", {O::Decoded, "pal8rlecut-0.png"}},
        {"q/pal8rletrns.bmp", {O::Decoded, "pal8rletrns-0.png"}},
        {"q/rgb16-231.bmp", {O::Decoded, "rgb16-231.png"}},
        {"q/rgb16-3103.bmp", {O::Decoded, "rgb16-3103.png"}},
        {"q/rgb16faketrns.bmp", {O::Decoded, "rgb16.png"}},
        {"q/rgb24jpeg.bmp", {O::ReadRefused}},
        {"q/rgb24largepal.bmp", {O::Decoded, "rgb24.png"}},
        {"q/rgb24lprof.bmp", {O::Decoded, "rgb24.png"}},
        {"q/rgb24png.bmp", {O::ReadRefused}},
        {"q/rgb24prof.bmp", {O::Decoded, "rgb24.png"}},
        {"q/rgb24prof2.bmp", {O::Decoded}},
        {"q/rgb24rle24.bmp", {O::ExpandRefused}},
        {"q/rgb32-111110.bmp", {O::Decoded, "rgb24.png", 1}},
        {"q/rgb32-7187.bmp", {O::Decoded, "rgb32-7187.png", 1}},
        {"q/rgb32-xbgr.bmp", {O::Decoded, "rgb24.png"}},
        {"q/rgb32fakealpha.bmp", {O::Decoded, "rgb24.png"}},
        {"q/rgb32h52.bmp", {O::Decoded, "rgb24.png"}},
        {"q/rgba16-1924.bmp", {O::Decoded, "rgba16-1924.png"}},
        {"q/rgba16-4444.bmp", {O::Decoded, "rgba16-4444.png"}},
        {"q/rgba16-5551.bmp", {O::Decoded, "rgba16-5551.png"}},
        {"q/rgba32-1.bmp", {O::Decoded, "rgba32.png", 0, true}},
        {"q/rgba32-1010102.bmp", {O::Decoded, "rgba32-1010102.png", 0, true}},
        {"q/rgba32-2.bmp", {O::Decoded, "rgba32.png", 0, true}},
        {"q/rgba32-61754.bmp", {O::Decoded, "rgba32-61754.png", 1, true}},
        {"q/rgba32-81284.bmp", {O::Decoded, "rgba32-81284.png", 1, true}},
        {"q/rgba32abf.bmp", {O::Decoded, "rgba32.png", 0, true}},
        {"q/rgba32h56.bmp", {O::Decoded, "rgba32.png", 0, true}},
        {"q/rgba64.bmp", {O::ReadRefused}},
    };
    return files;
}

// Compares within our pixel model: 16-bit images hold 5 bits per channel (a
// reference channel is compared by its top 5 bits); uncompressed 32-bit images
// keep their fourth byte as stored, so alpha is compared only where asked.
void ExpectMatchesReference(const Loaded& image, const Rgba& ref, const SuiteFile& expected) {
    const DibHeader* h = image.header.get();
    ASSERT_EQ(h->biWidth, ref.width);
    ASSERT_EQ(static_cast<int>(DibAbsHeight(h)), ref.height);
    const bool fiveBits = h->biBitCount == 16;
    int mismatches = 0;
    for (int y = 0; y < ref.height && mismatches < 5; ++y) {
        for (int x = 0; x < ref.width && mismatches < 5; ++x) {
            const std::uint32_t ours = DibGetPixel(h, image.bits.get(), x, y);
            const std::uint8_t* want = &ref.pixels[(std::size_t(y) * ref.width + x) * 4];
            const int got[4] = {int(ours >> 16 & 0xFF), int(ours >> 8 & 0xFF), int(ours & 0xFF),
                                int(ours >> 24)};
            // A fully transparent reference pixel has no defined colour.
            const int firstChannel = want[3] == 0 ? 3 : 0;
            const int lastChannel = expected.alpha ? 4 : 3;
            for (int c = firstChannel; c < lastChannel; ++c) {
                int a = got[c], b = want[c];
                if (fiveBits) a >>= 3, b >>= 3;
                if (std::abs(a - b) > expected.tolerance) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") channel " << c << ": "
                                  << got[c] << " vs reference " << int(want[c]);
                    ++mismatches;
                    break;
                }
            }
        }
    }
}

TEST(BmpCorpus, SuiteFilesMatchTheirReferences) {
    REQUIRE_CORPUS(suite, "bmp/bmpsuite-2.8");
    std::set<std::string> seen;
    for (const char* folder : {"g", "q"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(suite / folder)) {
            const std::string name = std::string(folder) + "/" + entry.path().filename().string();
            SCOPED_TRACE(name);
            seen.insert(name);
            auto it = SuiteFiles().find(name);
            if (it == SuiteFiles().end()) {
                ADD_FAILURE() << "no expectation for this suite file";
                continue;
            }
            const SuiteFile& expected = it->second;
            Loaded image = Load(entry.path());
            switch (expected.outcome) {
                case Outcome::ReadRefused:
                    EXPECT_EQ(image.read, ImageBadFormat);
                    continue;
                case Outcome::ExpandRefused:
                    EXPECT_EQ(image.read, ImageOk);
                    EXPECT_FALSE(image.expanded);
                    EXPECT_FALSE(image.header);
                    continue;
                case Outcome::Decoded:
                    break;
            }
            ASSERT_EQ(image.read, ImageOk);
            ASSERT_TRUE(image.expanded);
            EXPECT_EQ(image.header->biCompression, kBiRgb);
            EXPECT_EQ(image.header->biBitCount, image.sourceBits);
            if (!expected.reference) continue;
            std::optional<Rgba> ref = DecodePng(suite / "reference-html" / expected.reference);
            ASSERT_TRUE(ref) << expected.reference;
            ExpectMatchesReference(image, *ref, expected);
        }
    }
    EXPECT_EQ(seen.size(), SuiteFiles().size());
}

// Hostile and damaged files: each gives a defined outcome, and nothing crashes or
// reads out of bounds (the sanitizer build checks the latter). Damage that does
// not affect decoding (a wrong bfSize or biSizeImage, odd densities, a header
// size this reader carries unread, pixels naming entries past the table) and
// broken run-length data (drawn as far as it goes, clipped at the edges) are read.
TEST(BmpCorpus, DamagedFilesGiveDefinedOutcomes) {
    REQUIRE_CORPUS(bmp, "bmp");
    using O = Outcome;
    const std::map<std::string, O> expected = {
        {"bmpsuite-2.8/b/badbitcount.bmp", O::ReadRefused},
        {"bmpsuite-2.8/b/badbitssize.bmp", O::Decoded},
        {"bmpsuite-2.8/b/baddens1.bmp", O::Decoded},
        {"bmpsuite-2.8/b/baddens2.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badfilesize.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badheadersize.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badpalettesize.bmp", O::ReadRefused},
        {"bmpsuite-2.8/b/badplanes.bmp", O::ReadRefused},
        {"bmpsuite-2.8/b/badrle.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badrle4.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badrle4bis.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badrle4ter.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badrlebis.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badrleter.bmp", O::Decoded},
        {"bmpsuite-2.8/b/badwidth.bmp", O::ReadRefused},
        {"bmpsuite-2.8/b/pal8badindex.bmp", O::Decoded},
        {"bmpsuite-2.8/b/reallybig.bmp", O::ReadRefused},
        {"bmpsuite-2.8/b/rgb16-880.bmp", O::Decoded},
        {"bmpsuite-2.8/b/rletopdown.bmp", O::ExpandRefused},
        {"bmpsuite-2.8/b/shortfile.bmp", O::ReadRefused},
        {"image-rs/bad/Bad_clrsUsed.bmp", O::ReadRefused},
        {"image-rs/bad/Bad_height.bmp", O::ReadRefused},
        {"image-rs/bad/Bad_unusual_extend_buffer_usage.bmp", O::Decoded},
        {"image-rs/bad/Bad_width.bmp", O::ReadRefused},
        {"gdk-pixbuf/fail/bug776694.bmp", O::Decoded},
        {"gdk-pixbuf/fail/bug777315.bmp", O::ReadRefused},
        {"gdk-pixbuf/fail/invalid.1.bmp", O::ReadRefused},
    };
    std::size_t checked = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(bmp)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = fs::relative(entry.path(), bmp).string();
        const std::string folder = entry.path().parent_path().filename().string();
        if (folder != "b" && folder != "bad" && folder != "fail") continue;
        SCOPED_TRACE(name);
        auto it = expected.find(name);
        if (it == expected.end()) {
            ADD_FAILURE() << "no expectation for this damaged file";
            continue;
        }
        ++checked;
        Loaded image = Load(entry.path());
        switch (it->second) {
            case O::ReadRefused:
                EXPECT_NE(image.read, ImageOk);
                EXPECT_FALSE(image.header);
                EXPECT_FALSE(image.bits);
                break;
            case O::ExpandRefused:
                EXPECT_EQ(image.read, ImageOk);
                EXPECT_FALSE(image.expanded);
                break;
            case O::Decoded:
                EXPECT_EQ(image.read, ImageOk);
                EXPECT_TRUE(image.expanded);
                break;
        }
    }
    EXPECT_EQ(checked, expected.size());
}

// Every other corpus file reads and expands or is refused, never crashes.
TEST(BmpCorpus, EveryFileReadsOrIsRefused) {
    REQUIRE_CORPUS(bmp, "bmp");
    int decoded = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(bmp)) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(entry.path().string());
        Loaded image = Load(entry.path());
        if (image.read == ImageOk && image.expanded) {
            ++decoded;
            EXPECT_EQ(image.header->biCompression, kBiRgb);
        }
    }
    EXPECT_GT(decoded, 100);
}

}  // namespace
