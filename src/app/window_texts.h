// Texts the main window shows that follow from the application's state.
#pragma once

#include <string>

class CCompilation;

// The window title: "Iconmill", or for a typed compilation with a path its file
// name in the pattern of its type: "[Icon: %s] - %s", "[Cursor: %s] - %s",
// "[Animated PNG: %s] - %s", "[Animated Cursor: %s] - %s".
std::string WindowTitle(const CCompilation& compilation);

// The status bar's item counter: "0 item", "1 item", "2 items".
std::string ItemCountText(int count);

// A picture's caption: "%dx%d, %u-bit" (width, stored height - negative for a
// top-down picture - and bit count).
std::string ItemCaption(int width, int height, unsigned bitCount);
