// The editor's door: the interaction interface over Qt dialogs. Messages are
// message boxes with the application's title, file dialogs are the platform's,
// and the busy state is the main window's.
#pragma once

#include <QStringList>

#include "platform/door/interaction.h"

class QWidget;

// The busy state as the window shows it (wait cursor, status bar, ESC).
class BusyDisplay {
public:
    virtual ~BusyDisplay() = default;
    virtual void BeginBusy(const BusyRequest& request) = 0;
    virtual void SetBusyProgress(int position) = 0;
    virtual bool PollBusyCancelled() = 0;
    virtual void EndBusy() = 0;
};

class QtInteraction : public Interaction {
public:
    // `parent` owns the dialogs (null: none); `busy` shows the busy state (null:
    // none is shown).
    QtInteraction(QWidget* parent, BusyDisplay* busy) : parent_(parent), busy_(busy) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    void SetBusyDisplay(BusyDisplay* busy) { busy_ = busy; }

    Answer ShowMessage(const MessageRequest& message) override;
    bool AskIgnoreAniSequence(const MessageRequest& question) override;
    std::vector<std::string> ChooseFiles(const FileDialogRequest& request) override;
    bool IsShiftDown() override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;
    std::optional<SaveDialogChoice> ChooseSaveTarget(const SaveDialogRequest& request) override;
    std::optional<std::string> ChooseSeriesItemPath(const SeriesItemRequest& request) override;
    bool EditPngOptions(PngSaveOptions& options) override;
    bool EditAniOptions(AniSaveOptions& options) override;
    void BeginBusy(const BusyRequest& request) override;
    void SetBusyProgress(int position) override;
    bool PollBusyCancelled() override;
    void EndBusy() override;
    std::optional<PsdImportChoice> ChoosePsdImport(const PsdImportRequest& request) override;
    std::optional<CArrayOptions> ChooseCArrayOptions(const CArrayOptions& initial) override;
    std::optional<int> ChooseSvgSize(const SvgSizeRequest& request) override;

private:
    QWidget* parent_;
    BusyDisplay* busy_;
};

// "Name|*.a;*.b|Other|*.c||" as Qt's "Name (*.a *.b);;Other (*.c)" filters, in order.
QStringList QtFileFilters(const std::string& filter);
