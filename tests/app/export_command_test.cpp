#include "app/export_command.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/application.h"
#include "core/dib.h"
#include "support/scripted_interaction.h"
#include "support/test_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Chooses a filter in the save dialog and answers the Array Options dialog.
class ExportInteraction : public ScriptedInteraction {
public:
    int filter = 0;  // 0: the dialog does not tell
    std::optional<CArrayOptions> arrayOptions = CArrayOptions{};
    int arrayRequests = 0;
    std::vector<int> progress;

    std::vector<std::string> ChooseFiles(const FileDialogRequest& request) override {
        if (request.chosenFilter && filter) *request.chosenFilter = filter;
        return ScriptedInteraction::ChooseFiles(request);
    }
    std::optional<CArrayOptions> ChooseCArrayOptions(const CArrayOptions& initial) override {
        ++arrayRequests;
        EXPECT_EQ(initial.variableName, "dataChunk");
        return arrayOptions;
    }
    void SetBusyProgress(int position) override { progress.push_back(position); }
};

// A 3 x 1 24-bit image (one padded row of 12 bytes), or an 8-bit 1 x 1 one.
NewItem MakeImage(unsigned bitCount) {
    const std::size_t colors = bitCount == 8 ? 256 : 0;
    NewItem item;
    item.header = AllocateHeaderBlock(40 + colors * 4);
    item.header->biSize = 40;
    item.header->biWidth = bitCount == 8 ? 1 : 3;
    item.header->biHeight = 1;
    item.header->biPlanes = 1;
    item.header->biBitCount = static_cast<std::uint16_t>(bitCount);
    if (colors) DibColorTable(item.header.get())[255].rgbRed = 0x77;
    const std::size_t size = DibImageSize(item.header.get());
    item.bits = AllocateBlock(size);
    for (std::size_t i = 0; i < size; ++i) item.bits.get()[i] = std::uint8_t(i + 1);
    return item;
}

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        app.Items().AddItem(MakeImage(24));
        app.Items().AddItem(MakeImage(8));
    }
    void Select(int index) {
        for (int i = 0; i < app.Items().Count(); ++i) app.Items().SetSelected(i, i == index);
    }

    ScratchDir dir;
    ExportInteraction ui;
    CIconmillApp app{ui};
};

}  // namespace

TEST_F(ExportCommand, WritesTheBitsOrThePackedDibAsRawData) {
    Select(0);
    ui.filter = 2;
    ui.fileChoices.push_back({dir.File("bits.cpp")});  // the filter decides, not the name
    ASSERT_TRUE(ExportItemData(app, ExportKind::Bits));
    EXPECT_EQ(ReadBytes(dir.File("bits.cpp")), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(ui.arrayRequests, 0);
    const FileDialogRequest& request = ui.fileRequests.at(0);
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Export As");
    EXPECT_EQ(request.filter,
              "C, C++ Source File (*.c; *.cpp)|*.cpp;*.c|Raw Data File (*.*)|*.*||");
    EXPECT_EQ(request.defaultExtension, "cpp");
    ASSERT_EQ(ui.busyRequests.size(), 1u);
    EXPECT_EQ(ui.busyRequests[0].text, "Exporting...");
    EXPECT_TRUE(ui.busyRequests[0].cancellable);
    EXPECT_EQ(ui.busyRequests[0].progressRange, 100);
    EXPECT_EQ(ui.busyDepth, 0);

    // The duplicate of the 8-bit item exports its reference's picture.
    ASSERT_GE(app.Items().AddDuplicate(FrameInfo{}, 0, 0, 1), 0);
    Select(2);
    ui.fileChoices.push_back({dir.File("dib.bin")});
    ASSERT_TRUE(ExportItemData(app, ExportKind::Dib));
    const Bytes dib = ReadBytes(dir.File("dib.bin"));
    ASSERT_EQ(dib.size(), 40u + 1024u + 4u);
    const tagILVITEM& original = *app.Items().Item(1);
    EXPECT_EQ(std::memcmp(dib.data(), original.header, 40 + 1024), 0);
    EXPECT_EQ(dib[40 + 255 * 4 + 2], 0x77);
    EXPECT_EQ(Bytes(dib.end() - 4, dib.end()), (Bytes{1, 2, 3, 4}));
}

TEST_F(ExportCommand, WritesCSourceWithTheChosenLayout) {
    Select(0);
    ui.filter = 1;
    CArrayOptions options;
    options.elementType = CArrayUInt8;
    options.variableName = "pixels";
    ui.arrayOptions = options;
    ui.fileChoices.push_back({dir.File("pixels.data")});
    ASSERT_TRUE(ExportItemData(app, ExportKind::Bits));
    const Bytes text = ReadBytes(dir.File("pixels.data"));
    const std::string source(text.begin(), text.end());
    EXPECT_NE(source.find("unsigned __int8 pixels_0[12] = {"), std::string::npos) << source;

    // Cancelling the Array Options creates no file and enters no busy state.
    ui.arrayOptions.reset();
    ui.fileChoices.push_back({dir.File("none.c")});
    EXPECT_FALSE(ExportItemData(app, ExportKind::Bits));
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.c")));
    EXPECT_EQ(ui.busyRequests.size(), 1u);
}

TEST_F(ExportCommand, TheNameDecidesWhenTheDialogDoesNotTellTheFilter) {
    Select(0);
    ui.fileChoices.push_back({dir.File("a.C")});
    ui.fileChoices.push_back({dir.File("b.bin")});
    ASSERT_TRUE(ExportItemData(app, ExportKind::Bits));
    ASSERT_TRUE(ExportItemData(app, ExportKind::Bits));
    EXPECT_EQ(ui.arrayRequests, 1);
    EXPECT_EQ(ReadBytes(dir.File("a.C")).at(0), '/');
    EXPECT_EQ(ReadBytes(dir.File("b.bin")).size(), 12u);
}

TEST_F(ExportCommand, NothingSelectedCancelledOrFailed) {
    EXPECT_FALSE(ExportItemData(app, ExportKind::Dib));  // no selection: nothing asked
    EXPECT_TRUE(ui.fileRequests.empty());

    Select(0);
    EXPECT_FALSE(ExportItemData(app, ExportKind::Dib));  // the dialog is cancelled
    EXPECT_TRUE(ui.busyRequests.empty());

    // ESC while writing leaves the file that was there, without a message.
    ui.filter = 2;
    const std::string old = dir.File("old.bin");
    WriteBytes(old, {'o', 'l', 'd'});
    ui.cancelAfterPolls = 5;
    ui.fileChoices.push_back({old});
    EXPECT_FALSE(ExportItemData(app, ExportKind::Bits));
    EXPECT_EQ(ReadBytes(old), (Bytes{'o', 'l', 'd'}));
    EXPECT_TRUE(ui.messages.empty());

    // A file that cannot be created: the system's text with the error icon.
    ui.cancelAfterPolls = -1;
    const std::string missing = dir.File("missing/x.bin");
    ui.fileChoices.push_back({missing});
    EXPECT_FALSE(ExportItemData(app, ExportKind::Bits));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, missing + "\nNo such file or directory");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(ExportCommand, TheBusyBarMovesInWholePercentsAndTheStepsNeedNoDialog) {
    Select(1);  // 4 bytes of bits
    ASSERT_TRUE(ExportItemDataTo(app, ExportKind::Bits, dir.File("bits.bin"), std::nullopt));
    EXPECT_EQ(ReadBytes(dir.File("bits.bin")), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(ui.progress, (std::vector<int>{0, 25, 50, 75}));
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_EQ(ui.arrayRequests, 0);
    ASSERT_EQ(ui.busyRequests.size(), 1u);
    EXPECT_EQ(ui.busyDepth, 0);

    // 12 bytes: each percent is set once, in order.
    Select(0);
    ui.progress.clear();
    CArrayOptions layout;
    layout.variableName = "px";
    ASSERT_TRUE(ExportItemDataTo(app, ExportKind::Bits, dir.File("px.c"), layout));
    EXPECT_EQ(ui.progress, (std::vector<int>{0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91}));
    const Bytes text = ReadBytes(dir.File("px.c"));
    EXPECT_NE(std::string(text.begin(), text.end()).find(" px_0[3] = {"), std::string::npos);

    const std::string missing = dir.File("missing/x.bin");
    EXPECT_FALSE(ExportItemDataTo(app, ExportKind::Dib, missing, std::nullopt));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].id, kStrSubjectAndSystemText);
    EXPECT_EQ(ui.messages[0].text, missing + "\nNo such file or directory");
}

TEST(ArrayOptionsFailure, EachFieldHasItsMessage) {
    EXPECT_EQ(CArrayOptionsFailureText(CArrayOptionsField::VariableName),
              LoadStringText(kStrVariableNameEmpty));
    EXPECT_EQ(CArrayOptionsFailureText(CArrayOptionsField::SplitCount),
              "Please enter a value between 1 and 2147483647.");
    EXPECT_EQ(CArrayOptionsFailureText(CArrayOptionsField::ElementsPerLine),
              "Please enter a value between 1 and 256.");
}
