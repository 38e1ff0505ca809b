#include "support/scripted_interaction.h"

Answer ScriptedInteraction::ShowMessage(const MessageRequest& message) {
    messages.push_back(Message{message.text, message.icon, message.buttons, message.caption,
                               message.id});
    // A box with only an OK button asks nothing and takes no scripted answer.
    if (message.buttons == MessageButtons::Ok || answers.empty())
        return DefaultAnswer(message.buttons);
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedInteraction::AskIgnoreAniSequence(const MessageRequest& question) {
    return ShowMessage(question) == Answer::Yes;
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

namespace {

// The next scripted result, or `fallback` when the script has run out.
template <class T>
T Next(std::deque<T>& script, T fallback) {
    if (script.empty()) return fallback;
    T value = std::move(script.front());
    script.pop_front();
    return value;
}

}  // namespace

std::optional<SaveDialogChoice> ScriptedInteraction::ChooseSaveTarget(
    const SaveDialogRequest& request) {
    saveRequests.push_back(request);
    return Next<std::optional<SaveDialogChoice>>(saveChoices, std::nullopt);
}

std::optional<std::string> ScriptedInteraction::ChooseSeriesItemPath(
    const SeriesItemRequest& request) {
    seriesItemRequests.push_back(request);
    return Next<std::optional<std::string>>(seriesItemPaths, std::nullopt);
}

bool ScriptedInteraction::EditPngOptions(PngSaveOptions& options) {
    pngOptionsShown.push_back(options);
    const std::optional<PngSaveOptions> result =
        Next<std::optional<PngSaveOptions>>(pngOptions, options);
    if (!result) return false;
    options = *result;
    return true;
}

bool ScriptedInteraction::EditAniOptions(AniSaveOptions& options) {
    aniOptionsShown.push_back(options);
    const std::optional<AniSaveOptions> result =
        Next<std::optional<AniSaveOptions>>(aniOptions, options);
    if (!result) return false;
    options = *result;
    return true;
}
