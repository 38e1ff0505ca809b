// Small text helpers used across the application.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "0 byte", "1 byte", "1,000 bytes", "9.7 KB", "1,023.9 KB", "1 MB", ...
std::string FormatByteSize(std::uint64_t count);
// "0x" and upper-case hexadecimal, 8 digits at least, more as the value needs.
std::string FormatHex64(std::uint64_t value);
// The file name without folder and extension ("a/b.c/d.ico" gives "d").
std::string PathTitle(std::string_view path);
// The folder with its trailing "/", or the whole path when it has no "/".
std::string PathFolder(std::string_view path);
