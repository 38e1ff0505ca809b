#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "support/icon_bytes.h"
#include "support/test_files.h"

namespace {

// An animated cursor of two frames with the sequence 1, 0, 1.
Bytes SequencedAni() {
    std::vector<Bytes> icons;
    for (std::uint8_t seed : {1, 2}) {
        TestEntry entry;
        entry.width = entry.height = 2;
        entry.word4 = seed;
        entry.data = MakeDibBlock(2, 4, 4, 0, seed);
        icons.push_back(RiffChunk("icon", MakeIconFileBytes(2, {entry})));
    }
    return AniFileBytes({RiffChunk("anih", AnihData(2, 3, 6, 3)), RiffList("fram", icons),
                         RiffChunk("seq ", U32Values({1, 0, 1}))});
}

}  // namespace

TEST(InfoSequence, TheOptionAnswersTheSequenceQuestion) {
    ScratchDir dir;
    std::string ani = dir.File("s.ani");
    WriteBytes(ani, SequencedAni());
    struct Case {
        std::vector<std::string> args;
        std::vector<int> hotspots;
        std::vector<int> duplicateOf;  // -1: an original
    } cases[] = {
        {{"info", "--json", ani}, {1, 2}, {-1, -1}},
        {{"info", "--json", "--sequence", "once", ani}, {1, 2}, {-1, -1}},
        {{"info", "--sequence", "follow", "--json", ani}, {2, 1, 2}, {-1, -1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size());
        std::ostringstream out, err;
        ASSERT_EQ(RunCli(c.args, out, err), 0) << err.str();
        nlohmann::json info = nlohmann::json::parse(out.str());
        EXPECT_EQ(info["type"], 4);
        ASSERT_EQ(info["items"].size(), c.hotspots.size());
        for (std::size_t i = 0; i < c.hotspots.size(); ++i) {
            EXPECT_EQ(info["items"][i]["hotspot"][0], c.hotspots[i]);
            if (c.duplicateOf[i] < 0) {
                EXPECT_TRUE(info["items"][i]["duplicateOf"].is_null());
            } else {
                EXPECT_EQ(info["items"][i]["duplicateOf"], c.duplicateOf[i]);
            }
        }
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"info", "--sequence", "twice", ani}, out, err), 2);
    EXPECT_NE(err.str().find("--sequence once|follow"), std::string::npos);
}
