// The application object: the current compilation, its item list, the settings,
// the listener and the modified flag. State only; the flows that act on it (open,
// save, edit, image and export commands) are free functions over it. It runs
// without a window; every question goes through the interaction interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/history.h"
#include "app/recent_files.h"
#include "app/settings.h"
#include "app/view_state.h"
#include "formats/compilation.h"
#include "core/item_list.h"

class Interaction;

// What the window hears from the application: the list's hooks (layout,
// repaint, positions, removal, order), and changes of the modified flag, of the
// selection and of the compilation object. Every callback has an empty default.
class AppListener : public ItemListListener {
public:
    // The modified flag changed (the title and Save follow it).
    virtual void OnModifiedChanged() {}
    // Items were selected or deselected by a command.
    virtual void OnSelectionChanged() {}
    // The compilation object was replaced (its type or path may differ).
    virtual void OnCompilationReplaced() {}
    // The view state or a view setting changed (zoom, alignment, background,
    // previews, toolbars, sort order): lay out and repaint.
    virtual void OnViewChanged() {}
};

class CIconmillApp : private ItemListListener {
public:
    explicit CIconmillApp(Interaction& ui);
    ~CIconmillApp() override;
    CIconmillApp(const CIconmillApp&) = delete;
    CIconmillApp& operator=(const CIconmillApp&) = delete;

    Interaction& Ui() { return ui_; }
    CItemList& Items() { return items_; }
    const CItemList& Items() const { return items_; }
    CCompilation& Compilation() { return *compilation_; }
    const CCompilation& Compilation() const { return *compilation_; }

    // Replaces the compilation object (the old one is deleted; the new one is
    // not modified) and tells the listener. A new type starts a new history;
    // the same type (a Save As) makes the current state the saved one.
    void ReplaceCompilation(std::unique_ptr<CCompilation> compilation);

    // The compilation's modified flag. Every change of the list or of an item
    // marks it; Open and a successful save clear it (the state is then the
    // saved one of the history). The listener hears of every change of the flag.
    bool IsModified() const { return compilation_->IsModified(); }
    void SetModified() {
        ++changes_;
        SetModifiedFlag(true);
    }
    void ClearModified() {
        history_.MarkSaved();
        SetModifiedFlag(false);
    }
    // How many times the compilation was marked modified: a recorder compares
    // it to know whether a command changed anything.
    std::uint64_t ChangeCount() const { return changes_; }

    // The history of Undo and Redo.
    CHistory& History() { return history_; }
    const CHistory& History() const { return history_; }
    // Forgets the history (Open, New, a new compilation type); the current
    // state is the saved one unless the compilation is modified.
    void StartNewHistory() { history_.Clear(!IsModified()); }
    // A recorder begins (true for the outermost one) and ends.
    bool BeginRecording() { return recording_++ == 0; }
    void EndRecording() { --recording_; }

    // The files last opened or saved, newest first (the editor persists them).
    CRecentFiles recentFiles;

    // Tells the listener that commands changed the selection.
    void NotifySelectionChanged();
    // Tells the listener that pictures changed in place: lay out and repaint.
    void NotifyPicturesChanged();
    // Tells the listener that the view state or a view setting changed.
    void NotifyViewChanged();

    // The one listener (the editor's window), or null.
    void SetListener(AppListener* listener) { listener_ = listener; }

    // The persisted settings (loaded and stored by the editor).
    CAppSettings settings;
    // What the list view shows, as the view commands leave it.
    CViewState view;

private:
    // ItemListListener
    void OnItemRemoving(int index) override;
    void OnOrderChanged() override;
    void OnLayoutChanged(bool repaint) override;
    void OnResetPositions(bool anchorToo) override;

    void SetModifiedFlag(bool modified);

    Interaction& ui_;
    AppListener* listener_ = nullptr;
    CItemList items_;
    std::unique_ptr<CCompilation> compilation_;
    CHistory history_;
    std::uint64_t changes_ = 0;
    int recording_ = 0;
};
