// The PSD branch of the open pipeline: parse, report, import.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/open_flows.h"
#include "core/dib.h"
#include "formats/psd/psd_parser.h"
#include "support/scripted_interaction.h"
#include "platform/door/string_table.h"
#include "support/psd_bytes.h"
#include "support/test_files.h"

namespace {

class PsdAnswering : public ScriptedInteraction {
public:
    std::optional<PsdImportChoice> answer;
    bool useInitial = true;
    std::optional<PsdImportChoice> ChoosePsdImport(const PsdImportRequest& request) override {
        return useInitial ? std::optional<PsdImportChoice>(request.initial) : answer;
    }
};

PsdLayout TwoLayers() {
    PsdLayout layout;
    layout.width = layout.height = 2;
    PsdLayerSpec a;
    a.right = a.bottom = 2;
    a.channels = {UniformChannel(0, 4, 10), UniformChannel(1, 4, 20), UniformChannel(2, 4, 30)};
    PsdLayerSpec b = a;
    b.left = 1;
    b.channels = {UniformChannel(0, 2, 1), UniformChannel(1, 2, 2), UniformChannel(2, 2, 3)};
    layout.layers = {a, b};
    return layout;
}

class PsdOpen : public ::testing::Test {
protected:
    ScratchDir dir;
    PsdAnswering ui;
    CIconmillApp app{ui};
};

}  // namespace

TEST_F(PsdOpen, ImportsTheChosenLayersAndRemembersTheChoice) {
    const std::string path = dir.File("two.PSD");
    WriteBytes(path, MakePsd(TwoLayers()));
    ui.useInitial = false;
    PsdImportChoice choice;
    choice.mode = PsdModeSeparate;
    choice.topLeftAsPosition = true;
    choice.layers = {0, 1};
    ui.answer = choice;
    ASSERT_TRUE(ReadImageFile(app, path.c_str()).read);
    EXPECT_EQ(app.Items().Count(), 2);
    EXPECT_EQ(app.Items().Item(1)->x, 1);
    EXPECT_TRUE(app.IsModified());
    EXPECT_EQ(app.settings.psdImportSelection, 7);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.busyRequests.size(), 1u);
    EXPECT_EQ(ui.busyRequests[0].text, LoadStringText(kStrPleaseWait));
    EXPECT_EQ(ui.busyDepth, 0);

    // No layer chosen: read, nothing added, no busy state; the choice is kept.
    choice.mode = PsdModeBlendWithPrevious;
    choice.layers = {5};
    ui.answer = choice;
    EXPECT_TRUE(ReadImageFile(app, path.c_str()).read);
    EXPECT_EQ(app.Items().Count(), 2);
    EXPECT_EQ(ui.busyRequests.size(), 1u);
    EXPECT_EQ(app.settings.psdImportSelection, 4);

    // Cancelling the dialog adds nothing and keeps the remembered choice.
    app.ClearModified();
    ui.answer.reset();
    const FileReadOutcome cancelled = ReadImageFile(app, path.c_str());
    EXPECT_FALSE(cancelled.read);
    EXPECT_FALSE(cancelled.failed);  // nothing to report
    EXPECT_EQ(app.Items().Count(), 2);
    EXPECT_FALSE(app.IsModified());
    EXPECT_EQ(app.settings.psdImportSelection, 4);
}

TEST_F(PsdOpen, ReportsParserFailuresWithTheirMessages) {
    PsdLayout cmyk = TwoLayers();
    cmyk.mode = 4;
    PsdLayout none;
    none.emptyLayerSection = true;
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::string text;
    };
    const Case cases[] = {
        {"bad.psd",
         {'8', 'B', 'P', 'S', 0, 1},
         "\nBad file format, contains illegal values or it is corrupted."},
        {"cmyk.psd", MakePsd(cmyk),
         "Unfortunately, this mode of the PSD file is not supported yet. Only RGB/8 and Indexed "
         "modes are supported."},
        {"none.psd", MakePsd(none), "The PSD file contains no layer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        const std::string path = dir.File(c.name);
        WriteBytes(path, c.bytes);
        EXPECT_FALSE(ReadImageFile(app, path.c_str()).read);
        ASSERT_EQ(ui.messages.size(), 1u);
        const std::string expected = c.text[0] == '\n' ? path + c.text : c.text;
        EXPECT_EQ(ui.messages[0].text, expected);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(app.Items().Count(), 0);
    EXPECT_FALSE(app.IsModified());
}

TEST_F(PsdOpen, EveryReadableCorpusDocumentImportsInEveryMode) {
    REQUIRE_CORPUS(corpus, "psd");
    int documents = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".psd") continue;
        CPSDParser parser;
        if (parser.ParseFile(entry.path().c_str()) != PsdOk) continue;  // codes tested elsewhere
        ++documents;
        for (std::int32_t code : {0, 3, 4, 6, 7, 8}) {
            SCOPED_TRACE(entry.path().string() + " code " + std::to_string(code));
            app.Items().RemoveAllItems();
            app.settings.psdImportSelection = code;
            ui.messages.clear();
            EXPECT_TRUE(ReadImageFile(app, entry.path().c_str()).read);
            EXPECT_TRUE(ui.messages.empty());
            for (int i = 0; i < app.Items().Count(); ++i) {
                const tagILVITEM& item = *app.Items().Item(i);
                ASSERT_NE(item.header, nullptr);
                EXPECT_GT(DibImageSize(item.header), 0u);
            }
            if (parser.ColorMode() == kPsdModeIndexed) {
                EXPECT_EQ(app.Items().Count(), 1);
                break;
            }
        }
    }
    EXPECT_GE(documents, 50);
}
