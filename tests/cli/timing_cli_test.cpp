#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/cli.h"
#include "core/bmp_file.h"
#include "cli_run.h"
#include "support/test_files.h"
#include "support/test_items.h"

namespace {

// Five 8 x 8 BMPs as an animated PNG, with the timing options given.
class TimingCli : public testing::Test {
protected:
    TimingCli() {
        for (int i = 0; i < 5; ++i) {
            files.push_back(dir.File("f" + std::to_string(i) + ".bmp"));
            NewItem item = MakePictureItem(8, 8, 24, static_cast<std::uint8_t>(i * 40));
            EXPECT_EQ(WriteBmpFile(files.back().c_str(), item.header.get(), item.bits.get()),
                      ImageOk);
        }
    }
    CliRun Convert(const std::vector<std::string>& options) {
        std::vector<std::string> args = {"convert"};
        args.insert(args.end(), files.begin(), files.end());
        args.insert(args.end(), {"-o", output, "--as", "apng"});
        args.insert(args.end(), options.begin(), options.end());
        return RunTool(args);
    }
    // The delays the saved file gives back.
    std::vector<std::uint32_t> SavedDelays() {
        const CliRun run = RunTool({"info", "--json", output});
        EXPECT_EQ(run.code, 0) << run.err;
        std::vector<std::uint32_t> delays;
        const nlohmann::json info = nlohmann::json::parse(run.out);
        for (const auto& item : info["items"]) delays.push_back(item["delay"].get<std::uint32_t>());
        return delays;
    }
    ScratchDir dir;
    std::vector<std::string> files;
    std::string output = dir.File("out.png");
};

using Delays = std::vector<std::uint32_t>;

}  // namespace

TEST_F(TimingCli, TimingOptionsPressSetInTurn) {
    struct Case {
        std::vector<std::string> options;
        Delays delays;
    };
    const Case cases[] = {
        {{"--timing", "ease-in:2:10:3"}, {160, 130, 100, 70, 40}},
        {{"--timing", "ease-in:2:5:3"}, {110, 80, 50, 20, 0}},
        {{"--timing", "linear:0:7"}, {70, 70, 70, 70, 70}},
        // The step defaults to 25 hundredths.
        {{"--timing", "ease-out:0:10"}, {100, 350, 600, 850, 1100}},
        {{"--timing", "linear:0:20", "--timing", "distinct:4:3"}, {200, 200, 200, 200, 30}},
        // An item option between them: two openings, each written back.
        {{"--timing", "linear:0:20", "--delay", "1:5", "--timing", "distinct:4:3"},
         {200, 5, 200, 200, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options[1]);
        const CliRun run = Convert(c.options);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(SavedDelays(), c.delays);
    }
}

TEST_F(TimingCli, TheFrameListHonoursSelectAndTheExcludedFirstFrame) {
    // Frame 0 of the selection (items 1, 3, 4) is item 1.
    CliRun run = Convert({"--select", "1,3,4", "--timing", "ease-in-out:1:10:2"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(SavedDelays(), (Delays{120, 100, 120}));

    // The excluded first frame is no frame: frame 0 is item 1.
    run =
        Convert({"--exclude-first-frame", "--timing", "distinct:0:9", "--timing", "distinct:3:8"});
    ASSERT_EQ(run.code, 0) << run.err;
    const Delays saved = SavedDelays();
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_EQ(Delays(saved.begin() + 1, saved.end()), (Delays{90, 600, 600, 80}));

    // Frame 4 is not in a list of four.
    run = Convert({"--exclude-first-frame", "--timing", "distinct:4:9"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "iconmill-cli convert: no frame 4 (the frame list holds 4)\n");
}

TEST_F(TimingCli, SyntaxErrorsExitWithTwoAndAnEmptyFrameListWithOne) {
    for (const char* value : {"ease:0:10", "Linear:0:10", "distinct:0", "distinct:0:10000",
                              "distinct:-1:5", "distinct:x:5", "linear:0:5:2", "ease-in:0:5:",
                              "ease-in:0:5:2:1", "ease-in:0:5:10000", "", "distinct::5"}) {
        SCOPED_TRACE(value);
        const CliRun run = Convert({"--timing", value});
        EXPECT_EQ(run.code, 2);
        EXPECT_EQ(run.err.rfind("iconmill-cli convert: bad value", 0), 0u) << run.err;
    }
    EXPECT_NE(RunTool({"--help"}).out.find("--timing METHOD:FRAME:VALUE[:STEP]"),
              std::string::npos);

    files.resize(1);
    const CliRun run = Convert({"--exclude-first-frame", "--timing", "linear:0:5"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "Encountered an improper argument.\n");
}
