// iconmill-cli info over PNG and animated PNG files.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "formats/png/png_test_support.h"
#include "support/test_files.h"

TEST(PngInfo, DescribesAnAnimatedPng) {
    ScratchDir dir;
    const std::string path = dir.File("anim.png");
    PngBuilder png;
    png.Ihdr(2, 2, 8, 6, 1)
        .Actl(1, 2)
        .Chunk("IDAT", Compress(UnfilteredRows(
                           {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}})));
    png.Fctl(0, 1, 1, 1, 0, 3, 0, 2, 1).Fdat(1, Compress(UnfilteredRows({{1, 2, 3, 4}}))).Iend();
    WriteBytes(path, png.Data());
    std::ostringstream out, err;
    ASSERT_EQ(RunCli({"info", "--json", path}, out, err), 0) << err.str();
    const nlohmann::json info = nlohmann::json::parse(out.str());
    EXPECT_EQ(info["type"], 3);
    EXPECT_EQ(info["plays"], 2);
    EXPECT_EQ(info["firstFrameExcluded"], true);
    EXPECT_EQ(info["options"]["interlaced"], true);
    EXPECT_EQ(info["options"]["filter"], 5);
    ASSERT_EQ(info["items"].size(), 2u);
    EXPECT_EQ(info["items"][0]["bitCount"], 32);
    EXPECT_EQ(info["items"][0]["delay"], 600);
    EXPECT_EQ(info["items"][1]["width"], 1);
    EXPECT_EQ(info["items"][1]["delay"], 30);
    EXPECT_EQ(info["items"][1]["x"], 1);
    EXPECT_EQ(info["items"][1]["dispose"], 2);
    EXPECT_EQ(info["items"][1]["blend"], 1);
}

// Every PNG and APNG of the corpus goes through the whole open path without
// fault: it opens, or it is reported and refused.
TEST(PngInfo, ReadsEveryPngOfTheCorpusWithoutFault) {
    REQUIRE_CORPUS(corpus, "");
    int opened = 0, refused = 0;
    for (const char* folder : {"png", "apng"})
        for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus / folder)) {
            if (entry.path().extension() != ".png") continue;
            std::ostringstream out, err;
            const int code = RunCli({"info", entry.path().string()}, out, err);
            ASSERT_TRUE(code == 0 || code == 1) << entry.path();
            (code == 0 ? opened : refused) += 1;
        }
    EXPECT_GT(opened, 300);
    EXPECT_GT(refused, 10);
}
