#include "cli/batch_interaction.h"

#include <ostream>
#include <string_view>

#include "platform/door/string_table.h"

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
    if (request.chosenFilter && filterToChoose > 0) *request.chosenFilter = filterToChoose;
    return pathsToChoose;
}

std::optional<PsdImportChoice> BatchInteraction::ChoosePsdImport(const PsdImportRequest& request) {
    PsdImportChoice choice;
    choice.mode = psd.mode;
    choice.keepBackground = psd.keepBackground;
    choice.maintainCoordinates = psd.position == BatchPsdOptions::Position::Canvas;
    choice.topLeftAsPosition = psd.position == BatchPsdOptions::Position::TopLeft;
    if (!psd.layers) {
        for (std::size_t i = 0; i < request.layers.size(); ++i)
            choice.layers.push_back(static_cast<int>(i));
        return choice;
    }
    for (int position : *psd.layers) {
        if (position < 1 || static_cast<std::size_t>(position) > request.layers.size()) {
            err_ << "iconmill-cli: --psd-layers: no layer " << position << " (the document lists "
                 << request.layers.size() << " layers with pixels)\n";
            failed = true;
            return std::nullopt;
        }
        choice.layers.push_back(position - 1);
    }
    return choice;
}

std::optional<CArrayOptions> BatchInteraction::ChooseCArrayOptions(const CArrayOptions& initial) {
    return arrayOptions.value_or(initial);
}
