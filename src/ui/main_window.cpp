#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "app/image_edit_commands.h"
#include "app/list_layout.h"
#include "app/open_flows.h"
#include "app/size_set.h"
#include "app/view_commands.h"
#include "app/window_texts.h"
#include "platform/door/string_table.h"
#include "ui/animation_options_dialogs.h"
#include "ui/animation_timing_dialog.h"
#include "ui/artwork.h"
#include "ui/color_mask_dialogs.h"
#include "ui/command_dialogs.h"
#include "ui/dib_image.h"
#include "ui/frame_properties_dialogs.h"
#include "ui/help_dialogs.h"
#include "ui/image_edit_dialog.h"
#include "ui/image_list_view.h"
#include "ui/image_viewer_dialog.h"
#include "ui/qt_clipboard.h"
#include "ui/settings_store.h"
#include "ui/size_set_dialog.h"
#include "ui/zoom_control.h"

namespace {

struct CommandText {
    CommandId id;
    const char* text;  // the menu label with its mnemonic
    const char* tip;   // the tooltip
};

// Menu labels and tooltips. The accelerator shown after a label comes from the
// command's first shortcut.
const CommandText kTexts[] = {
    {kCmdNewCompilation, "&New Compilation", "New Compilation"},
    {kCmdOpen, "&Open...", "Open"},
    {kCmdAdd, "&Add...", "Add"},
    {kCmdSave, "&Save", "Save"},
    {kCmdSaveAs, "Save &As...", "Save As"},
    {kCmdSaveSelection, "Sa&ve Selection...", "Save Selection"},
    {kCmdExportDib, "&DIB...", "Export DIB"},
    {kCmdExportBits, "&Bitmap bits...", "Export Bitmap Bits"},
    {kCmdExit, "E&xit", "Exit"},
    {kCmdUndo, "&Undo", "Undo"},
    {kCmdRedo, "&Redo", "Redo"},
    {kCmdMoveItems, "Move", "Move"},
    {kCmdCut, "Cu&t", "Cut"},
    {kCmdCopy, "&Copy", "Copy"},
    {kCmdPaste, "&Paste", "Paste"},
    {kCmdDelete, "&Delete", "Delete"},
    {kCmdDuplicate, "D&uplicate", "Duplicate"},
    {kCmdSelectReference, "Select &Reference", "Select Reference"},
    {kCmdSelectDuplications, "Select Dup&lications", "Select Duplications"},
    {kCmdDeleteAllDuplications, "D&elete All Duplications", "Delete All Duplications"},
    {kCmdSelectAll, "Select &All", "Select All"},
    {kCmdSelectNone, "Select &None", "Select None"},
    {kCmdInvertSelection, "&Invert Selection", "Invert Selection"},
    {kCmdSelectAllSames, "Select All &Sames", "Select All Sames"},
    {kCmdToolbarStandard, "&Standard", "Standard"},
    {kCmdToolbarImageEditor, "&Image Editor", "Image Editor"},
    {kCmdToolbarType, "&Type", "Type"},
    {kCmdAlignAuto, "&Auto", "Auto"},
    {kCmdAlignHorizontally, "&Horizontally", "Horizontally"},
    {kCmdAlignVertically, "&Vertically", "Vertically"},
    {kCmdSortByButton, "&Sort by", "Sort by"},
    {kCmdSortByWidth, "&Width", "Sort by Width"},
    {kCmdSortByHeight, "&Height", "Sort by Height"},
    {kCmdSortByBitCount, "&Bit-Count", "Sort by Bit-Count"},
    {kCmdSortAscending, "&Ascending", "Ascending"},
    {kCmdSortDescending, "&Descending", "Descending"},
    {kCmdZoomIn, "Zoom &In", "Zoom In"},
    {kCmdZoomOut, "Zoom &Out", "Zoom Out"},
    {kCmdZoom12, "12.5%", "12.5%"},
    {kCmdZoom25, "25%", "25%"},
    {kCmdZoom50, "50%", "50%"},
    {kCmdZoom100, "100%", "Actual Size"},
    {kCmdZoom200, "200%", "200%"},
    {kCmdZoom300, "300%", "300%"},
    {kCmdZoom400, "400%", "400%"},
    {kCmdZoom500, "500%", "500%"},
    {kCmdZoom600, "600%", "600%"},
    {kCmdZoom700, "700%", "700%"},
    {kCmdZoom800, "800%", "800%"},
    {kCmdBackgroundBlack, "&Black", "Black"},
    {kCmdBackgroundWhite, "&White", "White"},
    {kCmdBackgroundGray, "&Gray", "Gray"},
    {kCmdBackgroundWindow, "W&indow", "Window"},
    {kCmdBackgroundTransparent, "&Transparent", "Transparent"},
    {kCmdBackgroundCustom, "&Custom...", "Custom"},
    {kCmdShowBoundingBox, "Show Image &Bounding Box", "Show Image Bounding Box"},
    {kCmdPreviewMask, "Preview the &Mask", "Preview the Mask"},
    {kCmdPreviewAlpha, "Preview the Alpha-c&hannel", "Preview the Alpha-channel"},
    {kCmdDisplayQuickInfo, "Display &Quick Info", "Display Quick Info"},
    {kCmdNewEmptyBitmap, "&New Empty Bitmap...", "New Empty Bitmap"},
    {kCmdOpenInViewer, "Open in &Viewer", "Open in Viewer"},
    {kCmdEdit, "&Edit...", "Edit"},
    {kCmdAlphaCompositing, "&Alpha Compositing...", "Alpha Compositing"},
    {kCmdImageResize, "&Image Resize...", "Image Resize"},
    {kCmdCanvasResize, "&Canvas Resize...", "Canvas Resize"},
    {kCmdRotateButton, "&Rotate", "Rotate"},
    {kCmdRotate180, "&180°", "Rotate 180°"},
    {kCmdRotateClockwise, "&90° Clockwise", "Rotate 90° Clockwise"},
    {kCmdRotateCounterClockwise, "9&0° Counter Clockwise", "Rotate 90° Counter Clockwise"},
    {kCmdFlipVertical, "Flip &Vertical", "Flip Vertical"},
    {kCmdFlipHorizontal, "Flip &Horizontal", "Flip Horizontal"},
    {kCmdCreateEditMask, "Create/Edit &Mask...", "Create/Edit Mask"},
    {kCmdDeleteMask, "Delete Mas&k", "Delete Mask"},
    {kCmdGrayscale, "&Grayscale...", "Grayscale"},
    {kCmdConvert1Bit, "&1-bit", "Convert to 1-bit"},
    {kCmdConvert4Bit, "&4-bit", "Convert to 4-bit"},
    {kCmdConvert8Bit, "&8-bit", "Convert to 8-bit"},
    {kCmdConvert16Bit, "1&6-bit", "Convert to 16-bit"},
    {kCmdConvert24Bit, "&24-bit", "Convert to 24-bit"},
    {kCmdConvert32Bit, "&32-bit", "Convert to 32-bit"},
    {kCmdConvertTopDown, "&Top-down", "Convert to top-down"},
    {kCmdConvertBottomUp, "&Bottom-up", "Convert to bottom-up"},
    {kCmdMerge, "Mer&ge...", "Merge"},
    {kCmdSplit, "Sp&lit...", "Split"},
    {kCmdCreateSizeSet, "Create Si&ze Set...", "Create Size Set"},
    {kCmdAnimationOptions, "Animation &Options...", "Animation Options"},
    {kCmdFrameProperties, "&Frame Properties...", "Frame Properties"},
    {kCmdAnimationTiming, "Animation &Timing...", "Animation Timing"},
    {kCmdSetHotSpot, "Set &Hot Spot...", "Set Hot Spot"},
    {kCmdOptions, "&Options...", "Options"},
    {kCmdViewHelp, "View &Help", "View Help"},
    {kCmdVersionHistory, "&Version History", "Version History"},
    {kCmdTermOfUse, "&Term of Use", "Term of Use"},
    {kCmdAbout, "&About Iconmill...", "About Iconmill"},
};

const CommandText* TextOf(CommandId id) {
    for (const CommandText& text : kTexts)
        if (text.id == id) return &text;
    return nullptr;
}

// The keys of each command; the first one is shown in the menu.
QList<QKeySequence> ShortcutsOf(CommandId id) {
    using K = QKeySequence;
    switch (id) {
        case kCmdNewCompilation:
            return {K(Qt::CTRL | Qt::Key_N)};
        case kCmdOpen:
            return {K(Qt::CTRL | Qt::Key_O)};
        case kCmdAdd:
            return {K(Qt::CTRL | Qt::Key_I)};
        case kCmdSave:
            return {K(Qt::CTRL | Qt::Key_S)};
        case kCmdSaveSelection:
            return {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
        case kCmdExit:
            return {K(Qt::CTRL | Qt::Key_Q)};
        case kCmdUndo:
            return {K(Qt::CTRL | Qt::Key_Z)};
        case kCmdRedo:
            return {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)};
        case kCmdCut:
            return {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)};
        case kCmdCopy:
            return {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)};
        case kCmdPaste:
            return {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)};
        case kCmdDelete:
            return {K(Qt::Key_Delete)};
        case kCmdDuplicate:
            return {K(Qt::CTRL | Qt::Key_Space)};
        case kCmdSelectReference:
            return {K(Qt::Key_Backspace)};
        case kCmdSelectDuplications:
            return {K(Qt::Key_Space)};
        case kCmdSelectAll:
            return {K(Qt::CTRL | Qt::Key_A)};
        case kCmdSelectNone:
            return {K(Qt::CTRL | Qt::Key_D)};
        case kCmdInvertSelection:
            return {K(Qt::CTRL | Qt::SHIFT | Qt::Key_I)};
        case kCmdSelectAllSames:
            return {K(Qt::Key_F3), K(Qt::SHIFT | Qt::Key_F3)};
        case kCmdZoomIn:
            return {K(Qt::CTRL | Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Equal),
                    K(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)), K(Qt::Key_ZoomIn)};
        case kCmdZoomOut:
            return {K(Qt::CTRL | Qt::Key_Minus), K(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus)),
                    K(Qt::Key_ZoomOut)};
        case kCmdZoom12:
            return {K(Qt::CTRL | Qt::SHIFT | Qt::Key_1)};
        case kCmdZoom25:
            return {K(Qt::CTRL | Qt::SHIFT | Qt::Key_2)};
        case kCmdZoom50:
            return {K(Qt::CTRL | Qt::SHIFT | Qt::Key_5)};
        case kCmdZoom100:
        case kCmdZoom200:
        case kCmdZoom300:
        case kCmdZoom400:
        case kCmdZoom500:
        case kCmdZoom600:
        case kCmdZoom700:
        case kCmdZoom800:
            return {K(Qt::CTRL | (Qt::Key_1 + (id - kCmdZoom100)))};
        case kCmdPreviewMask:
            return {K(Qt::CTRL | Qt::Key_M)};
        case kCmdPreviewAlpha:
            return {K(Qt::CTRL | Qt::Key_L)};
        case kCmdFrameProperties:
            return {K(Qt::Key_F5)};
        case kCmdAnimationTiming:
            return {K(Qt::Key_F6)};
        case kCmdSetHotSpot:
            return {K(Qt::Key_F7)};
        case kCmdViewHelp:
            return {K(Qt::Key_F1), K(Qt::Key_Help)};
        default:
            return {};
    }
}

// The toolbars: buttons in order, 0 a separator.
const CommandId kStandardButtons[] = {
    kCmdNewCompilation, kCmdOpen, kCmdAdd, kCmdSave, kCmdSaveSelection, CommandId{0},
    kCmdUndo, kCmdRedo, CommandId{0},
    kCmdCut, kCmdCopy, kCmdPaste, CommandId{0}, kCmdDelete, kCmdDuplicate, CommandId{0},
    kCmdSortByButton, kCmdZoomIn, kCmdZoomOut, kCmdZoom100, CommandId{0}, kCmdDisplayQuickInfo};
const CommandId kImageEditorButtons[] = {
    kCmdEdit, kCmdAlphaCompositing, kCmdImageResize, kCmdCanvasResize, kCmdRotateButton,
    CommandId{0}, kCmdCreateEditMask, CommandId{0}, kCmdMerge, kCmdSplit};
const CommandId kTypeButtons[] = {kCmdAnimationTiming, kCmdSetHotSpot};
const CommandId kHelpButtons[] = {kCmdViewHelp};

constexpr CommandId kToolbarHelp = CommandId{32931};

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Events that a busy window must not act on.
bool IsInputEvent(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::DragEnter:
        case QEvent::Drop:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

}  // namespace

CMainFrame::CMainFrame(CIconmillApp& app, QtInteraction& door, Clipboard& clipboard)
    : app_(app), door_(door), clipboard_(clipboard) {
    setObjectName(QStringLiteral("Korvath_Iconmill_WndClass"));
    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);
    // The toolbars are shown and hidden through View > Toolbars only.
    setContextMenuPolicy(Qt::PreventContextMenu);
    resize(800, 600);
    BuildActions();
    BuildMenus();
    BuildToolbars();
    BuildStatusBar();
    BuildClient();
    FitToolbarsInWidth();
    if (auto* system = dynamic_cast<QtClipboard*>(&clipboard_))
        connect(system, &QtClipboard::Changed, this, [this] { RefreshCommandStates(); });
    door_.SetParent(this);
    door_.SetBusyDisplay(this);
    app_.SetListener(this);
    app_.recentFiles.Assign(ReadRecentFiles(SettingsStore()));
    shownRecent_ = app_.recentFiles.Paths();
    RebuildRecentMenu();
    ApplyViewState();
    UpdateTitle();
    UpdateCounter();
    RefreshCommandStates();
}

CMainFrame::~CMainFrame() {
    app_.SetListener(nullptr);
    door_.SetBusyDisplay(nullptr);
    door_.SetParent(nullptr);
    if (busy_) qApp->removeEventFilter(this);
}

QAction* CMainFrame::Action(CommandId id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() || found->second.empty() ? nullptr : found->second.front();
}

const std::vector<QAction*>& CMainFrame::Actions(CommandId id) const {
    static const std::vector<QAction*> kNone;
    const auto found = actions_.find(id);
    return found == actions_.end() ? kNone : found->second;
}

QToolBar* CMainFrame::Toolbar(CommandId toolbarId) const {
    const auto found = toolbars_.find(toolbarId);
    return found == toolbars_.end() ? nullptr : found->second;
}

QAction* CMainFrame::MakeAction(CommandId id, bool forToolbar) {
    const CommandText* text = TextOf(id);
    auto* action = new QAction(this);
    action->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(id)));
    if (text) {
        action->setText(Text(text->text));
        action->setToolTip(Text(text->tip));
        action->setStatusTip(Text(text->tip));
    }
    action->setIcon(CommandIcon(id));
    action->setIconVisibleInMenu(true);
    if (!forToolbar) {
        action->setShortcuts(ShortcutsOf(id));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setCheckable(HasCheckMark(id));
    }
    connect(action, &QAction::triggered, this, [this, id] { Run(id); });
    actions_[id].push_back(action);
    return action;
}

void CMainFrame::BuildActions() {
    for (CommandId id : AllCommands()) {
        QAction* action = MakeAction(id);
        addAction(action);  // the shortcuts work whether a menu shows the action or not
    }
    // Radio groups: the marks come from the state function, which keeps one
    // checked in each; the groups draw them as radio marks.
    const std::vector<std::vector<CommandId>> groups = {
        {kCmdAlignAuto, kCmdAlignHorizontally, kCmdAlignVertically},
        {kCmdSortAscending, kCmdSortDescending},
        {kCmdZoom12, kCmdZoom25, kCmdZoom50, kCmdZoom100, kCmdZoom200, kCmdZoom300, kCmdZoom400,
         kCmdZoom500, kCmdZoom600, kCmdZoom700, kCmdZoom800},
        {kCmdBackgroundBlack, kCmdBackgroundWhite, kCmdBackgroundGray, kCmdBackgroundWindow,
         kCmdBackgroundTransparent, kCmdBackgroundCustom},
    };
    for (const auto& members : groups) {
        auto* group = new QActionGroup(this);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
        for (CommandId id : members) group->addAction(Action(id));
    }
}

QMenu* CMainFrame::BuildSortMenu(QWidget* parent) {
    auto* menu = new QMenu(Text("&Sort by"), parent);
    menu->addAction(Action(kCmdSortByWidth));
    menu->addAction(Action(kCmdSortByHeight));
    menu->addAction(Action(kCmdSortByBitCount));
    menu->addSeparator();
    menu->addAction(Action(kCmdSortAscending));
    menu->addAction(Action(kCmdSortDescending));
    return menu;
}

QMenu* CMainFrame::BuildRotateMenu(QWidget* parent) {
    auto* menu = new QMenu(Text("&Rotate"), parent);
    menu->setIcon(CommandIcon(kCmdRotateButton));
    for (CommandId id : {kCmdRotate180, kCmdRotateClockwise, kCmdRotateCounterClockwise})
        menu->addAction(Action(id));
    menu->addSeparator();
    menu->addAction(Action(kCmdFlipVertical));
    menu->addAction(Action(kCmdFlipHorizontal));
    return menu;
}

QMenu* CMainFrame::BuildZoomMenu(QWidget* parent) {
    auto* menu = new QMenu(Text("&Zoom"), parent);
    menu->addAction(Action(kCmdZoomIn));
    menu->addAction(Action(kCmdZoomOut));
    menu->addSeparator();
    for (int id = kCmdZoom12; id <= kCmdZoom800; ++id)
        menu->addAction(Action(static_cast<CommandId>(id)));
    return menu;
}

QMenu* CMainFrame::BuildBackgroundMenu(QWidget* parent) {
    auto* menu = new QMenu(Text("&Background"), parent);
    for (int id = kCmdBackgroundBlack; id <= kCmdBackgroundTransparent; ++id)
        menu->addAction(Action(static_cast<CommandId>(id)));
    menu->addSeparator();
    menu->addAction(Action(kCmdBackgroundCustom));
    return menu;
}

QMenu* CMainFrame::BuildAlignmentMenu(QWidget* parent) {
    auto* menu = new QMenu(Text("A&lignment"), parent);
    for (CommandId id : {kCmdAlignAuto, kCmdAlignHorizontally, kCmdAlignVertically})
        menu->addAction(Action(id));
    return menu;
}

void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(Text("&File"));
    for (CommandId id : {kCmdNewCompilation, kCmdOpen, kCmdAdd}) file->addAction(Action(id));
    file->addSeparator();
    for (CommandId id : {kCmdSave, kCmdSaveAs, kCmdSaveSelection}) file->addAction(Action(id));
    file->addSeparator();
    recentMenu_ = file->addMenu(Text("Recent &Files"));
    recentMenu_->setObjectName(QStringLiteral("recentFilesMenu"));
    file->addSeparator();
    QMenu* exportMenu = file->addMenu(Text("&Export"));
    exportMenu->addAction(Action(kCmdExportDib));
    exportMenu->addAction(Action(kCmdExportBits));
    file->addSeparator();
    file->addAction(Action(kCmdExit));

    QMenu* edit = bar->addMenu(Text("&Edit"));
    edit->addAction(Action(kCmdUndo));
    edit->addAction(Action(kCmdRedo));
    edit->addSeparator();
    for (CommandId id : {kCmdCut, kCmdCopy, kCmdPaste, kCmdDelete, kCmdDuplicate})
        edit->addAction(Action(id));
    edit->addSeparator();
    for (CommandId id : {kCmdSelectReference, kCmdSelectDuplications, kCmdDeleteAllDuplications})
        edit->addAction(Action(id));
    edit->addSeparator();
    for (CommandId id : {kCmdSelectAll, kCmdSelectNone, kCmdInvertSelection, kCmdSelectAllSames})
        edit->addAction(Action(id));

    QMenu* view = bar->addMenu(Text("&View"));
    QMenu* toolbars = view->addMenu(Text("&Toolbars"));
    for (CommandId id : {kCmdToolbarStandard, kCmdToolbarImageEditor, kCmdToolbarType})
        toolbars->addAction(Action(id));
    view->addMenu(BuildAlignmentMenu(view));
    view->addMenu(BuildSortMenu(view));
    view->addMenu(BuildZoomMenu(view));
    view->addMenu(BuildBackgroundMenu(view));
    view->addSeparator();
    for (CommandId id :
         {kCmdShowBoundingBox, kCmdPreviewMask, kCmdPreviewAlpha, kCmdDisplayQuickInfo})
        view->addAction(Action(id));

    QMenu* image = bar->addMenu(Text("&Image"));
    image->addAction(Action(kCmdNewEmptyBitmap));
    image->addSeparator();
    for (CommandId id : {kCmdEdit, kCmdAlphaCompositing, kCmdImageResize, kCmdCanvasResize})
        image->addAction(Action(id));
    image->addMenu(BuildRotateMenu(image));
    image->addSeparator();
    for (CommandId id : {kCmdCreateEditMask, kCmdDeleteMask, kCmdGrayscale})
        image->addAction(Action(id));
    QMenu* convert = image->addMenu(Text("Con&vert"));
    for (int id = kCmdConvert1Bit; id <= kCmdConvert32Bit; ++id)
        convert->addAction(Action(static_cast<CommandId>(id)));
    convert->addSeparator();
    convert->addAction(Action(kCmdConvertTopDown));
    convert->addAction(Action(kCmdConvertBottomUp));
    image->addSeparator();
    image->addAction(Action(kCmdMerge));
    image->addAction(Action(kCmdSplit));
    image->addAction(Action(kCmdCreateSizeSet));

    QMenu* type = bar->addMenu(Text("&Type"));
    for (CommandId id :
         {kCmdAnimationOptions, kCmdFrameProperties, kCmdAnimationTiming, kCmdSetHotSpot})
        type->addAction(Action(id));

    QMenu* tools = bar->addMenu(Text("T&ools"));
    tools->addAction(Action(kCmdOptions));

    QMenu* help = bar->addMenu(Text("&Help"));
    help->addAction(Action(kCmdViewHelp));
    help->addSeparator();
    help->addAction(Action(kCmdVersionHistory));
    help->addAction(Action(kCmdTermOfUse));
    help->addSeparator();
    help->addAction(Action(kCmdAbout));

    // The list view's menus: the list (nothing selected) and the items.
    listMenu_ = new QMenu(this);
    listMenu_->setObjectName(QStringLiteral("listMenu"));
    listMenu_->addAction(Action(kCmdNewEmptyBitmap));
    listMenu_->addSeparator();
    listMenu_->addMenu(BuildAlignmentMenu(listMenu_));
    listMenu_->addMenu(BuildSortMenu(listMenu_));
    listMenu_->addMenu(BuildZoomMenu(listMenu_));
    listMenu_->addMenu(BuildBackgroundMenu(listMenu_));
    listMenu_->addAction(Action(kCmdShowBoundingBox));
    listMenu_->addSeparator();
    listMenu_->addAction(Action(kCmdUndo));
    listMenu_->addAction(Action(kCmdRedo));
    listMenu_->addAction(Action(kCmdPaste));
    listMenu_->addSeparator();
    listMenu_->addAction(Action(kCmdAnimationOptions));
    listMenu_->addAction(Action(kCmdAnimationTiming));

    itemMenu_ = new QMenu(this);
    itemMenu_->setObjectName(QStringLiteral("itemMenu"));
    itemMenu_->addAction(Action(kCmdOpenInViewer));
    itemMenu_->setDefaultAction(Action(kCmdOpenInViewer));
    itemMenu_->addSeparator();
    for (CommandId id : {kCmdEdit, kCmdAlphaCompositing, kCmdImageResize, kCmdCanvasResize})
        itemMenu_->addAction(Action(id));
    itemMenu_->addMenu(BuildRotateMenu(itemMenu_));
    for (CommandId id : {kCmdCreateEditMask, kCmdDeleteMask, kCmdGrayscale})
        itemMenu_->addAction(Action(id));
    itemMenu_->addSeparator();
    itemMenu_->addAction(Action(kCmdUndo));
    itemMenu_->addAction(Action(kCmdRedo));
    itemMenu_->addSeparator();
    for (CommandId id : {kCmdCut, kCmdCopy, kCmdPaste, kCmdDelete, kCmdDuplicate})
        itemMenu_->addAction(Action(id));
    itemMenu_->addSeparator();
    itemMenu_->addAction(Action(kCmdFrameProperties));
    itemMenu_->addAction(Action(kCmdSetHotSpot));
}

QToolButton* CMainFrame::DropDownButton(QToolBar* bar, CommandId id, QMenu* menu) {
    QAction* action = MakeAction(id, true);
    action->setMenu(menu);
    bar->addAction(action);
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    if (button) {
        // The whole button opens the menu, as the command itself does.
        button->setPopupMode(QToolButton::InstantPopup);
        dropDownButtons_[id] = button;
    }
    return button;
}

void CMainFrame::BuildToolbars() {
    struct Bar {
        CommandId id;
        const char* title;
        std::span<const CommandId> buttons;
    };
    const Bar bars[] = {{kCmdToolbarStandard, "Standard", kStandardButtons},
                        {kCmdToolbarImageEditor, "Image Editor", kImageEditorButtons},
                        {kCmdToolbarType, "Type", kTypeButtons},
                        {kToolbarHelp, "Help", kHelpButtons}};
    for (const Bar& b : bars) {
        QToolBar* bar = addToolBar(Text(b.title));
        bar->setObjectName(QStringLiteral("toolbar%1").arg(static_cast<int>(b.id)));
        bar->setAccessibleName(Text(b.title));
        bar->setIconSize(QSize(16, 16));
        bar->setMovable(b.id != kToolbarHelp);
        toolbars_[b.id] = bar;
        for (CommandId id : b.buttons) {
            if (id == 0) {
                bar->addSeparator();
            } else if (id == kCmdSortByButton) {
                DropDownButton(bar, id, BuildSortMenu(bar));
            } else if (id == kCmdRotateButton) {
                DropDownButton(bar, id, BuildRotateMenu(bar));
            } else if (id == kCmdZoom100) {
                // "Actual Size": a plain button, not the radio item of the menu.
                bar->addAction(MakeAction(id, true));
            } else {
                bar->addAction(Action(id));
            }
        }
        for (QAction* action : bar->actions())
            if (QWidget* button = bar->widgetForAction(action))
                button->setAccessibleName(action->toolTip());
    }
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setMinimumHeight(26);
    messagePane_ = new QLabel(Text(LoadStringText(kStrReady)), bar);
    messagePane_->setObjectName(QStringLiteral("messagePane"));
    messagePane_->setAccessibleName(QStringLiteral("Status"));
    bar->addWidget(messagePane_, 1);
    progressText_ = new QLabel(bar);
    progressText_->setObjectName(QStringLiteral("progressText"));
    bar->addPermanentWidget(progressText_);
    progress_ = new QProgressBar(bar);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setAccessibleName(QStringLiteral("Progress"));
    progress_->setFixedWidth(100);
    progress_->setTextVisible(false);
    bar->addPermanentWidget(progress_);
    escHint_ = new QLabel(Text(LoadStringText(kStrPressEscToCancel)), bar);
    escHint_->setObjectName(QStringLiteral("escHint"));
    escHint_->setAccessibleName(escHint_->text());
    escHint_->setAlignment(Qt::AlignCenter);
    escHint_->setAutoFillBackground(true);
    escHint_->setContentsMargins(6, 0, 6, 0);
    QPalette hint = escHint_->palette();
    hint.setColor(QPalette::Window, hint.color(QPalette::Highlight));
    hint.setColor(QPalette::WindowText, hint.color(QPalette::HighlightedText));
    escHint_->setPalette(hint);
    bar->addPermanentWidget(escHint_);
    itemCounter_ = new QLabel(bar);
    itemCounter_->setObjectName(QStringLiteral("itemCounter"));
    itemCounter_->setMinimumWidth(80);
    bar->addPermanentWidget(itemCounter_);
    zoomPane_ = new QWidget(bar);
    zoomPane_->setObjectName(QStringLiteral("zoomPane"));
    zoomPane_->setAccessibleName(QStringLiteral("Zoom"));
    zoomPane_->setMinimumWidth(190);
    auto* zoomLayout = new QHBoxLayout(zoomPane_);
    zoomLayout->setContentsMargins(0, 0, 0, 0);
    zoom_ = new CZoomCtrl(zoomPane_);
    zoomLayout->addWidget(zoom_);
    connect(zoom_, &CZoomCtrl::ZoomChanged, this, [this] {
        if (!syncingZoom_) SetZoomPosition(app_, zoom_->Position());
    });
    bar->addPermanentWidget(zoomPane_);
    SetStatusMode(StatusMode::Normal);
}

void CMainFrame::SetStatusMode(StatusMode mode) {
    const bool progress = mode == StatusMode::ProgressWithHint || mode == StatusMode::Progress;
    const bool hint = mode == StatusMode::ProgressWithHint || mode == StatusMode::Hint;
    progress_->setVisible(progress);
    progressText_->setVisible(progress && !progressText_->text().isEmpty());
    escHint_->setVisible(hint);
    itemCounter_->setVisible(mode == StatusMode::Normal);
    zoomPane_->setVisible(mode == StatusMode::Normal);
}

void CMainFrame::BuildClient() {
    itemView_ = new CImageListView(app_, this);
    setCentralWidget(itemView_);
    connect(itemView_, &CImageListView::SelectionChanged, this, [this] { RefreshCommandStates(); });
    connect(itemView_, &CImageListView::OrderChanged, this, [this] { RefreshCommandStates(); });
    connect(itemView_, &CImageListView::OpenRequested, this, [this] { Run(kCmdOpenInViewer); });
    connect(itemView_, &CImageListView::WheelZoomRequested, this, [this](bool awayFromUser) {
        // The zoom control and the View > Zoom marks follow through OnViewChanged.
        if (!busy_) WheelZoom(app_, awayFromUser);
        RefreshCommandStates();
    });
    connect(itemView_, &CImageListView::FilesDropped, this,
            [this](const QStringList& paths) { AddDroppedFiles(paths); });
    connect(itemView_, &CImageListView::ContextMenuRequested, this,
            [this](const QPoint& position) { ShowListContextMenu(position); });
}

void CMainFrame::ShowListContextMenu(const QPoint& position) {
    QMenu* menu = app_.Items().IsSelectionEmpty() ? listMenu_ : itemMenu_;
    RefreshCommandStates();
    menu->popup(itemView_->viewport()->mapToGlobal(position));
}

CommandOutcome CMainFrame::Run(CommandId id) {
    if (busy_) return CommandOutcome::Refused;
    const CommandOutcome outcome = RunCommand(id, app_, clipboard_, this);
    RefreshCommandStates();
    return outcome;
}

void CMainFrame::RefreshCommandStates() {
    const ClipboardOffer offer = ClipboardOfferOf(clipboard_);
    for (const auto& [id, actions] : actions_) {
        const CommandState state = CommandStateOf(id, app_, offer);
        for (QAction* action : actions) {
            action->setEnabled(state.enabled);
            if (id == kCmdUndo || id == kCmdRedo) LabelHistoryAction(action, id, state.step);
            if (!action->isCheckable()) continue;
            action->setChecked(state.checked);
            // A checked menu item shows its mark instead of its picture.
            if (!action->icon().isNull()) action->setIconVisibleInMenu(!state.checked);
        }
    }
    SyncRecentFiles();
}

void CMainFrame::SyncRecentFiles() {
    if (app_.recentFiles.Paths() == shownRecent_) return;
    shownRecent_ = app_.recentFiles.Paths();
    WriteRecentFiles(SettingsStore(), shownRecent_);
    RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
    // Deferred deletion: the entry that opened a file may still be in its signal.
    for (QAction* old : recentMenu_->actions()) {
        recentMenu_->removeAction(old);
        old->deleteLater();
    }
    for (std::size_t i = 0; i < shownRecent_.size(); ++i) {
        const std::string path = shownRecent_[i];
        const QString name = QString::fromStdString(path);
        QAction* action = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        action->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        action->setToolTip(name);
        action->setStatusTip(name);
        connect(action, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
    recentMenu_->setEnabled(!shownRecent_.empty());
}

void CMainFrame::OpenRecent(const std::string& path) {
    if (busy_) return;
    OpenRecentFile(app_, path);
    RefreshCommandStates();
}

// "Undo Rotate 90° Clockwise": the command's name follows the verb.
void CMainFrame::LabelHistoryAction(QAction* action, CommandId id, CommandId step) {
    const CommandText* verb = TextOf(id);
    const CommandText* name = step != 0 ? TextOf(step) : nullptr;
    const QString suffix = name ? QLatin1Char(' ') + Text(name->tip) : QString();
    const QString tip = Text(verb->tip) + suffix;
    const QString label = Text(verb->text) + suffix;
    if (action->text() == label) return;
    action->setText(label);
    action->setToolTip(tip);
    action->setStatusTip(tip);
    if (QToolBar* bar = Toolbar(kCmdToolbarStandard))
        if (QWidget* button = bar->widgetForAction(action)) button->setAccessibleName(tip);
}

void CMainFrame::RunWindowCommand(CommandId id) {
    switch (id) {
        case kCmdExit:
            close();
            return;
        case kCmdSortByButton:
        case kCmdRotateButton:
            ShowPopupAtButton(id);
            return;
        case kCmdEdit:
            EditImage();
            return;
        case kCmdOpenInViewer:
            OpenInViewer();
            return;
        case kCmdGrayscale:
            RunGrayscaleDialog(app_, this);
            return;
        case kCmdAlphaCompositing:
            RunAlphaCompositingDialog(app_, this);
            return;
        case kCmdCreateEditMask:
            RunMaskEditDialog(app_, this);
            return;
        case kCmdCreateSizeSet:
            CreateSizeSet();
            return;
        case kCmdViewHelp:
            OpenProgramFile(this, QStringLiteral("help/index.html"));
            return;
        case kCmdVersionHistory:
            OpenProgramFile(this, QStringLiteral("VersionHistory.txt"));
            return;
        case kCmdTermOfUse:
            OpenProgramFile(this, QStringLiteral("TermOfUse.txt"));
            return;
        case kCmdAbout: {
            CAboutDialog about(this);
            about.exec();
            return;
        }
        case kCmdNewEmptyBitmap:
            RunNewEmptyBitmapCommand(app_, this);
            return;
        case kCmdImageResize:
            RunImageResizeCommand(app_, this);
            return;
        case kCmdCanvasResize:
            RunCanvasResizeCommand(app_, this);
            return;
        case kCmdMerge:
            RunMergeCommand(app_, this);
            return;
        case kCmdSplit:
            RunSplitCommand(app_, this);
            return;
        case kCmdOptions: {
            COptionsDialog options(this, app_.settings);
            if (options.exec() != QDialog::Accepted) return;
            app_.settings = options.Settings();
            WriteSettings(SettingsStore(), app_.settings);
            return;
        }
        case kCmdAnimationTiming:
            RunAnimationTiming(app_, this);
            return;
        case kCmdFrameProperties:
            RunFrameProperties(app_, this);
            return;
        case kCmdSetHotSpot:
            RunSetHotSpot(app_, this);
            return;
        case kCmdAnimationOptions:
            RunAnimationOptions(app_, this);
            return;
        default:
            // The dialogs of these commands come with their own work.
            messagePane_->setText(
                QStringLiteral("%1 is not available yet.").arg(TextOf(id) ? TextOf(id)->tip : ""));
            return;
    }
}

void CMainFrame::FitToolbarsInWidth() {
    // Wide enough that the toolbars' row shows every button (no overflow
    // chevron), within the screen; a stored placement replaces it later.
    int needed = 0;
    for (QToolBar* bar : findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        if (!bar->isHidden()) needed += bar->sizeHint().width();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        needed = std::min(needed + 16, screen->availableGeometry().width());
    if (needed > width()) resize(needed, height());
}

void CMainFrame::EditImage() {
    const int index = ImageEditorItem(app_);
    const tagILVITEM* item = app_.Items().Item(index);
    if (!item) return;
    CImageEditDialog dialog(*item, this);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyImageEdit(app_, index, dialog.ColorTable(), dialog.Bits(), dialog.IsModified());
}

void CMainFrame::CreateSizeSet() {
    tagILVITEM first;
    const int index = app_.Items().GetFirstSelected(&first);
    const tagILVITEM* item = app_.Items().Item(index);
    if (!item) return;
    CSizeSetDialog dialog(*item, DefaultSizeSetPreset(app_), this);
    if (dialog.exec() != QDialog::Accepted) return;
    CreateSizeSets(app_, dialog.Options());
    RefreshCommandStates();
}

void CMainFrame::OpenInViewer() {
    const tagILVITEM* item = app_.Items().Item(ViewerItem(app_));
    if (!item) return;
    CImageViewerDialog dialog(item->header, item->bits, item->mask, false, this);
    dialog.exec();
}

void CMainFrame::ShowPopupAtButton(CommandId buttonId) {
    const auto found = dropDownButtons_.find(buttonId);
    if (found == dropDownButtons_.end()) return;
    QToolButton* button = found->second;
    if (QMenu* menu = button->defaultAction() ? button->defaultAction()->menu() : nullptr)
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void CMainFrame::AddDroppedFiles(const QStringList& paths) {
    std::vector<std::string> files;
    for (const QString& path : paths) files.push_back(path.toUtf8().toStdString());
    DropFiles(app_, files);
    RefreshCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (busy_ || !QuerySaveChanges(app_)) {
        event->ignore();
        return;
    }
    WritePlacement(SettingsStore(), PlacementOf(*this));
    WriteToolbarState(SettingsStore(), app_.view);
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    DropData(*event->mimeData());
}

void CMainFrame::DropData(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    AddDroppedFiles(paths);
}

// While busy every input event is dropped, except that ESC asks to cancel; paint
// and timer events go on.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (!busy_ || !IsInputEvent(event->type())) return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        cancelled_ = true;
    if (event->type() == QEvent::Close) event->ignore();
    return true;
}

void CMainFrame::BeginBusy(const BusyRequest& request) {
    if (busy_) return;
    busy_ = true;
    cancelled_ = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (request.progressRange > 0 || request.marquee) {
        SetStatusMode(request.cancellable ? StatusMode::ProgressWithHint : StatusMode::Progress);
        progress_->setRange(0, request.marquee ? 0 : request.progressRange);
        progress_->setValue(0);
    } else if (request.cancellable) {
        SetStatusMode(StatusMode::Hint);
    }
    if (!request.text.empty()) messagePane_->setText(QString::fromStdString(request.text));
    qApp->installEventFilter(this);
}

void CMainFrame::SetBusyProgress(int position) {
    if (!busy_ || position < 0) return;
    progress_->setValue(position);
    progressText_->setText(QStringLiteral("%1%").arg(position));
    progressText_->setAccessibleName(progressText_->text());
    progressText_->setVisible(progress_->isVisible());
}

bool CMainFrame::PollBusyCancelled() {
    QCoreApplication::processEvents();
    return cancelled_;
}

void CMainFrame::EndBusy() {
    if (!busy_) return;
    busy_ = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    progress_->reset();
    progressText_->clear();
    SetStatusMode(StatusMode::Normal);
    messagePane_->setText(Text(LoadStringText(kStrReady)));
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(QString::fromStdString(WindowTitle(app_.Compilation())));
}

void CMainFrame::UpdateCounter() {
    itemCounter_->setText(QString::fromStdString(ItemCountText(app_.Items().Count())));
    itemCounter_->setAccessibleName(itemCounter_->text());
}

void CMainFrame::ApplyViewState() {
    const CViewState& view = app_.view;
    if (zoom_ && zoom_->Position() != view.zoomPosition) {
        // The control follows the view without telling it again.
        syncingZoom_ = true;
        zoom_->SetZoom(kZoomTable[view.zoomPosition]);
        syncingZoom_ = false;
    }
    if (QToolBar* bar = Toolbar(kCmdToolbarStandard)) bar->setVisible(view.standardToolbar);
    if (QToolBar* bar = Toolbar(kCmdToolbarImageEditor)) bar->setVisible(view.imageEditorToolbar);
    if (QToolBar* bar = Toolbar(kCmdToolbarType)) bar->setVisible(view.typeToolbar);
}

void CMainFrame::OnItemRemoving(int index) {
    itemView_->ItemRemoving(index);
}

void CMainFrame::OnResetPositions(bool anchorToo) {
    itemView_->ResetPositions(anchorToo);
}

void CMainFrame::OnOrderChanged() {
    itemView_->viewport()->update();
}

void CMainFrame::OnLayoutChanged(bool) {
    itemView_->Relayout();
    UpdateCounter();
    RefreshCommandStates();
}

void CMainFrame::OnModifiedChanged() {
    RefreshCommandStates();
}

void CMainFrame::OnSelectionChanged() {
    itemView_->viewport()->update();
    RefreshCommandStates();
}

void CMainFrame::OnCompilationReplaced() {
    UpdateTitle();
    RefreshCommandStates();
}

void CMainFrame::OnViewChanged() {
    ApplyViewState();
    if (!app_.settings.displayQuickInfo) itemView_->HideTip();
    itemView_->Relayout();
    RefreshCommandStates();
}
