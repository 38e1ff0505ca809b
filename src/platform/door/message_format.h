// Message texts with numbered inserts, in the system message formatter's syntax.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

// One insert: a text or a number.
class MessageArg {
public:
    MessageArg(const char* text) : value_(std::string(text ? text : "")) {}
    MessageArg(std::string_view text) : value_(std::string(text)) {}
    MessageArg(const std::string& text) : value_(text) {}
    MessageArg(int number) : value_(std::int64_t{number}) {}
    MessageArg(unsigned number) : value_(std::int64_t{number}) {}
    MessageArg(long number) : value_(static_cast<std::int64_t>(number)) {}
    MessageArg(unsigned long number) : value_(static_cast<std::int64_t>(number)) {}
    MessageArg(long long number) : value_(static_cast<std::int64_t>(number)) {}
    MessageArg(unsigned long long number) : value_(static_cast<std::int64_t>(number)) {}

    const std::variant<std::string, std::int64_t>& Value() const { return value_; }

private:
    std::variant<std::string, std::int64_t> value_;
};

// Replaces %1 to %99 by the arguments. "%1" and "%1!s!" insert the argument as
// text (a number in decimal); "%1!d!", "%1!i!" and "%1!u!" insert it as a decimal
// number, "%1!x!" and "%1!X!" as hexadecimal (a text argument that is not a number
// counts as 0). "%%" is a percent sign, "%n" a line break, "%0" ends the message.
// An insert without an argument, or with a format not listed, is left as written.
std::string FormatMessageText(std::string_view pattern, std::initializer_list<MessageArg> args);
