#include "app/commands.h"

#include <array>
#include <cstdlib>
#include <optional>

#include "app/application.h"
#include "app/color_mask_commands.h"
#include "app/edit_commands.h"
#include "app/export_command.h"
#include "app/history.h"
#include "app/image_commands.h"
#include "app/open_flows.h"
#include "app/save_flows.h"
#include "app/selection_commands.h"
#include "app/view_commands.h"
#include "ops/rotate_flip.h"
#include "platform/door/clipboard.h"
#include "platform/door/interaction.h"

namespace {

constexpr std::array kCommands = {
    kCmdNewCompilation, kCmdOpen, kCmdAdd, kCmdSave, kCmdSaveAs, kCmdSaveSelection,
    kCmdExportDib, kCmdExportBits, kCmdExit,
    kCmdUndo, kCmdRedo,
    kCmdCut, kCmdCopy, kCmdPaste, kCmdDelete, kCmdDuplicate, kCmdSelectReference,
    kCmdSelectDuplications, kCmdDeleteAllDuplications, kCmdSelectAll, kCmdSelectNone,
    kCmdInvertSelection, kCmdSelectAllSames,
    kCmdToolbarStandard, kCmdToolbarImageEditor, kCmdToolbarType, kCmdAlignAuto,
    kCmdAlignHorizontally, kCmdAlignVertically, kCmdSortByWidth, kCmdSortByHeight,
    kCmdSortByBitCount, kCmdSortAscending, kCmdSortDescending, kCmdZoomIn, kCmdZoomOut,
    kCmdZoom12, kCmdZoom25, kCmdZoom50, kCmdZoom100, kCmdZoom200, kCmdZoom300, kCmdZoom400,
    kCmdZoom500, kCmdZoom600, kCmdZoom700, kCmdZoom800, kCmdBackgroundBlack,
    kCmdBackgroundWhite, kCmdBackgroundGray, kCmdBackgroundWindow, kCmdBackgroundTransparent,
    kCmdBackgroundCustom, kCmdShowBoundingBox, kCmdPreviewMask, kCmdPreviewAlpha,
    kCmdDisplayQuickInfo,
    kCmdNewEmptyBitmap, kCmdOpenInViewer, kCmdEdit, kCmdAlphaCompositing, kCmdImageResize,
    kCmdCanvasResize, kCmdRotate180, kCmdRotateClockwise, kCmdRotateCounterClockwise,
    kCmdFlipVertical, kCmdFlipHorizontal, kCmdCreateEditMask, kCmdDeleteMask, kCmdGrayscale,
    kCmdConvert1Bit, kCmdConvert4Bit, kCmdConvert8Bit, kCmdConvert16Bit, kCmdConvert24Bit,
    kCmdConvert32Bit, kCmdConvertTopDown, kCmdConvertBottomUp, kCmdMerge, kCmdSplit,
    kCmdCreateSizeSet,
    kCmdAnimationOptions, kCmdFrameProperties, kCmdAnimationTiming, kCmdSetHotSpot,
    kCmdOptions, kCmdViewHelp, kCmdVersionHistory, kCmdTermOfUse, kCmdAbout,
    kCmdSortByButton, kCmdRotateButton,
};

// The facts of the enabling table, read once from the application.
struct Facts {
    int count = 0;
    int selected = 0;
    const tagILVITEM* single = nullptr;  // the selected item when exactly one is
    bool modified = false;

    bool SingleOriginal() const { return single && !single->IsDuplicate(); }
};

Facts FactsOf(const CIconmillApp& app) {
    const CItemList& list = app.Items();
    Facts facts;
    facts.count = list.Count();
    facts.selected = list.GetSelectedCount();
    if (facts.selected == 1) facts.single = list.Item(list.GetFirstSelected(nullptr));
    facts.modified = app.IsModified();
    return facts;
}

constexpr CommandState Enabled(bool enabled) {
    return {enabled, false};
}
constexpr CommandState Checked(bool checked) {
    return {true, checked};
}

// The Convert submenu: the single selected original's own depth and row order
// are checked and disabled; several selected items may go anywhere.
CommandState ConvertState(CommandId id, const Facts& facts) {
    if (facts.selected == 0) return {};
    if (facts.selected > 1) return Enabled(true);
    if (facts.single->IsDuplicate()) return {};
    const DibHeader& header = *facts.single->header;
    bool own = false;
    switch (id) {
        case kCmdConvertTopDown:
            own = header.biHeight < 1;
            break;
        case kCmdConvertBottomUp:
            own = header.biHeight >= 0;
            break;
        default: {
            constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};
            own = header.biBitCount == kDepths[id - kCmdConvert1Bit];
        }
    }
    return {!own, own};
}

bool IsConvert(CommandId id) {
    return id >= kCmdConvert1Bit && id <= kCmdConvertBottomUp;
}

bool IsZoomLevel(CommandId id) {
    return id >= kCmdZoom12 && id <= kCmdZoom800;
}

ConvertCommandId ConvertIdOf(CommandId id) {
    return static_cast<ConvertCommandId>(kConvert1Bit + (id - kCmdConvert1Bit));
}

int RotateOperationOf(CommandId id) {
    switch (id) {
        case kCmdRotate180:
            return kRotate180;
        case kCmdRotateClockwise:
            return kRotateClockwise;
        case kCmdRotateCounterClockwise:
            return kRotateCounterClockwise;
        case kCmdFlipVertical:
            return kFlipVertical;
        default:
            return kFlipHorizontal;
    }
}

CommandOutcome OutcomeOf(bool done) {
    return done ? CommandOutcome::Done : CommandOutcome::NotDone;
}

// A run over pictures that reported a failure did not do what was asked.
CommandOutcome OutcomeOf(const PictureRunOutcome& run) {
    return run.done && !run.failed ? CommandOutcome::Done : CommandOutcome::NotDone;
}

// Runs a command that needs no window; false for a window command.
bool RunHeadless(CommandId id, CIconmillApp& app, Clipboard& clipboard, CommandOutcome* outcome) {
    *outcome = CommandOutcome::Done;
    if (IsConvert(id)) {
        *outcome = OutcomeOf(ConvertSelectedItems(app, ConvertIdOf(id)));
        return true;
    }
    if (IsZoomLevel(id)) {
        SetZoomLevel(app, id);
        return true;
    }
    switch (id) {
        case kCmdNewCompilation:
            NewCompilation(app);
            return true;
        case kCmdOpen:
            *outcome = OutcomeOf(OpenFiles(app, false));
            return true;
        case kCmdAdd:
            *outcome = OutcomeOf(OpenFiles(app, true));
            return true;
        case kCmdSave:
            *outcome = OutcomeOf(SaveCompilation(app));
            return true;
        case kCmdSaveAs:
            *outcome = OutcomeOf(SaveCompilationAs(app));
            return true;
        case kCmdSaveSelection:
            *outcome = OutcomeOf(SaveSelection(app));
            return true;
        case kCmdExportDib:
            *outcome = OutcomeOf(ExportItemData(app, ExportKind::Dib));
            return true;
        case kCmdExportBits:
            *outcome = OutcomeOf(ExportItemData(app, ExportKind::Bits));
            return true;
        case kCmdUndo:
            *outcome = OutcomeOf(UndoLastChange(app));
            return true;
        case kCmdRedo:
            *outcome = OutcomeOf(RedoLastChange(app));
            return true;
        case kCmdCut:
            *outcome = OutcomeOf(CutItems(app, clipboard));
            return true;
        case kCmdCopy:
            *outcome = OutcomeOf(CopyItemsToClipboard(app, clipboard));
            return true;
        case kCmdPaste:
            *outcome = OutcomeOf(PasteItems(app, clipboard));
            return true;
        case kCmdDelete:
            DeleteSelectedItems(app);
            return true;
        case kCmdDuplicate:
            DuplicateSelectedItems(app);
            return true;
        case kCmdDeleteAllDuplications:
            DeleteAllDuplications(app);
            return true;
        case kCmdSelectReference:
            SelectReference(app);
            return true;
        case kCmdSelectDuplications:
            SelectDuplications(app);
            return true;
        case kCmdSelectAll:
            SelectAllItems(app);
            return true;
        case kCmdSelectNone:
            SelectNoItems(app);
            return true;
        case kCmdInvertSelection:
            InvertSelection(app);
            return true;
        case kCmdSelectAllSames:
            SelectAllSames(app, app.Ui().IsShiftDown());
            return true;
        case kCmdToolbarStandard:
        case kCmdToolbarImageEditor:
        case kCmdToolbarType:
            ToggleToolbar(app, id);
            return true;
        case kCmdAlignAuto:
        case kCmdAlignHorizontally:
        case kCmdAlignVertically:
            SetAlignment(app, id - kCmdAlignAuto);
            return true;
        case kCmdSortByWidth:
            SortItemsBy(app, SortKey::Width);
            return true;
        case kCmdSortByHeight:
            SortItemsBy(app, SortKey::Height);
            return true;
        case kCmdSortByBitCount:
            SortItemsBy(app, SortKey::BitCount);
            return true;
        case kCmdSortAscending:
        case kCmdSortDescending:
            SetSortAscending(app, id == kCmdSortAscending);
            return true;
        case kCmdZoomIn:
            ZoomIn(app);
            return true;
        case kCmdZoomOut:
            ZoomOut(app);
            return true;
        case kCmdBackgroundBlack:
        case kCmdBackgroundWhite:
        case kCmdBackgroundGray:
        case kCmdBackgroundWindow:
        case kCmdBackgroundTransparent:
            SetBackground(app, id - kCmdBackgroundBlack);
            return true;
        case kCmdBackgroundCustom:
            *outcome = OutcomeOf(ChooseCustomBackground(app));
            return true;
        case kCmdShowBoundingBox:
            ToggleBoundingBox(app);
            return true;
        case kCmdPreviewMask:
            TogglePreview(app, kPreviewMask);
            return true;
        case kCmdPreviewAlpha:
            TogglePreview(app, kPreviewAlpha);
            return true;
        case kCmdDisplayQuickInfo:
            ToggleQuickInfo(app);
            return true;
        case kCmdRotate180:
        case kCmdRotateClockwise:
        case kCmdRotateCounterClockwise:
        case kCmdFlipVertical:
        case kCmdFlipHorizontal:
            *outcome = OutcomeOf(RotateFlipSelectedItems(app, RotateOperationOf(id)));
            return true;
        case kCmdDeleteMask:
            DeleteSelectedMasks(app);
            return true;
        default:
            return false;
    }
}

}  // namespace

std::span<const CommandId> AllCommands() {
    return kCommands;
}

ClipboardOffer ClipboardOfferOf(Clipboard& clipboard) {
    return {clipboard.IsFormatAvailable(kItemClipboardFormat),
            clipboard.IsFormatAvailable(kDibClipboardFormat)};
}

CommandState CommandStateOf(CommandId id, const CIconmillApp& app, ClipboardOffer clipboard) {
    const Facts facts = FactsOf(app);
    const bool any = facts.count > 0;
    const bool someSelected = facts.selected > 0;
    const bool oneSelected = facts.selected == 1;
    if (IsConvert(id)) return ConvertState(id, facts);
    if (IsZoomLevel(id)) return Checked(app.view.zoomMark == id);
    switch (id) {
        case kCmdSaveAs:
        case kCmdDeleteAllDuplications:
        case kCmdSelectAll:
        case kCmdSelectNone:
        case kCmdInvertSelection:
        case kCmdSortByButton:
        case kCmdSortByWidth:
        case kCmdSortByHeight:
        case kCmdSortByBitCount:
        case kCmdAnimationTiming:
            return Enabled(any);
        case kCmdSaveSelection:
        case kCmdCut:
        case kCmdCopy:
        case kCmdDelete:
        case kCmdDuplicate:
        case kCmdSelectAllSames:
        case kCmdRotateButton:
        case kCmdRotate180:
        case kCmdRotateClockwise:
        case kCmdRotateCounterClockwise:
        case kCmdFlipVertical:
        case kCmdFlipHorizontal:
        case kCmdFrameProperties:
        case kCmdCreateSizeSet:
            return Enabled(someSelected);
        case kCmdExportDib:
        case kCmdExportBits:
        case kCmdOpenInViewer:
        case kCmdEdit:
        case kCmdCreateEditMask:
        case kCmdImageResize:
        case kCmdCanvasResize:
        case kCmdGrayscale:
        case kCmdSplit:
        case kCmdSetHotSpot:
            return Enabled(oneSelected);
        case kCmdMerge:
            return Enabled(facts.selected > 1);
        case kCmdUndo:
            return {app.History().CanUndo(), false, app.History().UndoCommand()};
        case kCmdRedo:
            return {app.History().CanRedo(), false, app.History().RedoCommand()};
        case kCmdSave:
            return Enabled(any && facts.modified);
        case kCmdPaste:
            return Enabled(clipboard.items || clipboard.dib);
        case kCmdSelectReference:
            return Enabled(facts.single && facts.single->IsDuplicate());
        case kCmdSelectDuplications:
            return Enabled(facts.SingleOriginal() && facts.single->duplicateCount > 0);
        case kCmdDeleteMask:
            return Enabled(facts.selected > 1 || (facts.SingleOriginal() && facts.single->mask));
        case kCmdAlphaCompositing:
            return Enabled(facts.SingleOriginal() && facts.single->header->biBitCount == 32);
        case kCmdToolbarStandard:
            return Checked(app.view.standardToolbar);
        case kCmdToolbarImageEditor:
            return Checked(app.view.imageEditorToolbar);
        case kCmdToolbarType:
            return Checked(app.view.typeToolbar);
        case kCmdAlignAuto:
        case kCmdAlignHorizontally:
        case kCmdAlignVertically:
            return Checked(app.settings.alignment == id - kCmdAlignAuto);
        case kCmdSortAscending:
            return Checked(app.view.sortAscending);
        case kCmdSortDescending:
            return Checked(!app.view.sortAscending);
        case kCmdBackgroundBlack:
        case kCmdBackgroundWhite:
        case kCmdBackgroundGray:
        case kCmdBackgroundWindow:
        case kCmdBackgroundTransparent:
        case kCmdBackgroundCustom:
            return Checked(app.settings.background == id - kCmdBackgroundBlack);
        case kCmdShowBoundingBox:
            return Checked(app.settings.showBoundingBox != 0);
        case kCmdPreviewMask:
            return Checked((app.view.previewFlags & kPreviewMask) != 0);
        case kCmdPreviewAlpha:
            return Checked((app.view.previewFlags & kPreviewAlpha) != 0);
        case kCmdDisplayQuickInfo:
            return Checked(app.settings.displayQuickInfo != 0);
        case kCmdNewCompilation:
        case kCmdOpen:
        case kCmdAdd:
        case kCmdExit:
        case kCmdZoomIn:
        case kCmdZoomOut:
        case kCmdNewEmptyBitmap:
        case kCmdAnimationOptions:
        case kCmdOptions:
        case kCmdViewHelp:
        case kCmdVersionHistory:
        case kCmdTermOfUse:
        case kCmdAbout:
            return Enabled(true);
        case kCmdConvert1Bit:
        case kCmdConvert4Bit:
        case kCmdConvert8Bit:
        case kCmdConvert16Bit:
        case kCmdConvert24Bit:
        case kCmdConvert32Bit:
        case kCmdConvertTopDown:
        case kCmdConvertBottomUp:
        case kCmdZoom12:
        case kCmdZoom25:
        case kCmdZoom50:
        case kCmdZoom100:
        case kCmdZoom200:
        case kCmdZoom300:
        case kCmdZoom400:
        case kCmdZoom500:
        case kCmdZoom600:
        case kCmdZoom700:
        case kCmdZoom800:
        case kCmdMoveItems:
            break;  // answered above, or not a command
    }
    return {};
}

bool HasCheckMark(CommandId id) {
    switch (id) {
        case kCmdToolbarStandard:
        case kCmdToolbarImageEditor:
        case kCmdToolbarType:
        case kCmdAlignAuto:
        case kCmdAlignHorizontally:
        case kCmdAlignVertically:
        case kCmdSortAscending:
        case kCmdSortDescending:
        case kCmdBackgroundBlack:
        case kCmdBackgroundWhite:
        case kCmdBackgroundGray:
        case kCmdBackgroundWindow:
        case kCmdBackgroundTransparent:
        case kCmdBackgroundCustom:
        case kCmdShowBoundingBox:
        case kCmdPreviewMask:
        case kCmdPreviewAlpha:
        case kCmdDisplayQuickInfo:
        case kCmdConvert1Bit:
        case kCmdConvert4Bit:
        case kCmdConvert8Bit:
        case kCmdConvert16Bit:
        case kCmdConvert24Bit:
        case kCmdConvert32Bit:
        case kCmdConvertTopDown:
        case kCmdConvertBottomUp:
            return true;
        default:
            return id >= kCmdZoom12 && id <= kCmdZoom800;
    }
}

bool IsWindowCommand(CommandId id) {
    switch (id) {
        case kCmdExit:
        case kCmdSortByButton:
        case kCmdRotateButton:
        case kCmdNewEmptyBitmap:
        case kCmdOpenInViewer:
        case kCmdEdit:
        case kCmdAlphaCompositing:
        case kCmdImageResize:
        case kCmdCanvasResize:
        case kCmdCreateEditMask:
        case kCmdGrayscale:
        case kCmdMerge:
        case kCmdSplit:
        case kCmdCreateSizeSet:
        case kCmdAnimationOptions:
        case kCmdFrameProperties:
        case kCmdAnimationTiming:
        case kCmdSetHotSpot:
        case kCmdOptions:
        case kCmdViewHelp:
        case kCmdVersionHistory:
        case kCmdTermOfUse:
        case kCmdAbout:
            return true;
        default:
            return false;
    }
}

CommandOutcome RunCommand(CommandId id, CIconmillApp& app, Clipboard& clipboard,
                          CommandWindow* window) {
    if (!CommandStateOf(id, app, ClipboardOfferOf(clipboard)).enabled)
        return CommandOutcome::Refused;
    if (IsWindowCommand(id) && !window) return CommandOutcome::NeedsWindow;
    // Every command that may change the compilation records what it replaced.
    std::optional<HistoryRecorder> recorder;
    if (RecordsHistory(id)) recorder.emplace(app, id);
    if (IsWindowCommand(id)) {
        window->RunWindowCommand(id);
        return CommandOutcome::Done;
    }
    CommandOutcome outcome = CommandOutcome::Done;
    if (!RunHeadless(id, app, clipboard, &outcome)) return CommandOutcome::Refused;
    return outcome;
}
