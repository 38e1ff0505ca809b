#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "core/bmp_file.h"
#include "core/dib.h"
#include "cli_run.h"
#include "support/test_files.h"

namespace {

void WriteImage(const std::string& path, int width, int height, std::uint8_t fill) {
    DibHeader header{40, width, height, 1, 24, 0, 0, 0, 0, 0, 0};
    Block bits = AllocateBlock(DibImageSize(&header));
    std::memset(bits.get(), fill, DibImageSize(&header));
    ASSERT_EQ(WriteBmpFile(path.c_str(), &header, bits.get()), ImageOk);
}

// The sizes and depths of a written series OUT.bmp, OUT002.bmp, ...
std::vector<std::string> Series(const ScratchDir& dir) {
    std::vector<std::string> sizes;
    for (unsigned n = 1;; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, n == 1 ? "out.bmp" : "out%03u.bmp", n);
        const std::string path = dir.File(name);
        if (!std::filesystem::exists(path)) break;
        HeaderBlock header;
        Block bits;
        EXPECT_EQ(ReadBmpFile(path.c_str(), &header, &bits), ImageOk);
        sizes.push_back(std::to_string(header->biWidth) + "x" + std::to_string(header->biHeight) +
                        "x" + std::to_string(header->biBitCount));
    }
    return sizes;
}

}  // namespace

TEST(CompositionOptions, MergeSplitAndNewBitmapRunInTheOrderGiven) {
    struct Case {
        std::vector<std::string> operations;
        std::vector<std::string> written;
    };
    const Case cases[] = {
        {{"--merge", "2"}, {"16x16x24", "16x16x24", "32x8x24", "64x32x24"}},
        {{"--merge", "3:vertical:fill=FF0000:delete"}, {"32x48x24"}},
        {{"--merge", "1:delete"}, {"32x48x24"}},
        {{"--split", "2x1"}, {"16x16x24", "16x16x24", "32x8x24", "8x16x24", "8x16x24"}},
        {{"--split", "2x2:delete"}, {"16x16x24", "32x8x24", "8x8x24", "8x8x24", "8x8x24", "8x8x24"}},
        {{"--new-bitmap", "4x3:8", "--merge", "2:fill=000000"},
         {"16x16x24", "16x16x24", "32x8x24", "4x3x8", "64x32x24"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operations[1]);
        ScratchDir dir;
        WriteImage(dir.File("a.bmp"), 16, 16, 0x10);
        WriteImage(dir.File("b.bmp"), 16, 16, 0x20);
        WriteImage(dir.File("c.bmp"), 32, 8, 0x30);
        std::vector<std::string> args = {"op", dir.File("a.bmp"), dir.File("b.bmp"),
                                         dir.File("c.bmp")};
        args.insert(args.end(), c.operations.begin(), c.operations.end());
        args.insert(args.end(), {"-o", dir.File("out.bmp")});
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(Series(dir), c.written);
    }
}

TEST(CompositionOptions, WhatTheDialogsRefuseFailsWithTheirMessages) {
    struct Case {
        std::vector<std::string> operations;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"--merge", "4"}, 1, "Please enter a value between 1 and 3.\n"},
        {{"--merge", "0"}, 1, "Please enter a value between 1 and 3.\n"},
        {{"--select", "0", "--merge", "1"}, 1, "Invalid parameters.\n"},
        {{"--split", "5x1"}, 1, "Width is not divisible to the round number.\n"},
        {{"--split", "0x3"}, 1,
         "Please enter a value between 1 and 16.\nHeight is not divisible to the round number.\n"},
        {{"--new-bitmap", "0x5:24"}, 1, "Please enter a value between 1 and 2147483647.\n"},
        {{"--new-bitmap", "5x2147483648:24"}, 1, "Please enter a value between 1 and 2147483647.\n"},
        {{"--merge", "2:diagonal"}, 2, ""},
        {{"--merge", "2:delete:vertical"}, 2, ""},
        {{"--split", "3"}, 2, ""},
        {{"--new-bitmap", "4x3:7"}, 2, ""},
        {{"--new-bitmap", "4x3"}, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operations.back());
        ScratchDir dir;
        WriteImage(dir.File("a.bmp"), 16, 16, 0x10);
        WriteImage(dir.File("b.bmp"), 16, 16, 0x20);
        WriteImage(dir.File("c.bmp"), 32, 8, 0x30);
        for (const char* command : {"op", "convert"}) {
            std::vector<std::string> args = {command, dir.File("a.bmp"), dir.File("b.bmp"),
                                             dir.File("c.bmp")};
            args.insert(args.end(), c.operations.begin(), c.operations.end());
            args.insert(args.end(), {"-o", dir.File("out.bmp")});
            if (std::string(command) == "convert") args.insert(args.end(), {"--as", "bmp"});
            const CliRun run = RunTool(args);
            EXPECT_EQ(run.code, c.code) << command << ": " << run.err;
            if (c.code == 1) {
                EXPECT_EQ(run.err, c.message) << command;
            }
            EXPECT_FALSE(std::filesystem::exists(dir.File("out.bmp"))) << command;
        }
    }
}
