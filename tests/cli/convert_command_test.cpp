#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

#include "cli/cli.h"
#include "core/bmp_file.h"
#include "core/dib.h"
#include "cli_run.h"
#include "support/peer_tools.h"
#include "support/test_files.h"
#include "support/test_items.h"

namespace {

CliRun Convert(std::vector<std::string> args) {
    args.insert(args.begin(), "convert");
    return RunTool(std::move(args));
}

// A BMP of width x height at a depth, every pixel byte `fill`.
void WritePicture(const std::string& path, int width, int height, int bitCount = 24,
                  std::uint8_t fill = 0x40) {
    NewItem item = MakePictureItem(width, height, bitCount, fill);
    ASSERT_EQ(WriteBmpFile(path.c_str(), item.header.get(), item.bits.get()), ImageOk);
}

class ConvertCommand : public testing::Test {
protected:
    ConvertCommand() {
        WritePicture(small, 16, 16);
        WritePicture(large, 32, 32);
        WritePicture(wide, 20, 8);
    }
    ScratchDir dir;
    std::string small = dir.File("small.bmp");
    std::string large = dir.File("large.bmp");
    std::string wide = dir.File("wide.bmp");
};

}  // namespace

TEST_F(ConvertCommand, UsageErrors) {
    const std::string out = dir.File("o.ico");
    const std::vector<std::vector<std::string>> cases = {
        {small, "-o", out},
        {small, "--as", "ico"},
        {"-o", out, "--as", "ico"},
        {small, "-o", out, "--as", "gif"},
        {small, "-o", out, "--as", "apng", "--png-filter", "median"},
        {small, "-o", out, "--as", "apng", "--png-compression", "9"},
        {small, "-o", out, "--as", "ani", "--ani-per-directory", "0"},
        {small, "-o", out, "--as", "ani", "--ani-per-directory", "100"},
        {small, "-o", out, "--as", "ico", "--delay", "0"},
        {small, "-o", out, "--as", "ico", "--hotspot", "0:1"},
        {small, "-o", out, "--as", "ico", "--hotspot", "0:1,40000"},
        {small, "-o", out, "--as", "ico", "--blend", "0:2"},
        {small, "-o", out, "--as", "ico", "--dispose", "0:3"},
        {small, "-o", out, "--as", "ico", "--select", "2-1"},
        {small, "-o", out, "--as", "ico", "--resize", "0x3"},
        {small, "-o", out, "--as", "ico", "--plays", "-1"},
        {small, "-o", out, "--as", "ico", "--frobnicate"},
        {small, "-o", out, "--as", "ico", "--delay"},
        {small, "-o", out, "--as", "ico", "--select", "1"},  // one item: index 1 is missing
        {small, "-o", out, "--as", "ico", "--delay", "3:10"},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args) joined += a + ' ';
        SCOPED_TRACE(joined);
        const CliRun run = Convert(args);
        EXPECT_EQ(run.code, 2) << run.err;
        EXPECT_EQ(run.err.rfind("iconmill-cli convert: ", 0), 0u) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    EXPECT_NE(RunTool({"--help"}).out.find("convert FILE... -o OUT --as"), std::string::npos);
}

TEST_F(ConvertCommand, IconsAndCursorsAsIcotoolListsThem) {
    const std::string ico = dir.File("two.ico");
    const std::string cur = dir.File("two.cur");
    ASSERT_EQ(Convert({small, large, "-o", ico, "--as", "ico", "--convert", "8"}).code, 0);
    const CliRun cursor = Convert(
        {small, large, "-o", cur, "--as", "cur", "--hotspot", "1:5,7", "--hotspot", "0:15,0"});
    ASSERT_EQ(cursor.code, 0) << cursor.err;
    REQUIRE_PROGRAM("icotool", "icoutils");
    EXPECT_EQ(ShellOutput("icotool -l '" + ico + "'"),
              "--icon --index=1 --width=16 --height=16 --bit-depth=8 --palette-size=256\n"
              "--icon --index=2 --width=32 --height=32 --bit-depth=8 --palette-size=256\n");
    EXPECT_EQ(ShellOutput("icotool -l '" + cur + "'"),
              "--cursor --index=1 --width=16 --height=16 --bit-depth=24 --palette-size=0 "
              "--hotspot-x=15 --hotspot-y=0\n"
              "--cursor --index=2 --width=32 --height=32 --bit-depth=24 --palette-size=0 "
              "--hotspot-x=5 --hotspot-y=7\n");
}

TEST_F(ConvertCommand, LargeIconEntriesArePng) {
    const std::string big = dir.File("big.bmp");
    WritePicture(big, 256, 256, 32, 0xFF);
    const std::string ico = dir.File("big.ico");
    const CliRun run = Convert({small, big, "-o", ico, "--as", "ico"});
    ASSERT_EQ(run.code, 0) << run.err;
    // The second entry's data starts with the PNG signature.
    const std::vector<std::uint8_t> bytes = ReadBytes(ico);
    ASSERT_GE(bytes.size(), 6u + 32);
    const std::uint32_t offset = bytes[6 + 16 + 12] | bytes[6 + 16 + 13] << 8 |
                                 bytes[6 + 16 + 14] << 16 | std::uint32_t(bytes[6 + 16 + 15]) << 24;
    ASSERT_LT(offset + 8u, bytes.size());
    EXPECT_EQ(bytes[offset + 1], 'P');
    EXPECT_EQ(bytes[offset + 2], 'N');
    REQUIRE_PROGRAM("icotool", "icoutils");
    const std::optional<std::string> listing = ShellOutput("icotool -l '" + ico + "'");
    ASSERT_TRUE(listing);
    EXPECT_NE(listing->find("--index=2 --width=256 --height=256 --bit-depth=32"), std::string::npos)
        << *listing;
}

TEST_F(ConvertCommand, AnimatedPngAsPngcheckAndPilSeeIt) {
    const std::string apng = dir.File("anim.png");
    const CliRun run = Convert({small,   wide,      large,   "-o",           apng,    "--as",
                                "apng",  "--delay", "0:250", "--position",   "0:4,2", "--position",
                                "1:6,9", "--delay", "1:70",  "--dispose",    "1:1",   "--blend",
                                "2:1",   "--plays", "3",     "--png-filter", "paeth", "--duplicate",
                                "1",     "--delay", "3:90"});
    ASSERT_EQ(run.code, 0) << run.err;
    if (OptionalProgram("pngcheck")) {
        const std::optional<std::string> check = ShellOutput("pngcheck -q '" + apng + "'");
        EXPECT_TRUE(check.has_value()) << "pngcheck refused " << apng;
    }
    REQUIRE_PYTHON_WITH_PIL(python);
    const std::string script =
        "from PIL import Image\n"
        "im = Image.open('" +
        apng +
        "')\n"
        "print(im.size, im.n_frames, im.info.get('loop'))\n"
        "for i in range(im.n_frames):\n"
        "    im.seek(i)\n"
        "    print(i, int(im.info['duration']), im.dispose_extent)\n";
    const std::optional<std::string> seen =
        ShellOutput(python + " -c \"" + script + "\" 2>&1");
    ASSERT_TRUE(seen);
    // The canvas is the large picture's 32 x 32 (the wide one at (6, 9) ends at
    // 26 x 17). The first picture is placed on a canvas-sized frame at (0, 0);
    // the duplicate of the wide picture takes its original's place.
    EXPECT_EQ(*seen,
              "(32, 32) 4 3\n"
              "0 250 (0, 0, 32, 32)\n"
              "1 70 (6, 9, 26, 17)\n"
              "2 600 (0, 0, 32, 32)\n"
              "3 90 (6, 9, 26, 17)\n");
}

TEST_F(ConvertCommand, QuestionsTakeTheSafeAnswerWithoutYes) {
    // A BMP series over existing files.
    const std::string first = dir.File("s.bmp");
    WriteBytes(dir.File("s002.bmp"), {'o', 'l', 'd'});
    CliRun run = Convert({small, large, "-o", first, "--as", "bmp"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("s002.bmp already exists.\nDo you want to replace it?"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ReadBytes(dir.File("s002.bmp")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    run = Convert({small, large, "-o", first, "--as", "bmp", "--yes"});
    EXPECT_EQ(run.code, 0) << run.err;
    HeaderBlock header;
    Block bits;
    ASSERT_EQ(ReadBmpFile(dir.File("s002.bmp").c_str(), &header, &bits), ImageOk);
    EXPECT_EQ(header->biWidth, 32);

    // Duplicated resolutions in an icon.
    const std::string ico = dir.File("dup.ico");
    run = Convert({small, small, "-o", ico, "--as", "ico"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("The following resolutions are duplicated:\n16x16, 24-bit"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(ico));
    EXPECT_EQ(Convert({small, small, "-o", ico, "--as", "ico", "--yes"}).code, 0);
    EXPECT_TRUE(std::filesystem::exists(ico));
}

TEST_F(ConvertCommand, FailuresExitWithOne) {
    // An unreadable input ends the command before anything is saved.
    const std::string bad = dir.File("bad.bmp");
    WriteBytes(bad, {'B', 'M'});
    const std::string out = dir.File("o.ico");
    CliRun run = Convert({small, bad, "-o", out, "--as", "ico"});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    // Mixed depths cannot make an animated PNG.
    const std::string deep = dir.File("deep.bmp");
    WritePicture(deep, 16, 16, 32);
    run = Convert({small, deep, "-o", dir.File("m.png"), "--as", "apng"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "To perform this operation, the images bit-depth must be same.\n");
    // Three images cannot fill directories of two.
    run = Convert(
        {small, large, wide, "-o", dir.File("x.ani"), "--as", "ani", "--ani-per-directory", "2"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "Image count is not correct to build each icon directory with 2 items.\n");
    // A folder that does not exist.
    run = Convert({small, "-o", dir.File("none/x.cur"), "--as", "cur"});
    EXPECT_EQ(run.code, 1);
}

TEST_F(ConvertCommand, SelectSavesTheSelectionAndPngOptionsReachTheSeries) {
    const std::string first = dir.File("sel.png");
    const CliRun run = Convert({small, large, wide, "-o", first, "--as", "png", "--select", "0,2",
                                "--png-grayscale", "--png-interlaced"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(first));
    const std::vector<std::uint8_t> second = ReadBytes(dir.File("sel002.png"));
    ASSERT_GT(second.size(), 29u);
    EXPECT_EQ(second[19], 20);  // IHDR width: the wide picture
    EXPECT_EQ(second[25], 0);   // colour type gray
    EXPECT_EQ(second[28], 1);   // interlaced
    EXPECT_FALSE(std::filesystem::exists(dir.File("sel003.png")));
}

TEST_F(ConvertCommand, AnOpenedAnimatedCursorKeepsItsOptions) {
    const std::string ani = dir.File("walk.ani");
    CliRun run =
        Convert({small, small, large, large, "-o", ani, "--as", "ani", "--ani-name", "Walk",
                 "--ani-artist", "Me", "--ani-per-directory", "2", "--ani-common-rate"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string again = dir.File("again.ani");
    run = Convert({ani, "-o", again, "--as", "ani"});
    ASSERT_EQ(run.code, 0) << run.err;
    run = RunTool({"info", "--json", again});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("\"name\":\"Walk\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"artist\":\"Me\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"perDirectory\":2"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"individualRates\":false"), std::string::npos) << run.out;
}
