#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

#include "cli_run.h"
#include "core/bmp_file.h"
#include "support/peer_tools.h"
#include "support/test_files.h"
#include "support/test_items.h"

namespace {

std::string Joined(const std::vector<std::string>& args) {
    std::string joined;
    for (const auto& a : args) joined += a + ' ';
    return joined;
}

}  // namespace

TEST(SizeSetCli, BadValuesAreUsageErrors) {
    ScratchDir dir;
    const std::string source = dir.File("s.bmp");
    NewItem item = MakePictureItem(8, 8, 24, 0x40);
    ASSERT_EQ(WriteBmpFile(source.c_str(), item.header.get(), item.bits.get()), ImageOk);
    const std::string out = dir.File("o.ico");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"convert", source, "-o", out, "--as", "ico", "--sizes", ""},
             {"convert", source, "-o", out, "--as", "ico", "--sizes", "16,0"},
             {"convert", source, "-o", out, "--as", "ico", "--sizes", "icon:24"},
             {"convert", source, "-o", out, "--as", "ico", "--sizes", "icon:32:keeps"},
             {"convert", source, "-o", out, "--as", "ico", "--sizes"},
             {"op", source, "-o", dir.File("o.bmp"), "--resize", "4x4:blur"},
             {"op", source, "-o", dir.File("o.bmp"), "--resize", "4x4:"},
             {"op", source, "-o", dir.File("o.bmp"), "--svg-size", "0"},
             {"convert", source, "-o", out, "--as", "ico", "--svg-size", "16385"},
             {"convert", source, "-o", out, "--as", "ico", "--svg-size", "big"},
         }) {
        SCOPED_TRACE(Joined(args));
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.code, 2) << run.err;
        EXPECT_NE(run.err.find("iconmill-cli " + args[0] + ": "), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_NE(RunTool({"--help"}).out.find("--sizes LIST[:DEPTHS][:keep]"), std::string::npos);
}

TEST(SizeSetCli, OpWritesTheSetInItsOrder) {
    ScratchDir dir;
    const std::string source = dir.File("s.bmp");
    NewItem item = MakePictureItem(40, 40, 24, 0x40);
    ASSERT_EQ(WriteBmpFile(source.c_str(), item.header.get(), item.bits.get()), ImageOk);
    const std::string out = dir.File("o.bmp");
    const CliRun run = RunTool({"op", source, "--sizes", "favicon:4,32:keep", "-o", out});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::pair<int, int> expected[] = {{40, 24}, {16, 32}, {16, 4}, {32, 32},
                                            {32, 4},  {48, 32}, {48, 4}};
    for (unsigned n = 1; n <= 7; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, n == 1 ? "o.bmp" : "o%03u.bmp", n);
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = ReadBytes(dir.File(name));
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[18] | bytes[19] << 8, expected[n - 1].first);
        EXPECT_EQ(bytes[28], expected[n - 1].second);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("o008.bmp")));
}

// The icon preset from one large picture, as icotool lists it, and its 32-bit
// entries against Pillow's box filter on the same source.
TEST(SizeSetCli, IconSetAgreesWithIcotoolAndPillow) {
    REQUIRE_PROGRAM("icotool", "icoutils");
    REQUIRE_PYTHON_WITH_PIL(python);
    ScratchDir dir;
    const std::string source = dir.File("s.png");
    const std::string ico = dir.File("set.ico");
    // Smooth ramps and waves, opaque except for a band of rising alpha on the right.
    const std::string make =
        "from PIL import Image\n"
        "import math\n"
        "im = Image.new('RGBA', (1000, 1000))\n"
        "im.putdata([(x * 255 // 999, y * 255 // 999,"
        " int(128 + 127 * math.sin(x / 37.0) * math.cos(y / 23.0)),"
        " 255 if x < 800 else (x - 800) * 255 // 199) for y in range(1000) for x in range(1000)])\n"
        "im.save('" + source + "')\n";
    ASSERT_TRUE(ShellOutput(python + " -c \"" + make + "\""));
    const CliRun run = RunTool({"convert", source, "--sizes", "icon:32,8,4", "--as", "ico", "-o", ico});
    ASSERT_EQ(run.code, 0) << run.err;

    const std::optional<std::string> listing = ShellOutput("icotool -l '" + ico + "'");
    ASSERT_TRUE(listing);
    std::istringstream lines(*listing);
    std::string line;
    int index = 0;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256})
        for (int depth : {32, 8, 4}) {
            ASSERT_TRUE(std::getline(lines, line));
            std::ostringstream want;
            want << "--icon --index=" << ++index << " --width=" << size << " --height=" << size
                 << " --bit-depth=" << depth;
            EXPECT_EQ(line.rfind(want.str(), 0), 0u) << line;
        }
    EXPECT_FALSE(std::getline(lines, line)) << line;

    // Per size: the largest difference on opaque pixels, on partly transparent
    // ones with alpha >= 64, and on fainter ones (Pillow premultiplies in 8 bits,
    // which loses the colour of faint pixels; we do not).
    const std::string compare =
        "from PIL import Image, IcoImagePlugin\n"
        "src = Image.open('" + source + "').convert('RGBA')\n"
        "ico = IcoImagePlugin.IcoFile(open('" + ico + "', 'rb'))\n"
        "for s in (16, 20, 24, 32, 40, 48, 64, 256):\n"
        "    ours = ico.getimage((s, s), 32).convert('RGBA')\n"
        "    ref = src.resize((s, s), Image.Resampling.BOX)\n"
        "    d = [0, 0, 0]\n"
        "    for p, q in zip(ours.getdata(), ref.getdata()):\n"
        "        k = 0 if q[3] == 255 else 1 if q[3] >= 64 else 2\n"
        "        if q[3]: d[k] = max(d[k], max(abs(a - b) for a, b in zip(p, q)))\n"
        "    print(s, d[0], d[1], d[2])\n";
    const std::optional<std::string> seen = ShellOutput(python + " -c \"" + compare + "\"");
    ASSERT_TRUE(seen);
    std::istringstream rows(*seen);
    int size = 0, opaque = 0, partial = 0, faint = 0, sizes = 0;
    while (rows >> size >> opaque >> partial >> faint) {
        SCOPED_TRACE(size);
        ++sizes;
        EXPECT_LE(opaque, 2);
        EXPECT_LE(partial, 4);
        std::printf("size %d: opaque %d, alpha >= 64 %d, fainter %d\n", size, opaque, partial,
                    faint);
    }
    EXPECT_EQ(sizes, 8) << *seen;
}

// Every frame of an animated cursor gets the cursor sizes with its hot spot
// scaled; saved with five images per directory, the file holds one set per frame.
TEST(SizeSetCli, AnimatedCursorFramesEachHoldTheSet) {
    ScratchDir dir;
    std::vector<std::string> frames;
    for (int i = 0; i < 2; ++i) {
        frames.push_back(dir.File("f" + std::to_string(i) + ".bmp"));
        NewItem item = MakePictureItem(40, 40, 32, static_cast<std::uint8_t>(0x40 + i));
        ASSERT_EQ(WriteBmpFile(frames.back().c_str(), item.header.get(), item.bits.get()), ImageOk);
    }
    const std::string two = dir.File("two.ani"), set = dir.File("set.ani");
    CliRun run = RunTool({"convert", frames[0], frames[1], "--hotspot", "0:20,39", "--hotspot",
                          "1:20,39", "--as", "ani", "-o", two});
    ASSERT_EQ(run.code, 0) << run.err;
    run = RunTool({"convert", two, "--sizes", "cursor", "--as", "ani", "--ani-per-directory", "5",
                   "-o", set});
    ASSERT_EQ(run.code, 0) << run.err;
    run = RunTool({"info", set});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("\"perDirectory\":5"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("items 10\n"), std::string::npos) << run.out;
    const char* const shapes[] = {"32x32 32-bit colors 0 mask yes hotspot 16,31",
                                  "48x48 32-bit colors 0 mask yes hotspot 24,47",
                                  "64x64 32-bit colors 0 mask yes hotspot 32,62",
                                  "96x96 32-bit colors 0 mask yes hotspot 48,94",
                                  "128x128 32-bit colors 0 mask yes hotspot 64,125"};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(run.out.find(std::to_string(i) + ": " + shapes[i % 5]), std::string::npos)
            << run.out;
    }
}

// A drawing rendered at the asked size on the command line, made into a set; a
// drawing that cannot be read fails the run.
TEST(SizeSetCli, SvgSizeRendersTheDrawingThatTheSetIsMadeFrom) {
    ScratchDir dir;
    const std::string svg = dir.File("d.svg"), bad = dir.File("bad.svgz"), out = dir.File("o.bmp");
    const std::string text =
        "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 3 1'>"
        "<rect width='3' height='1' fill='#0000ff'/></svg>";
    WriteBytes(svg, std::vector<std::uint8_t>(text.begin(), text.end()));
    WriteBytes(bad, std::vector<std::uint8_t>{0x1F, 0x8B, 1, 2, 3});
    CliRun run = RunTool({"op", svg, "-o", out});
    ASSERT_EQ(run.code, 0) << run.err;
    std::vector<std::uint8_t> bytes = ReadBytes(out);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[18], 3);  // its own size: the viewBox
    EXPECT_EQ(bytes[22], 1);
    run = RunTool({"op", "--svg-size", "90", svg, "--sizes", "16,32", "-o", out});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadBytes(out)[18], 16);
    EXPECT_EQ(ReadBytes(dir.File("o002.bmp"))[18], 32);
    run = RunTool({"op", bad, "-o", out});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("cannot read"), std::string::npos) << run.err;
}
