// The ANSI code page of text stored in files (animated cursor names and
// artists, PSD layer names): Windows-1252, what files in the wild use. The
// program's own strings are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Converts Windows-1252 text to UTF-8. nullopt when the text holds a byte that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
std::optional<std::string> Windows1252ToUtf8(std::string_view text);

// Appends one Unicode character to UTF-8 text.
void AppendUtf8(std::string& out, char32_t c);

// Converts UTF-8 text to Windows-1252. A character Windows-1252 cannot hold, and
// every byte that is not part of a valid UTF-8 sequence, becomes '?'.
std::string Utf8ToWindows1252(std::string_view text);
