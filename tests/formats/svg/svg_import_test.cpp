#include "formats/svg/svg_import.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dib.h"
#include "support/test_files.h"

namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::unique_ptr<SvgDocument> Load(const std::string& text) {
    std::unique_ptr<SvgDocument> document;
    EXPECT_EQ(SvgDocument::Load(Bytes(text), &document), SvgOk) << text;
    return document;
}

struct Picture {
    HeaderBlock header;
    Block bits;
    // BGRA of picture pixel (x, y), y from the top.
    std::uint32_t At(int x, int y) const {
        return DibGetPixel(header.get(), bits.get(), x, y);
    }
};

Picture Render(const SvgDocument& document, int width, int height) {
    Picture p;
    EXPECT_EQ(document.Render(width, height, &p.header, &p.bits), SvgOk);
    return p;
}

std::vector<std::uint8_t> Gzip(const std::string& text) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<std::uint8_t> out(deflateBound(&z, text.size()) + 64);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Half opaque red, half blue at half opacity, on a 4 x 2 user space.
const std::string kHalves =
    "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='20' viewBox='0 0 4 2'>"
    "<rect width='2' height='2' fill='#ff0000'/>"
    "<rect x='2' width='2' height='2' fill='#0000ff' fill-opacity='0.5'/></svg>";

}  // namespace

TEST(SvgImport, OwnSizeFromSizeAttributesOrViewBox) {
    const struct {
        const char* attributes;
        int width, height;
    } cases[] = {
        {"width='40' height='20' viewBox='0 0 4 2'", 40, 20},
        {"viewBox='0 0 10 30'", 10, 30},
        {"width='1in' height='0.5in'", 96, 48},
        {"width='12.2' height='3'", 13, 3},
        {"width='100%' height='100%' viewBox='-5 -5 48 16'", 48, 16},
        {"", 256, 256},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        const auto document = Load(std::string("<svg xmlns='http://www.w3.org/2000/svg' ") +
                                   c.attributes + "><circle r='3'/></svg>");
        ASSERT_TRUE(document);
        EXPECT_EQ(document->OwnWidth(), c.width);
        EXPECT_EQ(document->OwnHeight(), c.height);
    }
}

TEST(SvgImport, RendersStraightAlphaBottomUpAndFitsTheViewport) {
    const auto document = Load(kHalves);
    ASSERT_TRUE(document);
    const Picture own = Render(*document, 40, 20);
    EXPECT_EQ(own.header->biBitCount, 32);
    EXPECT_EQ(own.header->biHeight, 20);  // bottom-up
    EXPECT_EQ(own.At(5, 5), 0xFFFF0000u);
    // Straight alpha: the half-opaque blue keeps its full blue.
    EXPECT_EQ(own.At(35, 15) & 0xFF0000FFu, 0x800000FFu);
    EXPECT_EQ((own.At(35, 15) >> 8) & 0xFFFF, 0u);

    // Into a square: scaled to 30 x 15 and centred, transparent above and below.
    const Picture square = Render(*document, 30, 30);
    EXPECT_EQ(square.At(5, 2), 0u);
    EXPECT_EQ(square.At(5, 15), 0xFFFF0000u);
    EXPECT_EQ(square.At(5, 28), 0u);
}

TEST(SvgImport, CompressedDocumentsReadAsTheirText) {
    const std::vector<std::uint8_t> packed = Gzip(kHalves);
    std::unique_ptr<SvgDocument> document;
    ASSERT_EQ(SvgDocument::Load(packed, &document), SvgOk);
    EXPECT_EQ(document->OwnWidth(), 40);
    EXPECT_EQ(Render(*document, 40, 20).At(5, 5), 0xFFFF0000u);

    // A broken stream, and one that inflates beyond the text limit.
    std::vector<std::uint8_t> cut(packed.begin(), packed.begin() + packed.size() / 2);
    EXPECT_EQ(SvgDocument::Load(cut, &document), SvgBadFormat);
    const std::vector<std::uint8_t> bomb = Gzip(std::string(kMaxSvgTextBytes + 10, ' '));
    EXPECT_EQ(SvgDocument::Load(bomb, &document), SvgTooLarge);
}

TEST(SvgImport, BrokenAndHostileDocumentsAreRefusedQuickly) {
    std::string laughs = "<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY l0 'haha'>";
    for (int i = 1; i <= 10; ++i)
        laughs += "<!ENTITY l" + std::to_string(i) + " '" +
                  [&] {
                      std::string refs;
                      for (int k = 0; k < 10; ++k) refs += "&l" + std::to_string(i - 1) + ";";
                      return refs;
                  }() +
                  "'>";
    laughs += "]><svg xmlns='http://www.w3.org/2000/svg'><text>&l10;</text></svg>";
    const char* const broken[] = {
        "", "not svg at all", "<svg xmlns='http://www.w3.org/2000/svg'><rect", "\x1f\x8b garbage",
        "<html><body/></html>",
    };
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<SvgDocument> document;
    for (const std::string& text : {std::string(broken[0]), std::string(broken[1]),
                                   std::string(broken[2]), std::string(broken[3]), laughs}) {
        SCOPED_TRACE(text.substr(0, 40));
        EXPECT_NE(SvgDocument::Load(Bytes(text), &document), SvgOk);
        EXPECT_FALSE(document);
    }
    // An HTML document parses as XML but is no drawing: rendering refuses it or
    // draws nothing.
    if (SvgDocument::Load(Bytes(broken[4]), &document) == SvgOk) {
        Picture p;
        const SvgResult r = document->Render(8, 8, &p.header, &p.bits);
        if (r == SvgOk) {
            EXPECT_EQ(p.At(4, 4), 0u);
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(SvgImport, ExternalReferencesAreNeverLoaded) {
    // A red drawing beside the document, named every way a document can name it.
    ScratchDir dir;
    const std::string other = dir.File("other.svg");
    const std::string red =
        "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
        "<rect id='r' width='8' height='8' fill='red'/></svg>";
    WriteBytes(other, std::vector<std::uint8_t>(red.begin(), red.end()));
    const std::string references[] = {
        "<image width='8' height='8' href='file://" + other + "'/>",
        "<image width='8' height='8' href='" + other + "'/>",
        "<image width='8' height='8' href='other.svg'/>",
        "<use href='" + other + "#r'/>",
        "<use href='file://" + other + "#r'/>",
        "<image width='8' height='8' href='http://127.0.0.1:9/x.png'/>",
        "<style>@import url(file://" + other + ");</style><rect width='8' height='8'/>",
    };
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& reference : references) {
        SCOPED_TRACE(reference);
        std::unique_ptr<SvgDocument> document;
        const std::string text = "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>" +
                                 reference + "</svg>";
        ASSERT_EQ(SvgDocument::Load(Bytes(text), &document), SvgOk);
        Picture p;
        const SvgResult r = document->Render(8, 8, &p.header, &p.bits);
        if (r == SvgOk) {
            EXPECT_NE(p.At(4, 4), 0xFFFF0000u);
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(SvgImport, RenderRefusesSizesBeyondTheLimits) {
    const auto document = Load(kHalves);
    ASSERT_TRUE(document);
    Picture p;
    EXPECT_EQ(document->Render(0, 8, &p.header, &p.bits), SvgInvalidArg);
    EXPECT_EQ(document->Render(kMaxSvgSide + 1, 8, &p.header, &p.bits), SvgInvalidArg);
    EXPECT_EQ(document->Render(16385, 16385, &p.header, &p.bits), SvgTooLarge);
    EXPECT_EQ(document->Render(kMaxSvgSide, 16385, &p.header, &p.bits), SvgTooLarge);
    EXPECT_EQ(document->Render(8, 8, nullptr, &p.bits), SvgInvalidArg);
    EXPECT_FALSE(p.bits);

    // A caller that stops waiting stops a render that would take many seconds.
    const auto slow = Load(
        "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 100 100'><filter id='b'>"
        "<feGaussianBlur stdDeviation='30'/><feTurbulence baseFrequency='0.9' numOctaves='10'/>"
        "</filter><rect width='100' height='100' filter='url(#b)'/>"
        "<rect width='90' height='90' filter='url(#b)'/></svg>");
    ASSERT_TRUE(slow);
    const auto start = std::chrono::steady_clock::now();
    int asked = 0;
    EXPECT_EQ(slow->Render(3000, 3000, &p.header, &p.bits, [&asked] { return ++asked < 3; }),
              SvgRenderFailed);
    EXPECT_EQ(asked, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(p.bits);
}

TEST(SvgImport, CorpusIconsRenderAndTheCompressedOneMatchesItsText) {
    REQUIRE_CORPUS(corpus, "svg");
    int rendered = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(entry.path().string());
        const std::vector<std::uint8_t> bytes = ReadBytes(entry.path().string());
        std::unique_ptr<SvgDocument> document;
        ASSERT_EQ(SvgDocument::Load(bytes, &document), SvgOk);
        const Picture p = Render(*document, 48, 48);
        // Something opaque near the middle of every icon.
        bool opaque = false;
        for (int y = 12; y < 36 && !opaque; ++y)
            for (int x = 12; x < 36 && !opaque; ++x) opaque = p.At(x, y) >> 24 == 0xFF;
        EXPECT_TRUE(opaque);
        ++rendered;
    }
    EXPECT_GE(rendered, 8);
    const auto plain = ReadBytes((corpus / "papirus-20230104/inkscape.svg").string());
    const auto packed = ReadBytes((corpus / "papirus-20230104/inkscape.svgz").string());
    std::unique_ptr<SvgDocument> a, b;
    ASSERT_EQ(SvgDocument::Load(plain, &a), SvgOk);
    ASSERT_EQ(SvgDocument::Load(packed, &b), SvgOk);
    const Picture pa = Render(*a, 32, 32), pb = Render(*b, 32, 32);
    EXPECT_EQ(0, std::memcmp(pa.bits.get(), pb.bits.get(), 32 * 32 * 4));
}
