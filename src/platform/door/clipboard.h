// The system clipboard as the edit commands see it: named formats, each holding
// one block of bytes. The editor passes its Qt implementation (which also offers
// the image types other programs exchange), tests and the command-line tool the
// in-memory one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/block.h"

// The private format: every item the edit commands copy, with its mask and timing.
inline constexpr std::string_view kItemClipboardFormat = "Korvath_Iconmill_2.0.0_CF";
// A packed DIB (header, colour table, pixel rows), the standard bitmap exchange.
inline constexpr std::string_view kDibClipboardFormat = "CF_DIB";

// One format offered by SetData; the bytes are borrowed for the call.
struct ClipboardFormatData {
    std::string_view format;
    std::span<const std::uint8_t> bytes;
};

// The bytes of one format read from the clipboard, in a block of their own.
struct ClipboardBlock {
    Block data;
    std::size_t size = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Whether the clipboard holds data of the format (without reading it).
    virtual bool IsFormatAvailable(std::string_view format) = 0;
    // Empties the clipboard and offers the given formats, which the clipboard
    // copies. False when the clipboard cannot be opened or set; it then holds
    // none of the formats (it is empty or as it was).
    virtual bool SetData(std::span<const ClipboardFormatData> formats) = 0;
    // Copies the data of a format into a new block. False when the clipboard
    // cannot be opened or read, or holds no data of the format, or no block can
    // be made for the copy.
    virtual bool GetData(std::string_view format, ClipboardBlock* out) = 0;
};
