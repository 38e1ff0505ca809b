#include "cli/batch_interaction.h"

#include <ostream>

Answer BatchInteraction::ShowMessage(const MessageRequest& message) {
    if (message.icon == MessageIcon::Exclamation || message.icon == MessageIcon::Error)
        warned = true;
    err_ << message.text << '\n';
    return DefaultAnswer(message.buttons);
}

bool BatchInteraction::AskIgnoreAniSequence(const MessageRequest& question) {
    err_ << question.text << '\n';
    return !followAniSequence;
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
            return std::nullopt;
        }
        choice.layers.push_back(position - 1);
    }
    return choice;
}
