#include "cli/batch_interaction.h"

#include <ostream>
#include <string_view>

#include "platform/string_table.h"

namespace {

// True for the animated cursor sequence question: its text after the path.
bool IsSequenceQuestion(std::string_view text, MessageIcon icon, MessageButtons buttons) {
    if (icon != MessageIcon::Question || buttons != MessageButtons::YesNo) return false;
    std::string_view pattern = LoadStringText(kStrAniSequenceQuestion);
    std::size_t insert = pattern.find("%1");
    if (insert == std::string_view::npos) return false;
    std::string_view tail = pattern.substr(insert + 2);
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

Answer BatchInteraction::ShowMessage(std::string_view text, MessageIcon icon,
                                     MessageButtons buttons) {
    if (icon == MessageIcon::Exclamation || icon == MessageIcon::Error) failed = true;
    err_ << text << '\n';
    // Yes adds each image once; No follows the sequence.
    if (IsSequenceQuestion(text, icon, buttons))
        return followAniSequence ? Answer::No : Answer::Yes;
    return DefaultAnswer(buttons);
}

std::vector<std::string> BatchInteraction::ChooseFiles(const FileDialogRequest& request) {
    (void)request;
    return pathsToChoose;
}
