// An Interaction for tests: it records every message and answers from a script.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "formats/ani/ani_save_options.h"
#include "formats/png/png_save_options.h"
#include "platform/door/interaction.h"

class ScriptedInteraction : public NonInteractive {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
        std::string caption = {};  // empty: the application's title
        int id = kStrNone;         // the string the text was made from
    };

    // Answers given to the next questions (boxes with more than an OK button), in
    // order; when the script runs out a box gets its default answer (its first button).
    std::deque<Answer> answers;
    // Results of the next file dialogs, in order; an empty entry cancels. When
    // the script runs out a dialog is cancelled.
    std::deque<std::vector<std::string>> fileChoices;

    // Results of the next save dialogs, in order; nullopt cancels. When the
    // script runs out a dialog is cancelled.
    std::deque<std::optional<SaveDialogChoice>> saveChoices;
    // Results of the next per-item dialogs of a series, likewise.
    std::deque<std::optional<std::string>> seriesItemPaths;
    // Answers of the next PNG and animated cursor option dialogs: a value the
    // dialog closes with, or nullopt to cancel. When the script runs out a dialog
    // is closed with OK unchanged.
    std::deque<std::optional<PngSaveOptions>> pngOptions;
    std::deque<std::optional<AniSaveOptions>> aniOptions;

    std::vector<Message> messages;
    std::vector<SaveDialogRequest> saveRequests;
    std::vector<SeriesItemRequest> seriesItemRequests;
    std::vector<PngSaveOptions> pngOptionsShown;  // the values each dialog opened on
    std::vector<AniSaveOptions> aniOptionsShown;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<BusyRequest> busyRequests;
    int busyDepth = 0;
    // Polls after which PollBusyCancelled reports a cancel; -1 never.
    int cancelAfterPolls = -1;

    Answer ShowMessage(const MessageRequest& message) override;
    // Recorded as a message; the next scripted answer (Yes when none) is the reply.
    bool AskIgnoreAniSequence(const MessageRequest& question) override;
    std::vector<std::string> ChooseFiles(const FileDialogRequest& request) override;
    std::optional<SaveDialogChoice> ChooseSaveTarget(const SaveDialogRequest& request) override;
    std::optional<std::string> ChooseSeriesItemPath(const SeriesItemRequest& request) override;
    bool EditPngOptions(PngSaveOptions& options) override;
    bool EditAniOptions(AniSaveOptions& options) override;
    void BeginBusy(const BusyRequest& request) override;
    bool PollBusyCancelled() override;
    void EndBusy() override;
};
