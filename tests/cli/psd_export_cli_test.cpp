// The PSD options of info and the export command of iconmill-cli.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "cli_run.h"
#include "support/bmp_bytes.h"
#include "support/psd_bytes.h"
#include "support/test_files.h"

namespace {

// Three opaque 2 x 2 layers, the last two at (1, 1) and (3, 0).
std::vector<std::uint8_t> ThreeLayerPsd() {
    PsdLayout layout;
    layout.width = layout.height = 4;
    auto layer = [](int left, int top, std::uint8_t value) {
        PsdLayerSpec l;
        l.left = left;
        l.top = top;
        l.right = left + 2;
        l.bottom = top + 2;
        l.channels = {UniformChannel(0, 4, value), UniformChannel(1, 4, value),
                      UniformChannel(2, 4, value)};
        return l;
    };
    layout.layers = {layer(0, 0, 10), layer(1, 1, 20), layer(3, 0, 30)};
    return MakePsd(layout);
}

nlohmann::json Items(const CliRun& run) {
    return nlohmann::json::parse(run.out)["items"];
}

}  // namespace

TEST(InfoPsdOptions, AnswerTheImportDialog) {
    ScratchDir dir;
    const std::string psd = dir.File("doc.psd");
    WriteBytes(psd, ThreeLayerPsd());

    CliRun merged = RunTool({"info", "--json", psd});
    ASSERT_EQ(merged.code, 0) << merged.err;
    ASSERT_EQ(Items(merged).size(), 1u);
    EXPECT_EQ(Items(merged)[0]["width"], 2);

    CliRun separate = RunTool({"info", "--json", "--psd-mode", "separate", "--psd-position",
                               "topleft", "--psd-layers", "3,2", psd});
    ASSERT_EQ(separate.code, 0) << separate.err;
    ASSERT_EQ(Items(separate).size(), 2u);
    EXPECT_EQ(Items(separate)[0]["x"], 1);
    EXPECT_EQ(Items(separate)[1]["x"], 3);

    CliRun canvas = RunTool({"info", "--json", "--psd-mode", "separate", psd});
    ASSERT_EQ(canvas.code, 0) << canvas.err;
    ASSERT_EQ(Items(canvas).size(), 3u);
    EXPECT_EQ(Items(canvas)[2]["width"], 4);  // the document's size

    CliRun background =
        RunTool({"info", "--json", "--psd-mode", "blend-background", "--psd-keep-background", psd});
    EXPECT_EQ(Items(background).size(), 3u);
    CliRun all = RunTool({"info", "--json", "--psd-mode", "blend-all", "--psd-layers", "1,2", psd});
    EXPECT_EQ(Items(all).size(), 2u);

    CliRun missing = RunTool({"info", "--psd-layers", "4", psd});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("no layer 4 (the document lists 3 layers with pixels)"),
              std::string::npos)
        << missing.err;
    for (std::vector<std::string> bad : {std::vector<std::string>{"--psd-mode", "blend"},
                                         {"--psd-layers", "1,,2"},
                                         {"--psd-position", "middle"},
                                         {"--psd-mode"}}) {
        bad.insert(bad.begin(), "info");
        if (bad.size() > 2) bad.push_back(psd);
        EXPECT_EQ(RunTool(bad).code, 2) << bad[1];
    }
}

TEST(ExportCommandCli, WritesRawBytesOrCArrays) {
    ScratchDir dir;
    const std::string bmp = dir.File("a.bmp");
    WriteBytes(bmp, MakeBmp24(3, 1, 1, 2, 3));

    CliRun bits = RunTool({"export", "bits", bmp, "-o", dir.File("bits.bin")});
    ASSERT_EQ(bits.code, 0) << bits.err;
    EXPECT_EQ(ReadBytes(dir.File("bits.bin")),
              (std::vector<std::uint8_t>{1, 2, 3, 1, 2, 3, 1, 2, 3, 0, 0, 0}));

    CliRun dib = RunTool({"export", "dib", bmp, "--item", "0", "-o", dir.File("dib.bin")});
    ASSERT_EQ(dib.code, 0) << dib.err;
    EXPECT_EQ(ReadBytes(dir.File("dib.bin")).size(), 40u + 12u);

    CliRun source =
        RunTool({"export", "bits", bmp, "-o", dir.File("bits.txt"), "--c-array", "--type", "u16",
                 "--name", " px ", "--split", "4", "--per-line", "3", "--reverse"});
    ASSERT_EQ(source.code, 0) << source.err;
    const std::vector<std::uint8_t> text = ReadBytes(dir.File("bits.txt"));
    EXPECT_NE(std::string(text.begin(), text.end())
                  .find("unsigned __int16 px_0[4] = {\r\n                0x0102, 0x0301, "
                        "0x0203, \r\n                0x0102};\r\n"),
              std::string::npos);

    struct Bad {
        std::vector<std::string> args;
        int code;
    };
    const Bad bad[] = {
        {{"export", "bits", bmp}, 2},
        {{"export", "pixels", bmp, "-o", dir.File("x")}, 2},
        {{"export", "bits", bmp, "-o", dir.File("x"), "--type", "u8"}, 2},
        {{"export", "bits", bmp, "-o", dir.File("x"), "--c-array", "--split", "0"}, 2},
        {{"export", "bits", bmp, "-o", dir.File("x"), "--c-array", "--name", "  "}, 2},
        {{"export", "bits", bmp, "-o", dir.File("x"), "--item", "1"}, 1},
        {{"export", "bits", dir.File("missing.bmp"), "-o", dir.File("x")}, 1},
        {{"export", "bits", bmp, "-o", dir.File("no/such/folder/x")}, 1},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(testing::PrintToString(b.args));
        EXPECT_EQ(RunTool(b.args).code, b.code);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x")));
    EXPECT_NE(RunTool({"--help"}).out.find("export dib|bits FILE"), std::string::npos);
}
