#include "app/dialog_entry.h"

#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

std::optional<std::int64_t> ReadDialogNumber(std::string_view text, bool allowSign) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (allowSign && i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    const std::int64_t limit = allowSign ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > limit) return std::nullopt;
    }
    return negative ? -value : value;
}

MessageRequest ValueRangeMessage(std::int64_t low, std::int64_t high) {
    return {kStrValueRange,
            FormatMessageText(LoadStringText(kStrValueRange), {static_cast<long long>(low),
                                                                static_cast<long long>(high)}),
            MessageIcon::Exclamation, MessageButtons::Ok};
}
