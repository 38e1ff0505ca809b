#include "platform/door/message_format.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

std::int64_t AsNumber(const MessageArg& arg) {
    if (const auto* number = std::get_if<std::int64_t>(&arg.Value())) return *number;
    return std::strtoll(std::get<std::string>(arg.Value()).c_str(), nullptr, 10);
}

std::string AsText(const MessageArg& arg) {
    if (const auto* text = std::get_if<std::string>(&arg.Value())) return *text;
    return std::to_string(std::get<std::int64_t>(arg.Value()));
}

// Formats an argument by its printf-style type letter; nullopt for letters we do not know.
std::optional<std::string> FormatInsert(const MessageArg& arg, std::string_view type) {
    if (type == "s") return AsText(arg);
    char buffer[32];
    if (type == "d" || type == "i") {
        std::snprintf(buffer, sizeof buffer, "%" PRId64, AsNumber(arg));
    } else if (type == "u") {
        std::snprintf(buffer, sizeof buffer, "%" PRIu32, static_cast<std::uint32_t>(AsNumber(arg)));
    } else if (type == "x") {
        std::snprintf(buffer, sizeof buffer, "%" PRIx32, static_cast<std::uint32_t>(AsNumber(arg)));
    } else if (type == "X") {
        std::snprintf(buffer, sizeof buffer, "%" PRIX32, static_cast<std::uint32_t>(AsNumber(arg)));
    } else {
        return std::nullopt;
    }
    return std::string(buffer);
}

}  // namespace

std::string FormatMessageText(std::string_view pattern, std::initializer_list<MessageArg> args) {
    const std::vector<MessageArg> values(args);
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            out += c;
            ++i;
            continue;
        }
        char next = pattern[i + 1];
        if (next == '%') {
            out += '%';
            i += 2;
            continue;
        }
        if (next == 'n') {
            out += '\n';
            i += 2;
            continue;
        }
        if (next == '0') break;
        if (!std::isdigit(static_cast<unsigned char>(next))) {
            out += c;
            ++i;
            continue;
        }
        // %N or %NN, then an optional !type!.
        std::size_t end = i + 1;
        int number = 0;
        while (end < pattern.size() && end < i + 3 &&
               std::isdigit(static_cast<unsigned char>(pattern[end]))) {
            number = number * 10 + (pattern[end] - '0');
            ++end;
        }
        std::string_view type = "s";
        std::size_t after = end;
        if (end < pattern.size() && pattern[end] == '!') {
            std::size_t close = pattern.find('!', end + 1);
            if (close != std::string_view::npos) {
                type = pattern.substr(end + 1, close - end - 1);
                after = close + 1;
            }
        }
        std::optional<std::string> insert;
        if (number >= 1 && static_cast<std::size_t>(number) <= values.size())
            insert = FormatInsert(values[number - 1], type);
        if (insert) {
            out += *insert;
        } else {
            out.append(pattern.substr(i, after - i));
        }
        i = after;
    }
    return out;
}
