#include "app/dialog_number.h"

#include "app/dialog_entry.h"
#include "platform/door/interaction.h"

std::optional<std::uint32_t> ReadDialogUnsigned(std::string_view text, std::uint32_t largest) {
    const std::optional<std::int64_t> value = ReadDialogNumber(text, false);
    if (!value || *value > std::int64_t{largest}) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

void ShowIntegerValueMessage(Interaction& ui) {
    ui.ShowMessage(PlainMessage(kStrIntegerValue, MessageIcon::Exclamation));
}
