#include "formats/export/data_export.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>

#include "platform/file_io.h"
#include "platform/last_error.h"

const char* const kExportMakerName = "Korvath";
const char* const kExportProductName = "Iconmill";
const char* const kExportVersion = "2.0.0";
const char* const kExportMakerContact = "iconmill@korvath.example";

namespace {

constexpr const char* kDeclaredTypes[4] = {"unsigned __int8", "unsigned __int16",
                                           "unsigned __int32", "unsigned __int64"};
constexpr const char* kHyphenLine = "// ----------------------------------------\r\n";
constexpr std::size_t kRawPiece = 4096;
constexpr std::size_t kFlushSize = 64 * 1024;

// Text collected and handed to the file in large pieces; the file is replaced
// only on Commit, so how the pieces are cut is invisible.
class TextOut {
public:
    explicit TextOut(SafeFileWriter& file) : file_(file) {}
    bool Add(const std::string& text) {
        buffer_ += text;
        return buffer_.size() < kFlushSize || Flush();
    }
    bool Flush() {
        bool ok = file_.Write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

private:
    SafeFileWriter& file_;
    std::string buffer_;
};

std::string Printf(const char* format, auto... args) {
    char text[160];
    int n = std::snprintf(text, sizeof text, format, args...);
    return std::string(text, n > 0 ? std::min<std::size_t>(std::size_t(n), sizeof text - 1) : 0);
}

// Whether the export goes on before byte `done`.
bool GoesOn(const ExportProgress& progress, std::size_t done, std::size_t total) {
    return !progress || progress(done, total);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A whole number of digits (after trimming) within [min, max].
std::optional<std::uint32_t> ParseCount(const std::string& text, std::uint32_t min,
                                        std::uint32_t max) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    if (begin == end) return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + std::uint64_t(text[i] - '0');
        if (value > max) return std::nullopt;
    }
    if (value < min) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// The first `count` characters of UTF-8 text.
std::string CutCharacters(const std::string& text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < text.size() && n < count; ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return text.substr(0, i);
}

}  // namespace

const char* CArrayElementTypeText(int type) {
    switch (type) {
        case CArrayUInt8:
            return "unsigned 8-bit";
        case CArrayUInt16:
            return "unsigned 16-bit";
        case CArrayUInt32:
            return "unsigned 32-bit";
        case CArrayUInt64:
            return "unsigned 64-bit";
        default:
            return nullptr;
    }
}

CArrayOptionsInput CArrayOptionsInputFrom(const CArrayOptions& options) {
    CArrayOptionsInput input;
    input.variableName = options.variableName;
    input.elementType = options.elementType;
    input.splitCount = std::to_string(options.splitCount);
    input.elementsPerLine = std::to_string(options.elementsPerLine);
    input.reverseBytes = options.reverseBytes;
    return input;
}

std::optional<CArrayOptionsField> ValidateCArrayOptions(const CArrayOptionsInput& input,
                                                        CArrayOptions* out) {
    std::size_t begin = 0, end = input.variableName.size();
    while (begin < end && IsBlank(input.variableName[begin])) ++begin;
    while (end > begin && IsBlank(input.variableName[end - 1])) --end;
    if (begin == end) return CArrayOptionsField::VariableName;
    std::optional<std::uint32_t> split = ParseCount(input.splitCount, 1, kMaxCArraySplitCount);
    if (!split) return CArrayOptionsField::SplitCount;
    std::optional<std::uint32_t> perLine =
        ParseCount(input.elementsPerLine, 1, kMaxCArrayElementsPerLine);
    if (!perLine) return CArrayOptionsField::ElementsPerLine;
    if (out) {
        out->variableName =
            CutCharacters(input.variableName.substr(begin, end - begin), kMaxCArrayNameLength);
        out->elementType =
            CArrayElementTypeText(input.elementType) ? input.elementType : CArrayUInt32;
        out->splitCount = *split;
        out->elementsPerLine = static_cast<int>(*perLine);
        out->reverseBytes = input.reverseBytes && out->elementType != CArrayUInt8;
    }
    return std::nullopt;
}

ExportResult WriteArraySource(const char* path, const std::uint8_t* block, std::size_t length,
                              const CArrayOptions& options, const ExportProgress& progress) {
    LastErrorScope lastError;
    const int type =
        CArrayElementTypeText(options.elementType) ? options.elementType : CArrayUInt32;
    const std::size_t elementSize = std::size_t{1} << type;
    const std::uint64_t split = std::max<std::uint32_t>(options.splitCount, 1);
    const int perLine = std::clamp(options.elementsPerLine, 1, kMaxCArrayElementsPerLine);
    const bool reverse = options.reverseBytes && type != CArrayUInt8;

    SafeFileWriter file(path ? path : "");
    auto fail = [&] {
        lastError.KeepSystemError();
        return ExportSystemError;
    };
    if (!path) errno = EINVAL;
    if (!path || !file.Open()) return fail();
    TextOut out(file);
    if (!out.Add(std::string(kHyphenLine) +
                 Printf("// Generated by: %s %s %s\r\n", kExportMakerName, kExportProductName,
                        kExportVersion) +
                 Printf("// @: %s\r\n", kExportMakerContact) + kHyphenLine))
        return fail();

    std::uint64_t chunk = 0;
    std::uint64_t chunkElements = 0;  // elements of the current chunk
    std::uint64_t elementIndex = 0;   // within the chunk
    std::size_t byteInElement = 0;
    std::uint64_t element = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (!GoesOn(progress, i, length)) return ExportCancelled;
        if (elementIndex == 0 && byteInElement == 0) {
            const std::uint64_t remaining = length - i;
            chunkElements =
                std::min<std::uint64_t>((remaining + elementSize - 1) / elementSize, split);
            const auto count = static_cast<unsigned long long>(chunkElements);
            if (!out.Add(Printf("\r\n// Data Chunk Array (#%llu)\r\n",
                                static_cast<unsigned long long>(chunk)) +
                         Printf("// Size: %llu byte(s)\r\n", count * elementSize) +
                         Printf("// Orig. Offset: 0x%08llX (%llu)\r\n",
                                static_cast<unsigned long long>(i),
                                static_cast<unsigned long long>(i)) +
                         Printf("%s %s_%llu[%llu] = {", kDeclaredTypes[type],
                                options.variableName.c_str(),
                                static_cast<unsigned long long>(chunk), count)))
                return fail();
        }
        if (reverse)
            element = (element << 8) | block[i];
        else
            element |= std::uint64_t{block[i]} << (8 * byteInElement);
        ++byteInElement;
        if (i + 1 == length && reverse) element <<= 8 * (elementSize - byteInElement);
        if (byteInElement < elementSize && i + 1 < length) continue;

        std::string text;
        if (elementIndex > 0) text += ", ";
        if (elementIndex % std::uint64_t(perLine) == 0) text += "\r\n                ";
        text += Printf("0x%0*llX", int(elementSize * 2), static_cast<unsigned long long>(element));
        ++elementIndex;
        if (elementIndex == chunkElements) {
            text += "};\r\n";
            elementIndex = 0;
            ++chunk;
        }
        if (!out.Add(text)) return fail();
        element = 0;
        byteInElement = 0;
    }
    if (!out.Flush() || !file.Commit()) return fail();
    return ExportOk;
}

ExportResult WriteRawData(const char* path, const std::uint8_t* block, std::size_t length,
                          const ExportProgress& progress) {
    LastErrorScope lastError;
    SafeFileWriter file(path ? path : "");
    auto fail = [&] {
        lastError.KeepSystemError();
        return ExportSystemError;
    };
    if (!path) errno = EINVAL;
    if (!path || !file.Open()) return fail();
    for (std::size_t start = 0; start < length; start += kRawPiece) {
        const std::size_t piece = std::min(kRawPiece, length - start);
        for (std::size_t i = start; i < start + piece; ++i)
            if (!GoesOn(progress, i, length)) return ExportCancelled;
        if (!file.Write(block + start, piece)) return fail();
    }
    if (!file.Commit()) return fail();
    return ExportOk;
}
