#include "platform/door/interaction.h"

MessageRequest PlainMessage(int id, MessageIcon icon, MessageButtons buttons) {
    return MessageRequest{id, LoadStringText(id), icon, buttons};
}

Answer NonInteractive::ShowMessage(const MessageRequest& message) {
    return DefaultAnswer(message.buttons);
}

bool NonInteractive::AskIgnoreAniSequence(const MessageRequest&) {
    return true;
}

std::vector<std::string> NonInteractive::ChooseFiles(const FileDialogRequest&) {
    return {};
}

std::optional<std::uint32_t> NonInteractive::ChooseColor(std::uint32_t) {
    return std::nullopt;
}

std::optional<SaveDialogChoice> NonInteractive::ChooseSaveTarget(const SaveDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> NonInteractive::ChooseSeriesItemPath(const SeriesItemRequest&) {
    return std::nullopt;
}

bool NonInteractive::EditPngOptions(PngSaveOptions&) {
    return true;
}

bool NonInteractive::EditAniOptions(AniSaveOptions&) {
    return true;
}

void NonInteractive::BeginBusy(const BusyRequest&) {}

void NonInteractive::SetBusyProgress(int) {}

std::optional<PsdImportChoice> NonInteractive::ChoosePsdImport(const PsdImportRequest& request) {
    return request.initial;
}

std::optional<CArrayOptions> NonInteractive::ChooseCArrayOptions(const CArrayOptions& initial) {
    return initial;
}

std::optional<int> NonInteractive::ChooseSvgSize(const SvgSizeRequest& request) {
    return request.initial;
}
