// Every file of tests/data/hostile/<format>/ goes through its reader's span
// entry point and must give the code its folder's expected.txt names. The
// sanitizer build watches that none of them is read out of bounds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "core/bmp_file.h"
#include "formats/ani/ani_file.h"
#include "formats/icon/icon_file.h"
#include "formats/png/png_import.h"
#include "formats/psd/psd_parser.h"
#include "formats/svg/svg_import.h"
#include "support/test_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Reader = std::function<int(const Bytes&)>;

int ReadBmp(const Bytes& file) {
    HeaderBlock header;
    Block bits;
    return ParseBmp(file, &header, &bits);
}

int ReadIcon(const Bytes& file) {
    return ParseIcon(file, [](IconImage&) { return true; });
}

int ReadAni(const Bytes& file) {
    AniContent content;
    AniHeader anih;
    return ParseAni(file, &content, &anih);
}

int ReadPng(const Bytes& file) {
    PngReadContext context;
    return ParsePng(file, &context);
}

int ReadPsd(const Bytes& file) {
    CPSDParser parser;
    return parser.Parse(file);
}

// Parsed, then rendered at the document's own size.
int ReadSvg(const Bytes& file) {
    std::unique_ptr<SvgDocument> document;
    if (const SvgResult r = SvgDocument::Load(file, &document); r != SvgOk) return r;
    HeaderBlock header;
    Block bits;
    return document->Render(document->OwnWidth(), document->OwnHeight(), &header, &bits);
}

const std::map<std::string, int> kImageCodes = {{"ImageOk", ImageOk},
                                                {"ImageBadFormat", ImageBadFormat},
                                                {"ImageOutOfMemory", ImageOutOfMemory}};
const std::map<std::string, int> kIconCodes = {{"IconOk", IconOk},
                                               {"IconBadFormat", IconBadFormat},
                                               {"IconUnsupported", IconUnsupported},
                                               {"IconOutOfMemory", IconOutOfMemory}};
const std::map<std::string, int> kPngCodes = {
    {"PngOk", PngOk},         {"PngFailed", PngFailed},       {"PngNotPng", PngNotPng},
    {"PngBadCrc", PngBadCrc}, {"PngBadFormat", PngBadFormat}, {"PngOutOfMemory", PngOutOfMemory}};
const std::map<std::string, int> kPsdCodes = {
    {"PsdOk", PsdOk},
    {"PsdBadFormat", PsdBadFormat},
    {"PsdOutOfMemory", PsdOutOfMemory},
    {"PsdUnsupportedMode", PsdUnsupportedMode},
    {"PsdNoLayer", PsdNoLayer},
    {"PsdUnsupportedCompression", PsdUnsupportedCompression}};
const std::map<std::string, int> kSvgCodes = {{"SvgOk", SvgOk},
                                              {"SvgBadFormat", SvgBadFormat},
                                              {"SvgTooLarge", SvgTooLarge},
                                              {"SvgOutOfMemory", SvgOutOfMemory},
                                              {"SvgRenderFailed", SvgRenderFailed}};

struct Format {
    const char* folder;
    Reader read;
    const std::map<std::string, int>& codes;
};

}  // namespace

// A render runs in a bounded child; a hostile document costs moments, not minutes.
TEST(HostileFiles, SvgRendersStayBoundedInTime) {
    const auto start = std::chrono::steady_clock::now();
    for (const char* name : {"huge-embedded-png.svg", "billion-laughs.svg", "self-use.svg"})
        (void)ReadSvg(ReadBytes(TestDataDir() / "hostile" / "svg" / name));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(HostileFiles, EveryFileGivesTheCodeItsManifestNames) {
    const Format formats[] = {
        {"bmp", ReadBmp, kImageCodes}, {"ico", ReadIcon, kIconCodes}, {"cur", ReadIcon, kIconCodes},
        {"ani", ReadAni, kIconCodes},  {"png", ReadPng, kPngCodes},   {"psd", ReadPsd, kPsdCodes},
        {"svg", ReadSvg, kSvgCodes},
    };
    for (const Format& format : formats) {
        const std::filesystem::path folder = TestDataDir() / "hostile" / format.folder;
        std::ifstream manifest(folder / "expected.txt");
        ASSERT_TRUE(manifest) << folder;
        std::set<std::string> listed;
        std::string line;
        while (std::getline(manifest, line)) {
            std::istringstream fields(line);
            std::string name, codeName;
            if (!(fields >> name >> codeName)) continue;
            SCOPED_TRACE(std::string(format.folder) + "/" + name);
            listed.insert(name);
            const auto code = format.codes.find(codeName);
            ASSERT_NE(code, format.codes.end()) << "unknown code " << codeName;
            ASSERT_TRUE(std::filesystem::is_regular_file(folder / name));
            EXPECT_EQ(format.read(ReadBytes(folder / name)), code->second) << codeName;
        }
        EXPECT_GE(listed.size(), 4u) << folder;
        // A file without a line would never be checked.
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name != "expected.txt") {
                EXPECT_TRUE(listed.count(name)) << folder << ": " << name << " is not listed";
            }
        }
    }
}
