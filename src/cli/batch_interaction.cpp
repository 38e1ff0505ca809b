#include "cli/batch_interaction.h"

#include <ostream>

Answer BatchInteraction::ShowMessage(std::string_view text, MessageIcon icon,
                                     MessageButtons buttons) {
    if (icon == MessageIcon::Exclamation || icon == MessageIcon::Error) failed = true;
    err_ << text << '\n';
    return DefaultAnswer(buttons);
}

std::vector<std::string> BatchInteraction::ChooseFiles(const FileDialogRequest& request) {
    (void)request;
    return pathsToChoose;
}
