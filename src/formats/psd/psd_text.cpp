#include "formats/psd/psd_text.h"

namespace {

// Unicode values of the bytes 0x80-0x9F in Windows-1252.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Windows1252ToUtf8(std::span<const std::uint8_t> text) {
    std::string out;
    out.reserve(text.size());
    for (std::uint8_t byte : text)
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte});
    return out;
}

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
