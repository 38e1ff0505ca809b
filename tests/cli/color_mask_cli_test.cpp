#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "core/bmp_file.h"
#include "core/dib.h"
#include "platform/raster.h"
#include "cli_run.h"
#include "support/test_files.h"

namespace {

// Writes a bottom-up BMP of width x 1 whose pixels have the stored values given.
void WriteRow(const std::string& path, unsigned bitCount,
              const std::vector<std::uint32_t>& values) {
    const int width = static_cast<int>(values.size());
    DibHeader header{40, width, 1, 1, static_cast<std::uint16_t>(bitCount), 0, 0, 0, 0, 0, 0};
    Block bits = AllocateZeroedBlock(DibImageSize(&header));
    auto surface = *RasterSurface::Over(&header, bits.get(), DibImageSize(&header));
    for (int x = 0; x < width; ++x) surface.SetRawPixel(x, 0, values[static_cast<std::size_t>(x)]);
    ASSERT_EQ(WriteBmpFile(path.c_str(), &header, bits.get()), ImageOk);
}

std::vector<std::uint32_t> ReadRow(const std::string& path) {
    HeaderBlock header;
    Block bits;
    EXPECT_EQ(ReadBmpFile(path.c_str(), &header, &bits), ImageOk) << path;
    if (!header) return {};
    auto surface = *RasterSurface::Over(header.get(), bits.get(), DibImageSize(header.get()));
    std::vector<std::uint32_t> row;
    for (int x = 0; x < surface.Width(); ++x) row.push_back(surface.RawPixel(x, 0));
    return row;
}

}  // namespace

TEST(ColorMaskCli, BadValuesAreUsageErrors) {
    ScratchDir dir;
    const std::string in = dir.File("in.bmp");
    WriteRow(in, 24, {0});
    const std::vector<std::vector<std::string>> bad = {
        {"--grayscale"},          {"--grayscale", "gray"},
        {"--grayscale", "luma:"}, {"--grayscale", "luma:GG0000"},
        {"--grayscale", "Luma"},  {"--alpha", "flat:256"},
        {"--alpha", "flat:"},     {"--alpha", "flat:-1"},
        {"--alpha", "half"},      {"--mask-pick", "12345"},
        {"--mask-add"},           {"--mask-subtract", "red"},
    };
    for (const auto& options : bad) {
        for (const char* command : {"op", "convert"}) {
            std::vector<std::string> args = {command, in, "-o", dir.File("out.bmp")};
            if (std::string(command) == "convert") args.insert(args.end(), {"--as", "bmp"});
            args.insert(args.end(), options.begin(), options.end());
            SCOPED_TRACE(testing::Message() << command << ' ' << options[0]
                                            << (options.size() > 1 ? " " + options[1] : ""));
            const CliRun run = RunTool(args);
            EXPECT_EQ(run.code, 2);
            EXPECT_NE(run.err.find(options[0]), std::string::npos) << run.err;
        }
    }
}

TEST(ColorMaskCli, GrayscaleAndAlphaRunInOrderOnTheSelection) {
    ScratchDir dir;
    const std::string a = dir.File("a.bmp"), b = dir.File("b.bmp"), out = dir.File("out.bmp");
    WriteRow(a, 24, {0x0D0D0D, 0x2850A0, 0x2850A1, 0xFFFFFF});  // files of 66 bytes and more
    WriteRow(b, 32, {0x80326496, 0xFF1E140A, 0x00FFFFFF});
    // Each option is one dialog closed with OK: gray, then pre-multiplied, then a
    // flat alpha over the pre-multiplied colours; the 24-bit item keeps its alpha.
    CliRun run = RunTool({"op", a, b, "--grayscale", "bt709:2850A0", "--alpha", "premultiplied",
                          "--alpha", "flat:0", "-o", out});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadRow(out), (std::vector<std::uint32_t>{0x0C0C0C, 0x2850A0, 0x4D4D4D, 0xFFFFFF}));
    // (50, 100, 150) at alpha 128 grays to 92, times 128 / 255 is 46.
    EXPECT_EQ(ReadRow(dir.File("out002.bmp")),
              (std::vector<std::uint32_t>{0x002E2E2E, 0x00151515, 0}));

    run = RunTool({"op", b, "--select", "0", "--alpha", "flat:7", "-o", out});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadRow(out), (std::vector<std::uint32_t>{0x07326496, 0x071E140A, 0x07FFFFFF}));
}

TEST(ColorMaskCli, MaskToolsAndDeleteMaskThroughAnIcon) {
    ScratchDir dir;
    const std::string in = dir.File("in.bmp"), icon = dir.File("out.ico");
    WriteRow(in, 24, {0xFF0000, 0x0000FF, 0xFF0000});
    const auto maskAfter = [&](std::vector<std::string> options) {
        std::vector<std::string> args = {"convert", in, "-o", icon, "--as", "ico"};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.code, 0) << run.err;
        const std::string dump = dir.File("dump");
        std::filesystem::remove_all(dump);
        EXPECT_EQ(RunTool({"info", "--dump", dump, icon}).code, 0);
        return ReadBytes(dump + "/0.mask");
    };
    EXPECT_EQ(maskAfter({"--mask-pick", "FF0000"}), (std::vector<std::uint8_t>{1, 0, 1}));
    EXPECT_EQ(maskAfter({"--mask-pick", "FF0000", "--mask-invert"}),
              (std::vector<std::uint8_t>{0, 1, 0}));
    EXPECT_EQ(maskAfter({"--mask-invert", "--mask-subtract", "0000FF"}),
              (std::vector<std::uint8_t>{1, 0, 1}));
    EXPECT_EQ(maskAfter({"--mask-add", "0000FF"}), (std::vector<std::uint8_t>{0, 1, 0}));
    // Without a mask an icon stores an all-opaque one.
    EXPECT_EQ(maskAfter({"--mask-pick", "FF0000", "--delete-mask"}),
              (std::vector<std::uint8_t>{0, 0, 0}));
}
