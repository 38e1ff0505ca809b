// The editor's main window: menus, toolbars, status bar and the item list as
// its client. Every menu item, toolbar button, accelerator and context menu
// entry is an action of one command id; its state comes from the application
// layer's command table and is refreshed on every notification, and triggering
// it runs the command through that table.
#pragma once

#include <QMainWindow>
#include <map>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/commands.h"
#include "ui/qt_interaction.h"

class QLabel;
class QMenu;
class QMimeData;
class QProgressBar;
class QToolBar;
class QToolButton;
class CImageListView;
class CZoomCtrl;

class CMainFrame : public QMainWindow,
                   private AppListener,
                   public CommandWindow,
                   public BusyDisplay {
    Q_OBJECT

public:
    // The window listens to `app` for its whole life and runs commands with
    // `clipboard`; it becomes the busy display of `door`.
    CMainFrame(CIconmillApp& app, QtInteraction& door, Clipboard& clipboard);
    ~CMainFrame() override;

    // The action of a command (the menu's, where a toolbar has its own too).
    QAction* Action(CommandId id) const;
    // Every action of a command: menu, toolbar and context menu share them.
    const std::vector<QAction*>& Actions(CommandId id) const;
    QToolBar* Toolbar(CommandId toolbarId) const;
    QMenu* ListContextMenu() const { return listMenu_; }
    QMenu* ItemContextMenu() const { return itemMenu_; }
    QMenu* RecentFilesMenu() const { return recentMenu_; }
    QLabel* MessagePane() const { return messagePane_; }
    QLabel* ItemCounter() const { return itemCounter_; }
    QWidget* ZoomPane() const { return zoomPane_; }
    CZoomCtrl* ZoomControl() const { return zoom_; }
    CImageListView* ItemView() const { return itemView_; }
    bool IsBusy() const { return busy_; }

    // Runs a command as its action would: refused when disabled.
    CommandOutcome Run(CommandId id);
    // Recomputes every action's enabled and checked state.
    void RefreshCommandStates();
    // Adds the images of files, in order, asking whether to go on after a
    // failure that is not the last file (the drop of files).
    void AddDroppedFiles(const QStringList& paths);
    // A drop of a file manager's selection (text/uri-list): its local files.
    void DropData(const QMimeData& data);

    // CommandWindow
    void RunWindowCommand(CommandId id) override;

    // BusyDisplay
    void BeginBusy(const BusyRequest& request) override;
    void SetBusyProgress(int position) override;
    bool PollBusyCancelled() override;
    void EndBusy() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // AppListener
    void OnItemRemoving(int index) override;
    void OnResetPositions(bool anchorToo) override;
    void OnOrderChanged() override;
    void OnLayoutChanged(bool repaint) override;
    void OnModifiedChanged() override;
    void OnSelectionChanged() override;
    void OnCompilationReplaced() override;
    void OnViewChanged() override;

    QAction* MakeAction(CommandId id, bool forToolbar = false);
    void BuildActions();
    void BuildMenus();
    void BuildToolbars();
    void BuildStatusBar();
    void BuildClient();
    QMenu* BuildSortMenu(QWidget* parent);
    QMenu* BuildRotateMenu(QWidget* parent);
    QMenu* BuildZoomMenu(QWidget* parent);
    QMenu* BuildBackgroundMenu(QWidget* parent);
    QMenu* BuildAlignmentMenu(QWidget* parent);
    QToolButton* DropDownButton(QToolBar* bar, CommandId id, QMenu* menu);
    void ShowPopupAtButton(CommandId buttonId);
    // Edit (the image editor) and Open in Viewer on the first selected item.
    // Widens the default window so that the toolbars fit in one row.
    void FitToolbarsInWidth();
    void EditImage();
    void OpenInViewer();
    // Create Size Set: the dialog on the first selected item, then the set.
    void CreateSizeSet();
    void ShowListContextMenu(const QPoint& position);
    // Undo and Redo name the command of their step.
    void LabelHistoryAction(QAction* action, CommandId id, CommandId step);
    // File > Recent Files follows the application's list and persists it.
    void SyncRecentFiles();
    void RebuildRecentMenu();
    void OpenRecent(const std::string& path);
    void UpdateTitle();
    void UpdateCounter();
    void ApplyViewState();
    enum class StatusMode { Normal, ProgressWithHint, Progress, Hint };
    void SetStatusMode(StatusMode mode);

    CIconmillApp& app_;
    QtInteraction& door_;
    Clipboard& clipboard_;
    std::map<CommandId, std::vector<QAction*>> actions_;
    std::map<CommandId, QToolBar*> toolbars_;
    std::map<CommandId, QToolButton*> dropDownButtons_;
    QMenu* listMenu_ = nullptr;
    QMenu* itemMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    std::vector<std::string> shownRecent_;
    CImageListView* itemView_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* itemCounter_ = nullptr;
    QWidget* zoomPane_ = nullptr;
    CZoomCtrl* zoom_ = nullptr;
    bool syncingZoom_ = false;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;  // "%u%%" beside the bar while a writer reports
    QLabel* escHint_ = nullptr;
    bool busy_ = false;
    bool cancelled_ = false;
};
