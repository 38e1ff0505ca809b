#include "app/dialog_number.h"

#include "platform/door/interaction.h"

std::optional<std::uint32_t> ReadDialogUnsigned(std::string_view text, std::uint32_t largest) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i == text.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > largest) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

void ShowIntegerValueMessage(Interaction& ui) {
    ui.ShowMessage(PlainMessage(kStrIntegerValue, MessageIcon::Exclamation));
}
