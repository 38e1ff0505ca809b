// Writing a block of bytes (a packed DIB or an image's pixel rows) as a raw file
// or as C source text with the bytes laid out as initialised arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "formats/export/export_result.h"
#include "platform/door/c_array_options.h"

// The maker and product named in the banner of a C source file.
extern const char* const kExportMakerName;
extern const char* const kExportProductName;
extern const char* const kExportVersion;
extern const char* const kExportMakerContact;

// The element types' names in the Array Options dialog, or null for another value.
const char* CArrayElementTypeText(int type);

// What the Array Options dialog's fields hold when OK is pressed.
struct CArrayOptionsInput {
    std::string variableName;
    int elementType = CArrayUInt32;  // -1: nothing selected
    std::string splitCount;
    std::string elementsPerLine;
    bool reverseBytes = false;
};

// The dialog's fields as they start for the given options.
CArrayOptionsInput CArrayOptionsInputFrom(const CArrayOptions& options);

// The field whose value the OK check refuses; it gets the focus, its text selected.
// Each field has one message (the application layer's CArrayOptionsFailureText).
enum class CArrayOptionsField { VariableName, SplitCount, ElementsPerLine };

// The OK check of the Array Options dialog: the trimmed name must not be empty,
// the split count must be a whole number from 1 to 2147483647 and the elements
// per line one from 1 to 256, checked in that order; the first failing field is
// returned. On success the options are stored in *out (the name trimmed and cut
// to 64 characters, type 2 when nothing is selected, reverse order off for 8-bit
// elements) and nullopt is returned.
std::optional<CArrayOptionsField> ValidateCArrayOptions(const CArrayOptionsInput& input,
                                                        CArrayOptions* out);

// Told before every byte is written how many of `total` bytes are done; returns
// false to cancel the export. An empty function never cancels.
using ExportProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Writes the block as C source text with CR LF line ends: a four-line banner,
// then for each chunk of at most splitCount elements a comment header and an
// array "TYPE NAME_N[COUNT] = { ... };". Elements are little-endian reads of
// consecutive bytes (big-endian with reverseBytes); the last element is padded
// with zero bytes. `progress` is asked before every byte (ExportCancelled when it
// says stop). The file replaces the one at the path only when it is complete; after a
// cancel or a failure the old file (or none) stays. errno is restored except
// after ExportSystemError.
ExportResult WriteArraySource(const char* path, const std::uint8_t* block, std::size_t length,
                              const CArrayOptions& options, const ExportProgress& progress = {});

// Writes the block byte for byte, in pieces of at most 4096 bytes, with the same
// progress, cancelling and safe replacement as WriteArraySource.
ExportResult WriteRawData(const char* path, const std::uint8_t* block, std::size_t length,
                          const ExportProgress& progress = {});
