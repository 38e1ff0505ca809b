#include "app/commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/application.h"
#include "platform/door/memory_clipboard.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

// Commands available whatever the list holds.
const std::set<CommandId> kAlwaysEnabled = {
    kCmdNewCompilation, kCmdOpen, kCmdAdd, kCmdExit, kCmdNewEmptyBitmap, kCmdAnimationOptions,
    kCmdOptions, kCmdViewHelp, kCmdVersionHistory, kCmdTermOfUse, kCmdAbout,
    kCmdToolbarStandard, kCmdToolbarImageEditor, kCmdToolbarType, kCmdAlignAuto,
    kCmdAlignHorizontally, kCmdAlignVertically, kCmdSortAscending, kCmdSortDescending,
    kCmdZoomIn, kCmdZoomOut, kCmdZoom12, kCmdZoom25, kCmdZoom50, kCmdZoom100, kCmdZoom200,
    kCmdZoom300, kCmdZoom400, kCmdZoom500, kCmdZoom600, kCmdZoom700, kCmdZoom800,
    kCmdBackgroundBlack, kCmdBackgroundWhite, kCmdBackgroundGray, kCmdBackgroundWindow,
    kCmdBackgroundTransparent, kCmdBackgroundCustom, kCmdShowBoundingBox, kCmdPreviewMask,
    kCmdPreviewAlpha, kCmdDisplayQuickInfo};

// The rows of the enabling table, by condition.
const std::set<CommandId> kWithItems = {
    kCmdSaveAs, kCmdDeleteAllDuplications, kCmdSelectAll, kCmdSelectNone, kCmdInvertSelection,
    kCmdSortByButton, kCmdSortByWidth, kCmdSortByHeight, kCmdSortByBitCount,
    kCmdAnimationTiming};
const std::set<CommandId> kWithSelection = {
    kCmdSaveSelection, kCmdCut, kCmdCopy, kCmdDelete, kCmdDuplicate, kCmdSelectAllSames,
    kCmdRotateButton, kCmdRotate180, kCmdRotateClockwise, kCmdRotateCounterClockwise,
    kCmdFlipVertical, kCmdFlipHorizontal, kCmdFrameProperties, kCmdCreateSizeSet};
const std::set<CommandId> kWithOneSelected = {
    kCmdExportDib, kCmdExportBits, kCmdOpenInViewer, kCmdEdit, kCmdCreateEditMask,
    kCmdImageResize, kCmdCanvasResize, kCmdGrayscale, kCmdSplit, kCmdSetHotSpot};
const std::set<CommandId> kConverts = {kCmdConvert1Bit,  kCmdConvert4Bit,   kCmdConvert8Bit,
                                       kCmdConvert16Bit, kCmdConvert24Bit,  kCmdConvert32Bit,
                                       kCmdConvertTopDown, kCmdConvertBottomUp};

std::set<CommandId> Union(std::initializer_list<std::set<CommandId>> sets) {
    std::set<CommandId> all;
    for (const auto& s : sets) all.insert(s.begin(), s.end());
    return all;
}

struct Situation {
    const char* name;
    // Builds the list; the application starts empty and not modified.
    void (*build)(CIconmillApp& app);
    bool modified;
    ClipboardOffer clipboard;
    std::set<CommandId> enabled;  // beyond kAlwaysEnabled
    std::set<CommandId> checkedConverts;
};

void Nothing(CIconmillApp&) {}

// A 24-bit bottom-up original without mask and duplicates, selected.
void OneOriginal(CIconmillApp& app) {
    AddPicture(app.Items(), 4, 4, 24);
    app.Items().SetSelected(0, true);
}

// A 32-bit top-down original with a mask and a duplicate, the original selected.
void OriginalWithMaskAndDuplicate(CIconmillApp& app) {
    AddPicture(app.Items(), 4, -4, 32, 0, true);
    app.Items().AddDuplicate(FrameInfo{}, 0, 0, 0);
    app.Items().SetSelected(0, true);
}

// As above, the duplicate selected.
void OneDuplicate(CIconmillApp& app) {
    OriginalWithMaskAndDuplicate(app);
    app.Items().SetSelected(0, false);
    app.Items().SetSelected(1, true);
}

// Two originals without masks, both selected.
void TwoSelected(CIconmillApp& app) {
    AddPicture(app.Items(), 4, 4, 8);
    AddPicture(app.Items(), 2, 2, 8);
    app.Items().SelectAll();
}

// Items, none selected.
void NoneSelected(CIconmillApp& app) {
    AddPicture(app.Items(), 4, 4, 8);
}

const Situation kSituations[] = {
    {"no items", Nothing, false, {}, {}, {}},
    {"no items, our format on the clipboard", Nothing, false, {true, false}, {kCmdPaste}, {}},
    {"no items, modified", Nothing, true, {false, true}, {kCmdPaste}, {}},
    {"items, none selected", NoneSelected, false, {}, kWithItems, {}},
    {"items, none selected, modified", NoneSelected, true, {}, Union({kWithItems, {kCmdSave}}),
     {}},
    {"one original",
     OneOriginal,
     false,
     {},
     Union({kWithItems, kWithSelection, kWithOneSelected, kConverts}),
     {kCmdConvert24Bit, kCmdConvertBottomUp}},
    {"one original with mask and duplicate, modified, image on the clipboard",
     OriginalWithMaskAndDuplicate,
     true,
     {false, true},
     Union({kWithItems, kWithSelection, kWithOneSelected, kConverts,
            {kCmdSave, kCmdPaste, kCmdSelectDuplications, kCmdDeleteMask,
             kCmdAlphaCompositing}}),
     {kCmdConvert32Bit, kCmdConvertTopDown}},
    {"one duplicate",
     OneDuplicate,
     false,
     {},
     Union({kWithItems, kWithSelection, kWithOneSelected, {kCmdSelectReference}}),
     {}},
    {"two selected",
     TwoSelected,
     false,
     {},
     Union({kWithItems, kWithSelection, kConverts, {kCmdMerge, kCmdDeleteMask}}),
     {}},
};

// The check marks of the view toggles and radio groups in the initial state.
const std::set<CommandId> kInitiallyChecked = {
    kCmdToolbarStandard, kCmdToolbarImageEditor, kCmdToolbarType, kCmdAlignAuto,
    kCmdSortAscending,   kCmdZoom100,            kCmdBackgroundWindow, kCmdPreviewMask,
    kCmdPreviewAlpha,    kCmdDisplayQuickInfo};

TEST(CommandState, FollowsTheEnablingTableInEverySituation) {
    for (const Situation& situation : kSituations) {
        SCOPED_TRACE(situation.name);
        ScriptedInteraction ui;
        CIconmillApp app(ui);
        situation.build(app);
        if (situation.modified)
            app.SetModified();
        else
            app.ClearModified();
        for (CommandId id : AllCommands()) {
            SCOPED_TRACE(std::to_string(id));
            const CommandState state = CommandStateOf(id, app, situation.clipboard);
            // A checked Convert command is the item's own depth or order: disabled.
            const bool enabled = kAlwaysEnabled.count(id) + situation.enabled.count(id) > 0 &&
                                 situation.checkedConverts.count(id) == 0;
            EXPECT_EQ(state.enabled, enabled);
            const bool checked = kConverts.count(id) ? situation.checkedConverts.count(id) > 0
                                                     : kInitiallyChecked.count(id) > 0;
            EXPECT_EQ(state.checked, checked);
        }
    }
}

TEST(CommandState, EveryCommandIsListedOnce) {
    const std::span<const CommandId> all = AllCommands();
    const std::set<CommandId> unique(all.begin(), all.end());
    EXPECT_EQ(unique.size(), all.size());
    EXPECT_EQ(unique, Union({kAlwaysEnabled, kWithItems, kWithSelection, kWithOneSelected,
                             kConverts,
                             {kCmdSave, kCmdPaste, kCmdSelectReference, kCmdSelectDuplications,
                              kCmdDeleteMask, kCmdAlphaCompositing, kCmdMerge},
                             {kCmdUndo, kCmdRedo}}));  // enabled by the history
}

TEST(CommandState, MarksFollowTheViewState) {
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    app.settings.alignment = ListAlignmentVertical;
    app.settings.background = ViewBackgroundCustom;
    app.settings.showBoundingBox = 1;
    app.settings.displayQuickInfo = 0;
    app.view.sortAscending = false;
    app.view.previewFlags = kPreviewAlpha;
    app.view.typeToolbar = false;
    app.view.zoomMark = kCmdZoom12;
    const std::set<CommandId> expected = {
        kCmdToolbarStandard, kCmdToolbarImageEditor, kCmdAlignVertically, kCmdSortDescending,
        kCmdZoom12,          kCmdBackgroundCustom,   kCmdShowBoundingBox, kCmdPreviewAlpha};
    for (CommandId id : AllCommands()) {
        SCOPED_TRACE(std::to_string(id));
        EXPECT_EQ(CommandStateOf(id, app, {}).checked, expected.count(id) > 0);
    }
}

// Records the window commands handed over.
struct WindowRecorder : CommandWindow {
    void RunWindowCommand(CommandId id) override { ran.push_back(id); }
    std::vector<CommandId> ran;
};

TEST(RunCommand, RefusesDisabledCommandsAndHandsWindowCommandsToTheWindow) {
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    MemoryClipboard clipboard;
    WindowRecorder window;

    // Nothing selected: Delete and Edit are refused, and nothing reaches the window.
    AddPicture(app.Items(), 4, 4);
    EXPECT_EQ(RunCommand(kCmdDelete, app, clipboard, &window), CommandOutcome::Refused);
    EXPECT_EQ(RunCommand(kCmdEdit, app, clipboard, &window), CommandOutcome::Refused);
    EXPECT_EQ(app.Items().Count(), 1);
    EXPECT_TRUE(window.ran.empty());

    app.Items().SetSelected(0, true);
    EXPECT_EQ(RunCommand(kCmdEdit, app, clipboard, &window), CommandOutcome::Done);
    EXPECT_EQ(RunCommand(kCmdEdit, app, clipboard, nullptr), CommandOutcome::NeedsWindow);
    EXPECT_EQ(window.ran, std::vector<CommandId>{kCmdEdit});

    // The own depth of the single selected item is disabled: converting to it is refused.
    EXPECT_EQ(RunCommand(kCmdConvert24Bit, app, clipboard, &window), CommandOutcome::Refused);
    EXPECT_EQ(RunCommand(kCmdConvert8Bit, app, clipboard, &window), CommandOutcome::Done);
    EXPECT_EQ(app.Items().Item(0)->header->biBitCount, 8);

    EXPECT_EQ(RunCommand(kCmdDelete, app, clipboard, &window), CommandOutcome::Done);
    EXPECT_EQ(app.Items().Count(), 0);
    EXPECT_EQ(RunCommand(kCmdSaveAs, app, clipboard, &window), CommandOutcome::Refused);
    EXPECT_TRUE(ui.saveRequests.empty());
}

TEST(RunCommand, PasteFollowsTheClipboard) {
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    MemoryClipboard clipboard;
    EXPECT_EQ(RunCommand(kCmdPaste, app, clipboard, nullptr), CommandOutcome::Refused);
    AddPicture(app.Items(), 3, 3);
    app.Items().SetSelected(0, true);
    EXPECT_EQ(RunCommand(kCmdCopy, app, clipboard, nullptr), CommandOutcome::Done);
    EXPECT_EQ(RunCommand(kCmdPaste, app, clipboard, nullptr), CommandOutcome::Done);
    EXPECT_EQ(app.Items().Count(), 2);
}

}  // namespace
