// Numbers typed into dialog edits, read as the dialogs' OK and SET buttons read
// them, and the message a rejected number gets.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

class Interaction;

// An unsigned decimal number: leading blanks, then digits to the end; nullopt
// for anything else (an empty text, a sign, a trailing character) or a value
// above `largest`.
std::optional<std::uint32_t> ReadDialogUnsigned(std::string_view text,
                                                std::uint32_t largest = 0xFFFFFFFFu);

// "Please enter an integer value." (OK, exclamation icon).
void ShowIntegerValueMessage(Interaction& ui);
