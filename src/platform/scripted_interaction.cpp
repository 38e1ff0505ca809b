#include "platform/scripted_interaction.h"

Answer ScriptedInteraction::ShowMessage(std::string_view text, MessageIcon icon,
                                        MessageButtons buttons) {
    messages.push_back(Message{std::string(text), icon, buttons});
    // A box with only an OK button asks nothing and takes no scripted answer.
    if (buttons == MessageButtons::Ok || answers.empty()) return DefaultAnswer(buttons);
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::vector<std::string> ScriptedInteraction::ChooseFiles(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (fileChoices.empty()) return {};
    std::vector<std::string> choice = std::move(fileChoices.front());
    fileChoices.pop_front();
    return choice;
}

void ScriptedInteraction::BeginBusy(const BusyRequest& request) {
    busyRequests.push_back(request);
    ++busyDepth;
}

bool ScriptedInteraction::PollBusyCancelled() {
    if (cancelAfterPolls < 0) return false;
    if (cancelAfterPolls == 0) return true;
    --cancelAfterPolls;
    return false;
}

void ScriptedInteraction::EndBusy() {
    --busyDepth;
}
