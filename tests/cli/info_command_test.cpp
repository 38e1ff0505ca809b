#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "cli_run.h"
#include "support/bmp_bytes.h"
#include "support/test_files.h"

namespace {

}  // namespace

TEST(InfoCommand, JsonDescribesEveryItemWithHashes) {
    ScratchDir dir;
    std::string a = dir.File("a.bmp"), b = dir.File("b.bmp");
    WriteBytes(a, MakeBmp24(1, 3, 0x30, 0x20, 0x10));
    WriteBytes(b, MakeBmp24(3, 2));
    CliRun run = RunTool({"info", "--json", a, b});
    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json info = nlohmann::json::parse(run.out);
    EXPECT_EQ(info["type"], 0);
    EXPECT_TRUE(info["path"].is_null());
    EXPECT_EQ(info["plays"], 0);
    EXPECT_EQ(info["firstFrameExcluded"], false);
    EXPECT_TRUE(info["options"].is_null());
    ASSERT_EQ(info["items"].size(), 2u);
    const auto& first = info["items"][0];
    EXPECT_EQ(first["index"], 0);
    EXPECT_EQ(first["width"], 1);
    EXPECT_EQ(first["height"], 3);
    EXPECT_EQ(first["bitCount"], 24);
    EXPECT_EQ(first["colors"], 0);
    EXPECT_EQ(first["mask"], false);
    EXPECT_EQ(first["hotspot"], nlohmann::json::array({0, 0}));
    EXPECT_EQ(first["delay"], 600);
    EXPECT_TRUE(first["duplicateOf"].is_null());
    EXPECT_TRUE(first["maskSha256"].is_null());
    // SHA-256 of the bytes 10 20 30 FF, three times.
    EXPECT_EQ(first["rgbaSha256"],
              "ec63bb98f4678fe6ccae18925b89627b48bfad542b4933e8da382d31b370869b");
    EXPECT_EQ(info["items"][1]["height"], 2);
}

TEST(InfoCommand, DumpWritesThePictureBytes) {
    ScratchDir dir;
    std::string a = dir.File("a.bmp");
    WriteBytes(a, MakeBmp24(4, 1, 0x30, 0x20, 0x10));
    CliRun run = RunTool({"info", "--dump", dir.File("dump"), a});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir.File("dump/0.rgba")),
              (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0xFF, 0x10, 0x20, 0x30, 0xFF, 0x10, 0x20,
                                         0x30, 0xFF, 0x10, 0x20, 0x30, 0xFF}));
    EXPECT_NE(run.out.find("0: 4x1 24-bit"), std::string::npos) << run.out;
}

TEST(InfoCommand, AFailurePrintsTheEditorsMessageAndExitsNonZero) {
    ScratchDir dir;
    std::string bad = dir.File("bad.bmp");
    WriteBytes(bad, {'B', 'M'});
    CliRun run = RunTool({"info", bad});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, bad + "\nBad file format, contains illegal values or it is corrupted.\n");
    EXPECT_EQ(RunTool({"info"}).code, 2);
    EXPECT_EQ(RunTool({"info", "--bogus", bad}).code, 2);
    EXPECT_EQ(RunTool({"bogus"}).code, 2);
    CliRun help = RunTool({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("info [--json]"), std::string::npos);
}

TEST(InfoCommand, ReadsEveryBitmapOfTheCorpusWithoutFault) {
    REQUIRE_CORPUS(corpus, "bmp");
    int read = 0, refused = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file()) continue;
        std::string extension = entry.path().extension().string();
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension != ".bmp" && extension != ".dib") continue;
        SCOPED_TRACE(entry.path().string());
        std::string parent = entry.path().parent_path().filename().string();
        CliRun run = RunTool({"info", entry.path().string()});
        if (run.code == 0) {
            ++read;
            EXPECT_TRUE(run.err.empty());
            EXPECT_NE(run.out.find("\nitems 1\n"), std::string::npos);
        } else {
            ++refused;
            EXPECT_EQ(run.code, 1);
            EXPECT_FALSE(run.err.empty());
        }
        // The suite's good files must all be read, but for the OS/2 core header,
        // which we refuse; the others may be refused, safely.
        if (parent == "g" && entry.path().filename() != "pal8os2.bmp") {
            EXPECT_EQ(run.code, 0) << run.err;
        }
    }
    EXPECT_GT(read, 50);
    EXPECT_GT(refused, 10);
}
