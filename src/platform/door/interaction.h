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
#include "platform/door/string_table.h"
#include "platform/door/svg_size_request.h"

// The save option records of the formats; the door only passes them on.
struct PngSaveOptions;
struct AniSaveOptions;

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

// The rule of the door. A dialog that opens in the middle of a flow - the file
// dialogs, the save dialog, the PNG, animated cursor and PSD import options, the
// Array Options, every question and message - is a method here: the editor shows
// the real dialog, the command-line tool and the tests answer from options or a
// script. A dialog that starts a command (Image Resize, Canvas Resize, Merge,
// Split, Grayscale, Alpha Compositing, Mask Editor, Image Editor, Frame
// Properties, Set Hot Spot, Animation Timing and Options, New Empty Bitmap) is
// not: the editor runs it on a private copy and then calls the application
// layer's apply function with the values. Questions are typed by the method or
// by the string id of their message, never recognised by their text.

// A message box: the string its text was made from (kStrNone for a system error
// text shown alone), the text with its inserts, icon and buttons, and a caption
// (empty: the application's title).
struct MessageRequest {
    int id = kStrNone;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    std::string caption = {};
};

// A message made of string `id` alone, without inserts.
MessageRequest PlainMessage(int id, MessageIcon icon, MessageButtons buttons = MessageButtons::Ok);

class Interaction {
public:
    virtual ~Interaction() = default;

    // Shows a modal message box and returns the button pressed.
    virtual Answer ShowMessage(const MessageRequest& message) = 0;

    // The animated cursor question "... Do you want to ignore the sequence?"
    // (`question` its text, Yes/No): true for Yes, each image is added once;
    // false for No, the file's step sequence is followed.
    virtual bool AskIgnoreAniSequence(const MessageRequest& question) = 0;

    // Runs a file dialog; the chosen paths in the dialog's order, empty when cancelled.
    virtual std::vector<std::string> ChooseFiles(const FileDialogRequest& request) = 0;

    // Whether SHIFT is held down as a command starts (the hidden switch of some
    // commands).
    virtual bool IsShiftDown() = 0;
    // The standard colour dialog, opened on `initial` (0x00BBGGRR): the chosen
    // colour, or nullopt when it is not closed with OK.
    virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) = 0;

    // The save dialog with its file types and naming panel; nullopt when it is
    // cancelled.
    virtual std::optional<SaveDialogChoice> ChooseSaveTarget(const SaveDialogRequest& request) = 0;
    // The per-item save dialog of a series: the chosen path, or nullopt when it
    // is cancelled.
    virtual std::optional<std::string> ChooseSeriesItemPath(const SeriesItemRequest& request) = 0;
    // The "PNG Options" dialog, opened on `options`, which receive the values
    // chosen; false when it is cancelled.
    virtual bool EditPngOptions(PngSaveOptions& options) = 0;
    // The animated cursor options dialog, likewise.
    virtual bool EditAniOptions(AniSaveOptions& options) = 0;

    // The busy state of long operations. Poll lets the interface breathe between
    // steps and tells whether the user asked to cancel (ESC).
    virtual void BeginBusy(const BusyRequest& request) = 0;
    virtual void SetBusyProgress(int position) = 0;
    virtual bool PollBusyCancelled() = 0;
    virtual void EndBusy() = 0;

    // The PSD import's options dialog: the chosen layers and mode, or nullopt when
    // cancelled.
    virtual std::optional<PsdImportChoice> ChoosePsdImport(const PsdImportRequest& request) = 0;

    // The Array Options dialog of the C source export: the layout, or nullopt when
    // cancelled.
    virtual std::optional<CArrayOptions> ChooseCArrayOptions(const CArrayOptions& initial) = 0;

    // The SVG import's size dialog: 0 for the document's own size, else the side
    // of the square picture to render; nullopt when cancelled.
    virtual std::optional<int> ChooseSvgSize(const SvgSizeRequest& request) = 0;
};

// The door of a run nobody watches (the command-line tool, fuzzers, scripted
// tests): every message is dropped and takes its default answer (the first
// button), the animated cursor sequence is ignored, file and save dialogs are
// cancelled, option dialogs close with OK on the values they open with, the
// PSD import and the SVG size take their initial choice, SHIFT is up and
// nothing is cancelled.
class NonInteractive : public Interaction {
public:
    Answer ShowMessage(const MessageRequest& message) override;
    bool AskIgnoreAniSequence(const MessageRequest& question) override;
    std::vector<std::string> ChooseFiles(const FileDialogRequest& request) override;
    bool IsShiftDown() override { return false; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;
    std::optional<SaveDialogChoice> ChooseSaveTarget(const SaveDialogRequest& request) override;
    std::optional<std::string> ChooseSeriesItemPath(const SeriesItemRequest& request) override;
    bool EditPngOptions(PngSaveOptions& options) override;
    bool EditAniOptions(AniSaveOptions& options) override;
    void BeginBusy(const BusyRequest& request) override;
    void SetBusyProgress(int position) override;
    bool PollBusyCancelled() override { return false; }
    void EndBusy() override {}
    std::optional<PsdImportChoice> ChoosePsdImport(const PsdImportRequest& request) override;
    std::optional<CArrayOptions> ChooseCArrayOptions(const CArrayOptions& initial) override;
    std::optional<int> ChooseSvgSize(const SvgSizeRequest& request) override;
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
