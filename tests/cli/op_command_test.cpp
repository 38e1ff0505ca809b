#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "core/bmp_file.h"
#include "core/dib.h"
#include "platform/raster.h"
#include "support/test_files.h"

namespace {

struct CliRun {
    int code;
    std::string err;
};

CliRun RunOp(std::vector<std::string> args) {
    args.insert(args.begin(), "op");
    std::ostringstream out, err;
    const int code = RunCli(args, out, err);
    return {code, err.str()};
}

// Writes a width x height picture of `bitCount` 16, 24 or 32 whose every stored
// value is `value`.
void WriteImage(const std::string& path, int width, int height, unsigned bitCount,
                std::uint32_t value) {
    DibHeader header{40, width, height, 1, static_cast<std::uint16_t>(bitCount), 0, 0, 0, 0, 0, 0};
    Block bits = AllocateZeroedBlock(DibImageSize(&header));
    auto surface = *RasterSurface::Over(&header, bits.get(), DibImageSize(&header));
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < width; ++x) surface.SetRawPixel(x, y, value);
    ASSERT_EQ(WriteBmpFile(path.c_str(), &header, bits.get()), ImageOk);
}

struct Read {
    HeaderBlock header;
    Block bits;
    std::uint32_t Pixel(int x, int y) const {
        return RasterSurface::Over(header.get(), bits.get(), DibImageSize(header.get()))
            ->RawPixel(x, y);
    }
};

Read ReadImage(const std::string& path) {
    Read read;
    EXPECT_EQ(ReadBmpFile(path.c_str(), &read.header, &read.bits), ImageOk) << path;
    return read;
}

}  // namespace

TEST(OpCommand, RunsTheOperationsOnTheSelectionAndWritesASeries) {
    ScratchDir dir;
    const std::string a = dir.File("a.bmp"), b = dir.File("b.bmp"), c = dir.File("c.bmp");
    WriteImage(a, 3, 2, 24, 0x0000FF);
    WriteImage(b, 3, 2, 24, 0xFF0000);
    WriteImage(c, 2, 2, 32, 0x00123456);  // fully transparent
    const std::string out = dir.File("out.bmp");
    const CliRun run = RunOp({a, b, c, "--select", "1-2", "--convert", "8", "--rotate", "cw", "-o",
                              out, "--background", "FFFFFF"});
    ASSERT_EQ(run.code, 0) << run.err;

    const Read first = ReadImage(out);
    EXPECT_EQ(first.header->biBitCount, 24);  // not selected
    EXPECT_EQ(first.header->biWidth, 3);
    const Read second = ReadImage(dir.File("out002.bmp"));
    EXPECT_EQ(second.header->biBitCount, 8);
    EXPECT_EQ(second.header->biWidth, 2);
    EXPECT_EQ(second.header->biHeight, 3);
    EXPECT_EQ(second.Pixel(0, 0), 2u);  // red in the halftone table
    const Read third = ReadImage(dir.File("out003.bmp"));
    EXPECT_EQ(third.Pixel(1, 1), 15u);  // flattened onto white
    EXPECT_FALSE(std::filesystem::exists(dir.File("out004.bmp")));
}

TEST(OpCommand, ResizeCanvasAndRowOrder) {
    ScratchDir dir;
    const std::string a = dir.File("a.bmp");
    WriteImage(a, 4, 4, 24, 0x00FF00);
    const std::string out = dir.File("sub/x.bmp");
    std::filesystem::create_directories(dir.Path() / "sub");
    const CliRun run =
        RunOp({a, "--resize", "2x2", "--canvas", "3x4:br:0000FF", "--top-down", "-o", out});
    ASSERT_EQ(run.code, 0) << run.err;
    const Read r = ReadImage(out);
    EXPECT_EQ(r.header->biWidth, 3);
    EXPECT_EQ(r.header->biHeight, -4);
    EXPECT_EQ(r.Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(r.Pixel(1, 2), 0x00FF00u);
    EXPECT_EQ(r.Pixel(0, 3), 0x0000FFu);
}

TEST(OpCommand, UsageErrorsAndFailures) {
    ScratchDir dir;
    const std::string a = dir.File("a.bmp");
    WriteImage(a, 2, 2, 24, 0);
    const std::string out = dir.File("o.bmp");
    const std::vector<std::vector<std::string>> usage = {
        {a, "--convert", "2", "-o", out},
        {a, "--rotate", "90", "-o", out},
        {a, "--canvas", "3x3:middle", "-o", out},
        {a, "--resize", "0x3", "-o", out},
        {a, "--convert", "8"},
        {"-o", out},
        {a, "--select", "0,", "-o", out},
        {a, "--select", "1", "-o", out},
        {a, "--background", "12345", "-o", out},
        {a, "--frobnicate", "-o", out},
    };
    for (const auto& args : usage) {
        const CliRun run = RunOp(args);
        EXPECT_EQ(run.code, 2) << args[1];
        EXPECT_EQ(run.err.rfind("iconmill-cli op: ", 0), 0u) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));

    const CliRun missing = RunOp({dir.File("none.bmp"), "--convert", "8", "-o", out});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(OpCommand, InvertComplementsColourBytesAndKeepsAlpha) {
    ScratchDir dir;
    const std::string a = dir.File("a.bmp"), b = dir.File("b.bmp");
    WriteImage(a, 3, 1, 24, 0x102030);
    WriteImage(b, 2, 2, 32, 0xC80A141E);  // alpha 200
    const std::string out = dir.File("out.bmp");
    const CliRun run = RunOp({a, b, "--invert", "-o", out});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadImage(out).Pixel(2, 0), 0xEFDFCFu);
    EXPECT_EQ(ReadImage(dir.File("out002.bmp")).Pixel(0, 0), 0xC8F5EBE1u);
}
