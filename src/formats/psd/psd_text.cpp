#include "formats/psd/psd_text.h"

#include "platform/codepage.h"

std::string Utf16BigEndianToUtf8(std::span<const std::uint8_t> text) {
    std::u32string characters;
    const std::size_t units = text.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t unit = (char32_t{text[2 * i]} << 8) | text[2 * i + 1];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
            char32_t low = (char32_t{text[2 * i + 2]} << 8) | text[2 * i + 3];
            if (low >= 0xDC00 && low < 0xE000) {
                characters += 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
                continue;
            }
        }
        characters += unit >= 0xD800 && unit < 0xE000 ? char32_t{0xFFFD} : unit;
    }
    while (!characters.empty() && characters.back() == 0) characters.pop_back();
    std::string out;
    for (char32_t c : characters) AppendUtf8(out, c);
    return out;
}
