// The command table: every command the menus, toolbars, accelerators, context
// menus and the command-line tool name, the one function that says whether a
// command is available (and checked), and the one function that carries a
// command out. A window builds one action per id, takes its state from
// CommandStateOf whenever the application's listener reports a change, and
// triggers RunCommand; nothing else calls the flows.
#pragma once

#include <span>

class CIconmillApp;
class Clipboard;

// The ids keep their historic numbers (menu resources, string-table prompts).
enum CommandId : int {
    // File
    kCmdNewCompilation = 32771,
    kCmdOpen = 57601,
    kCmdAdd = 32914,
    kCmdSave = 57603,
    kCmdSaveAs = 57604,
    kCmdSaveSelection = 32834,
    kCmdExportDib = 32857,
    kCmdExportBits = 32858,
    kCmdExit = 57665,
    // Edit
    kCmdUndo = 57643,
    kCmdRedo = 57644,
    kCmdCut = 57635,
    kCmdCopy = 57634,
    kCmdPaste = 57637,
    kCmdDelete = 32815,
    kCmdDuplicate = 32900,
    kCmdSelectReference = 32908,
    kCmdSelectDuplications = 32906,
    kCmdDeleteAllDuplications = 32904,
    kCmdSelectAll = 57642,
    kCmdSelectNone = 32916,
    kCmdInvertSelection = 32835,
    kCmdSelectAllSames = 32911,
    // View
    kCmdToolbarStandard = 32925,
    kCmdToolbarImageEditor = 32926,
    kCmdToolbarType = 32930,
    kCmdAlignAuto = 32774,
    kCmdAlignHorizontally = 32775,
    kCmdAlignVertically = 32776,
    kCmdSortByButton = 336,  // the toolbar's drop-down
    kCmdSortByWidth = 32819,
    kCmdSortByHeight = 32820,
    kCmdSortByBitCount = 32821,
    kCmdSortAscending = 32822,
    kCmdSortDescending = 32823,
    kCmdZoomIn = 32782,
    kCmdZoomOut = 32783,
    kCmdZoom12 = 32784,  // 12.5 %; the levels follow in order up to 800 %
    kCmdZoom25 = 32785,
    kCmdZoom50 = 32786,
    kCmdZoom100 = 32787,  // also the toolbar's Actual Size
    kCmdZoom200 = 32788,
    kCmdZoom300 = 32789,
    kCmdZoom400 = 32790,
    kCmdZoom500 = 32791,
    kCmdZoom600 = 32792,
    kCmdZoom700 = 32793,
    kCmdZoom800 = 32794,
    kCmdBackgroundBlack = 32844,
    kCmdBackgroundWhite = 32845,
    kCmdBackgroundGray = 32846,
    kCmdBackgroundWindow = 32847,
    kCmdBackgroundTransparent = 32848,
    kCmdBackgroundCustom = 32849,
    kCmdShowBoundingBox = 32946,
    kCmdPreviewMask = 32850,
    kCmdPreviewAlpha = 32851,
    kCmdDisplayQuickInfo = 32824,
    // Image
    kCmdNewEmptyBitmap = 32860,
    kCmdOpenInViewer = 32929,
    kCmdEdit = 32855,
    kCmdAlphaCompositing = 32854,
    kCmdImageResize = 32885,
    kCmdCanvasResize = 32886,
    kCmdRotateButton = 32871,  // the toolbar's drop-down
    kCmdRotate180 = 32872,
    kCmdRotateClockwise = 32873,
    kCmdRotateCounterClockwise = 32874,
    kCmdFlipVertical = 32875,
    kCmdFlipHorizontal = 32876,
    kCmdCreateEditMask = 32841,
    kCmdDeleteMask = 32842,
    kCmdGrayscale = 32894,
    kCmdConvert1Bit = 32863,
    kCmdConvert4Bit = 32864,
    kCmdConvert8Bit = 32865,
    kCmdConvert16Bit = 32866,
    kCmdConvert24Bit = 32867,
    kCmdConvert32Bit = 32868,
    kCmdConvertTopDown = 32869,
    kCmdConvertBottomUp = 32870,
    kCmdMerge = 32887,
    kCmdSplit = 32888,
    kCmdCreateSizeSet = 32960,
    // Type
    kCmdAnimationOptions = 32947,
    kCmdFrameProperties = 32940,
    kCmdAnimationTiming = 32897,
    kCmdSetHotSpot = 32895,
    // Tools and Help
    kCmdOptions = 32909,
    kCmdViewHelp = 32931,
    kCmdVersionHistory = 32912,
    kCmdTermOfUse = 32913,
    kCmdAbout = 57664,
    // Not a command of the table: the name of the history step a drag of items
    // within the list makes.
    kCmdMoveItems = 32950,
};

// Every command, in menu order (then the toolbar-only ones).
std::span<const CommandId> AllCommands();

struct CommandState {
    bool enabled = false;
    bool checked = false;
    // Undo and Redo: the command of the step they take back or repeat, for the
    // label ("Undo Rotate 90° Clockwise"); 0 when there is none or it has no name.
    CommandId step = CommandId{0};
    bool operator==(const CommandState&) const = default;
};

// What the clipboard offers, read by the caller (the state function asks nobody).
struct ClipboardOffer {
    bool items = false;  // the private item format
    bool dib = false;    // a packed DIB
};
ClipboardOffer ClipboardOfferOf(Clipboard& clipboard);

// Whether a command is available and checked, from the items, their selection,
// the modified flag, the view state, the settings and the clipboard. A command
// not in the table (an unknown id) is disabled.
CommandState CommandStateOf(CommandId id, const CIconmillApp& app, ClipboardOffer clipboard);

// Whether the command is shown with a check or radio mark (its state's
// `checked` is then meaningful).
bool HasCheckMark(CommandId id);

// The commands only a window can carry out: the dialogs that start a command
// (they call the apply functions of the application layer on OK), the viewer,
// help, exit and the toolbar drop-downs.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;
    virtual void RunWindowCommand(CommandId id) = 0;
};

// Whether a window carries the command out (RunCommand hands it to the window).
bool IsWindowCommand(CommandId id);

enum class CommandOutcome {
    Done,         // the command ran to its end
    NotDone,      // the command stopped: cancelled, or a failure it reported
    Refused,      // the command is disabled: nothing was done
    NeedsWindow,  // a window command without a window: nothing was done
};

// Carries a command out: refuses a disabled one, hands window commands to
// `window` (null where there is none, as in the command-line tool), runs the
// others through their flows. The clipboard is the one Cut, Copy and Paste use.
CommandOutcome RunCommand(CommandId id, CIconmillApp& app, Clipboard& clipboard,
                          CommandWindow* window);
