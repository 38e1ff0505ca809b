// The one door through which commands reach the user: messages, questions, file
// and colour choices, option dialogs and the busy state. The editor passes its Qt
// implementation, tests a scripted one, the command-line tool a non-interactive one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/door/c_array_options.h"
#include "platform/door/psd_import_choice.h"
#include "platform/door/save_choices.h"

enum class MessageIcon { None, Information, Exclamation, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// What a file dialog is asked for. The filter has the form
// "Name|*.a;*.b|Other|*.c||": pairs of a description and its patterns.
struct FileDialogRequest {
    bool save = false;
    bool multiSelect = false;
    std::string title;  // empty: the dialog's standard title
    std::string filter;
    std::string defaultExtension;
    std::string fileName;
    // When set, a dialog that knows which filter was picked stores its index (from
    // 1) here; one that does not leaves the value alone.
    int* chosenFilter = nullptr;
};

// Settings of the busy state that long operations enter.
struct BusyRequest {
    std::string text;  // the status-bar text
    bool cancellable = false;
    int progressRange = 0;  // 0: no progress bar range
    bool marquee = false;
};

class Interaction {
public:
    virtual ~Interaction() = default;

    // Shows a modal message box with the application's title and returns the
    // button pressed.
    virtual Answer ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons) = 0;

    // Runs a file dialog; the chosen paths in the dialog's order, empty when cancelled.
    virtual std::vector<std::string> ChooseFiles(const FileDialogRequest& request) = 0;

    // Whether SHIFT is held down as a command starts (the hidden switch of some
    // commands).
    virtual bool IsShiftDown() { return false; }
    // The standard colour dialog, opened on `initial` (0x00BBGGRR): the chosen
    // colour, or nullopt when it is not closed with OK.
    virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) {
        (void)initial;
        return std::nullopt;
    }

    // Shows a message box with its own caption instead of the application's
    // title. The default shows it as ShowMessage does.
    virtual Answer ShowCaptionedMessage(std::string_view caption, std::string_view text,
                                        MessageIcon icon, MessageButtons buttons) {
        (void)caption;
        return ShowMessage(text, icon, buttons);
    }

    // The save dialog with its file types and naming panel; nullopt when it is
    // cancelled (the default).
    virtual std::optional<SaveDialogChoice> ChooseSaveTarget(const SaveDialogRequest& request) {
        (void)request;
        return std::nullopt;
    }
    // The per-item save dialog of a series: the chosen path, or nullopt when it
    // is cancelled (the default).
    virtual std::optional<std::string> ChooseSeriesItemPath(const SeriesItemRequest& request) {
        (void)request;
        return std::nullopt;
    }
    // The "PNG Options" dialog, opened on `options`, which receive the values
    // chosen; false when it is cancelled. The default closes it with OK unchanged.
    virtual bool EditPngOptions(PngSaveOptions& options) {
        (void)options;
        return true;
    }
    // The animated cursor options dialog, likewise.
    virtual bool EditAniOptions(AniSaveOptions& options) {
        (void)options;
        return true;
    }

    // The busy state of long operations. Poll lets the interface breathe between
    // steps and tells whether the user asked to cancel (ESC).
    virtual void BeginBusy(const BusyRequest& request) { (void)request; }
    virtual void SetBusyProgress(int position) { (void)position; }
    virtual bool PollBusyCancelled() { return false; }
    virtual void EndBusy() {}

    // The PSD import's options dialog: the chosen layers and mode, or nullopt when
    // cancelled. Without a dialog the initial choice is taken.
    virtual std::optional<PsdImportChoice> ChoosePsdImport(const PsdImportRequest& request) {
        return request.initial;
    }

    // The Array Options dialog of the C source export: the layout, or nullopt when
    // cancelled. Without a dialog the given options are taken.
    virtual std::optional<CArrayOptions> ChooseCArrayOptions(const CArrayOptions& initial) {
        return initial;
    }
};

// The answer a message box gives when nobody is asked: its first button.
constexpr Answer DefaultAnswer(MessageButtons buttons) {
    return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel ? Answer::Ok
                                                                                : Answer::Yes;
}

// Enters the busy state for the life of the object.
class BusyScope {
public:
    BusyScope(Interaction& ui, const BusyRequest& request) : ui_(ui) { ui_.BeginBusy(request); }
    ~BusyScope() { ui_.EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Interaction& ui_;
};
