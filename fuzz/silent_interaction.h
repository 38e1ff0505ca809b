// An interaction for the fuzz targets: every question gets its default answer
// and nothing is shown.
#pragma once

#include "platform/door/interaction.h"

class SilentInteraction : public Interaction {
public:
    Answer ShowMessage(std::string_view, MessageIcon, MessageButtons buttons) override {
        return DefaultAnswer(buttons);
    }
    std::vector<std::string> ChooseFiles(const FileDialogRequest&) override { return {}; }
};
