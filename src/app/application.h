// The application object: the current compilation, its item list and the file
// commands that fill them. It runs without a window; every question goes through
// the interaction interface.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/image_file_format.h"
#include "app/settings.h"
#include "core/compilation.h"
#include "core/item_list.h"

class Interaction;

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

    // Replaces the compilation object (the old one is deleted) and tells the
    // window to update its title.
    void ReplaceCompilation(std::unique_ptr<CCompilation> compilation);
    void SetModified() { compilation_->modified = true; }

    // The persisted settings (loaded and stored by the editor).
    CAppSettings settings;

    // Called after every replacement of the compilation (the window title).
    std::function<void()> onTitleChanged;
    // The list view's hooks (layout, repaint, positions); the view sets them.
    ItemListListener* viewListener = nullptr;

    // Reads one file and appends its images; reports every failure itself.
    bool ReadImageFile(const char* path, ImageFileFormat* outFormat = nullptr);
    // The Open (add false) and Add (add true) commands.
    bool OpenFiles(bool add);
    // Opens the file named on the command line.
    bool OpenStartupFile(const char* path);
    // The New Compilation command.
    void NewCompilation();
    // Adds the images of dropped files, in order.
    void DropFiles(const std::vector<std::string>& paths);
    // True when the caller may go on: nothing to save, saved, or discarded.
    bool QuerySaveChanges();
    // The Save command; true when the compilation was saved.
    bool Save();

private:
    // ItemListListener
    void OnItemRemoving(int index) override;
    void OnOrderChanged() override;
    void OnLayoutChanged(bool repaint) override;
    void OnResetPositions(bool anchorToo) override;

    // Asks whether to go on after a failed file (not asked for the last one).
    bool AskContinueReading();

    Interaction& ui_;
    CItemList items_;
    std::unique_ptr<CCompilation> compilation_;
};

// The filter of the Open and Add dialogs.
extern const char* const kOpenFileFilter;
