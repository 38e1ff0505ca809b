// The New Empty Bitmap command: the values of the "Bitmap Attributes" dialog,
// the check its OK button makes, and the blank picture appended to the list.
#pragma once

#include <cstdint>
#include <string_view>

class CIconmillApp;
class Interaction;

// The dialog's values, with the ones it starts with.
struct BitmapAttributes {
    std::int32_t width = 32;
    std::int32_t height = 32;
    std::uint16_t bitCount = 24;
};

// The "&Bit-depth:" list: "1-bit", "4-bit", "8-bit", "16-bit", "24-bit", "32-bit".
inline constexpr const char* kBitDepthListItems[] = {"1-bit",  "4-bit",  "8-bit",
                                                     "16-bit", "24-bit", "32-bit"};
// The list item selected for a bit count (any other value selects item 0).
int BitDepthListIndex(std::uint16_t bitCount);
// Edits hold at most this many characters.
constexpr int kBitmapAttributesEditLimit = 9;

// The edit the dialog focuses (with its whole text selected) after a rejection.
enum class BitmapAttributesField { None, Width, Height };

// The OK button: reads the width and height texts as unsigned decimal numbers
// (leading blanks allowed, nothing after the digits) and takes 1 to 2147483647.
// A rejected field shows "Please enter a value between 1 and 2147483647." (OK,
// exclamation icon) and is returned; the dialog stays open. The width is stored
// before the height is read, the bit count (from `bitDepthIndex`; -1, no
// selection, keeps the previous value) only when both passed. Returns None when
// the dialog may close with OK.
BitmapAttributesField AcceptBitmapAttributes(Interaction& ui, std::string_view widthText,
                                             std::string_view heightText, int bitDepthIndex,
                                             BitmapAttributes* values);

// Appends a white picture of the chosen size and depth at (0, 0) with a new
// frame (delay 600 ms) and no mask, and marks the compilation modified. A size
// whose pixel block overflows or exceeds the image size limit, or a block that
// cannot be made, shows "Not enough memory available to perform the operation."
// and adds nothing. True when the item was added.
bool AppendEmptyBitmap(CIconmillApp& app, const BitmapAttributes& attributes);
