// What the command dialogs share when they check their numeric edits on OK:
// reading an edit's text, the range message and the field that then gets the
// focus with its whole text selected.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/door/interaction.h"

// An edit's text as a decimal number the way the dialogs read it: leading blanks,
// then (when `allowSign`) an optional '-', then digits to the end. Nullopt for
// anything else or a value beyond 32 bits (unsigned: 0 to 4294967295; signed:
// -2147483648 to 2147483647).
std::optional<std::int64_t> ReadDialogNumber(std::string_view text, bool allowSign);

// "Please enter a value between `low` and `high`." with the exclamation icon.
MessageRequest ValueRangeMessage(std::int64_t low, std::int64_t high);

// A rejected OK: the message to show, then the edit to focus with its text selected.
template <class Field>
struct FieldRejection {
    Field field;
    MessageRequest message;
};
