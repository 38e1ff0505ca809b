#include "app/text_format.h"

#include <cinttypes>
#include <cstdio>

namespace {

// Decimal with "," between groups of three digits.
std::string GroupThousands(std::uint64_t value) {
    std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace

std::string FormatByteSize(std::uint64_t count) {
    if (count == 0) return "0 byte";
    if (count == 1) return "1 byte";
    if (count < 1024) return GroupThousands(count) + " bytes";
    static constexpr struct {
        int shift;
        const char* unit;
    } kUnits[] = {{40, " TB"}, {30, " GB"}, {20, " MB"}, {10, " KB"}};
    for (const auto& unit : kUnits) {
        std::uint64_t size = std::uint64_t{1} << unit.shift;
        if (count < size) continue;
        std::string text = GroupThousands(count / size);
        std::uint64_t rest = count % size;
        // rest < 2^40 and x10 stays far inside 64 bits.
        if (rest != 0) {
            text += '.';
            text += std::to_string(rest * 10 / size);
        }
        text += unit.unit;
        return text;
    }
    return {};
}

std::string FormatHex64(std::uint64_t value) {
    int digits = 8;
    for (std::uint64_t high = value >> 32; high != 0; high >>= 4) ++digits;
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%0*" PRIX64, digits, value);
    return buffer;
}

std::string PathTitle(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string PathFolder(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(0, slash + 1));
}
