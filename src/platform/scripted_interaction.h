// An Interaction for tests: it records every message and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/interaction.h"

class ScriptedInteraction : public Interaction {
  public:
    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    // Answers given to the next questions (boxes with more than an OK button), in
    // order; when the script runs out a box gets its default answer (its first button).
    std::deque<Answer> answers;
    // Results of the next file dialogs, in order; an empty entry cancels. When
    // the script runs out a dialog is cancelled.
    std::deque<std::vector<std::string>> fileChoices;

    std::vector<Message> messages;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<BusyRequest> busyRequests;
    int busyDepth = 0;
    // Polls after which PollBusyCancelled reports a cancel; -1 never.
    int cancelAfterPolls = -1;

    Answer ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
    std::vector<std::string> ChooseFiles(const FileDialogRequest& request) override;
    void BeginBusy(const BusyRequest& request) override;
    bool PollBusyCancelled() override;
    void EndBusy() override;
};
