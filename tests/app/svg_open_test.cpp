// SVG documents through the open flow: the size question, the remembered answer,
// and the cannot-read message for whatever does not render.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app/open_flows.h"
#include "core/dib.h"
#include "support/scripted_interaction.h"
#include "support/test_files.h"

namespace {

class SvgInteraction : public ScriptedInteraction {
public:
    std::vector<SvgSizeRequest> requests;
    std::optional<int> answer = 0;
    std::optional<int> ChooseSvgSize(const SvgSizeRequest& request) override {
        requests.push_back(request);
        return answer;
    }
};

std::string Write(const ScratchDir& dir, const std::string& name, const std::string& text) {
    const std::string path = dir.File(name);
    WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    return path;
}

class SvgOpen : public testing::Test {
protected:
    ScratchDir dir;
    SvgInteraction ui;
    CIconmillApp app{ui};
};

}  // namespace

TEST_F(SvgOpen, AsksTheSizeRemembersItAndAddsOneItem) {
    const std::string path = Write(dir, "wide.SVG",
                                   "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 30 10'>"
                                   "<rect width='30' height='10' fill='lime'/></svg>");
    EXPECT_TRUE(OpenPaths(app, {path}, false).Succeeded());
    ASSERT_EQ(ui.requests.size(), 1u);
    EXPECT_EQ(ui.requests[0].fileName, "wide.SVG");
    EXPECT_EQ(ui.requests[0].ownWidth, 30);
    EXPECT_EQ(ui.requests[0].ownHeight, 10);
    EXPECT_EQ(ui.requests[0].initial, 0);
    ASSERT_EQ(app.Items().Count(), 1);
    const DibHeader* header = app.Items().Item(0)->header;
    EXPECT_EQ(header->biWidth, 30);
    EXPECT_EQ(header->biBitCount, 32);
    EXPECT_TRUE(ui.messages.empty());

    // A square side: the drawing fitted and centred, the answer remembered.
    ui.answer = 60;
    EXPECT_TRUE(OpenPaths(app, {path}, true).Succeeded());
    ASSERT_EQ(app.Items().Count(), 2);
    const tagILVITEM& square = *app.Items().Item(1);
    EXPECT_EQ(square.header->biWidth, 60);
    EXPECT_EQ(DibAbsHeight(square.header), 60u);
    EXPECT_EQ(DibGetPixel(square.header, square.bits, 30, 30), 0xFF00FF00u);
    EXPECT_EQ(DibGetPixel(square.header, square.bits, 30, 5), 0u);
    EXPECT_EQ(app.settings.svgSize, 60);
    OpenPaths(app, {path}, true);
    EXPECT_EQ(ui.requests.back().initial, 60);

    // Cancelling the size reads nothing and says nothing.
    ui.answer = std::nullopt;
    OpenPaths(app, {path}, true);
    EXPECT_EQ(app.Items().Count(), 3);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SvgOpen, BrokenAndHostileFilesGiveTheCannotReadMessage) {
    std::string laughs = "<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY a 'lol'>";
    std::string previous = "a";
    for (char name = 'b'; name <= 'k'; ++name) {
        laughs += std::string("<!ENTITY ") + name + " '";
        for (int i = 0; i < 10; ++i) laughs += "&" + previous + ";";
        laughs += "'>";
        previous = std::string(1, name);
    }
    laughs += "]><svg xmlns='http://www.w3.org/2000/svg'><text>&k;</text></svg>";
    const std::string files[] = {
        Write(dir, "laughs.svg", laughs),
        Write(dir, "cut.svg", "<svg xmlns='http://www.w3.org/2000/svg'><rect"),
        Write(dir, "fake.svgz", "\x1f\x8b not really gzip"),
    };
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        ui.messages.clear();
        EXPECT_FALSE(OpenPaths(app, {path}, false).Succeeded());
        EXPECT_EQ(app.Items().Count(), 0);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].text.find("Iconmill cannot read this file."), std::string::npos)
            << ui.messages[0].text;
    }
    EXPECT_TRUE(ui.requests.empty());
}
