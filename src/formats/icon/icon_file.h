// Windows icon (.ico) and cursor (.cur) files: a 6-byte header, a directory of
// 16-byte entries and one image block per entry, each block either a DIB (header,
// colour table, XOR rows, 1-bit AND mask; the header's height counts both) or a
// complete PNG stream. The entry decoder and the DIB block builder are shared
// with animated cursors, whose frames are complete cursor files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "platform/block.h"
#include "formats/icon/icon_result.h"

class CCompilation;
class CItemList;

// One image handed to a writer, or taken from an item list by the save flow:
// borrowed blocks that the writer neither frees nor changes.
struct tagICON_IMAGE_INFO {
    std::int32_t frameIndex = 0;   // the animated cursor frame it came from; 0 otherwise
    DibHeader* header = nullptr;   // header and colour table
    std::uint8_t* bits = nullptr;  // pixel rows
    std::uint8_t* mask = nullptr;  // 1-bit AND mask with the image's geometry, or null
    std::int16_t hotspotX = 0;
    std::int16_t hotspotY = 0;
};

// One image a reader decoded, owning its fresh blocks. A sink takes them over by
// moving them out; whatever it leaves is freed with the record.
struct IconImage {
    std::int32_t frameIndex = 0;  // the animated cursor frame it came from; 0 otherwise
    HeaderBlock header;           // header and colour table
    Block bits;                   // pixel rows
    Block mask;                   // 1-bit AND mask with the image's geometry, or null
    std::int16_t hotspotX = 0;
    std::int16_t hotspotY = 0;
};

// The 6-byte file header and the 16-byte directory entry, as stored.
constexpr std::size_t kIconHeaderSize = 6;
constexpr std::size_t kIconEntrySize = 16;
constexpr std::uint16_t kIconTypeIcon = 1;
constexpr std::uint16_t kIconTypeCursor = 2;

struct IconDirEntry {
    std::uint8_t width = 0;   // ignored when read
    std::uint8_t height = 0;  // 0 stands for 256; tells whether a DIB carries a mask
    std::uint8_t colorCount = 0;
    std::uint8_t reserved = 0;
    std::uint16_t planesOrHotspotX = 0;  // read as the hot spot for icons too
    std::uint16_t bitCountOrHotspotY = 0;
    std::uint32_t bytesInRes = 0;
    std::uint32_t imageOffset = 0;
};

// Decodes a stored 16-byte entry (the span must hold at least 16 bytes).
IconDirEntry ParseIconDirEntry(std::span<const std::uint8_t, kIconEntrySize> bytes);
// Stores an entry in 16 bytes.
void StoreIconDirEntry(const IconDirEntry& entry, std::span<std::uint8_t, kIconEntrySize> out);

// Called once per decoded image; true to go on, false to stop the reader. The
// sink may move the record's blocks out, whatever it answers.
using IconImageSink = std::function<bool(IconImage& image)>;

// Parses the bytes of an icon or cursor file (both alike) and hands every entry,
// in directory order, to the sink with frame index 0; no I/O. IconBadFormat for
// a bad header, an empty entry, an entry outside the file or an image its entry
// cannot hold, IconOutOfMemory, IconStopped when the sink stops. Images handed
// to the sink before a failure stay with it.
IconResult ParseIcon(std::span<const std::uint8_t> file, const IconImageSink& sink);

// Loads the file at `path` and parses it as ParseIcon does. IconInvalidArg for a
// null path, IconSystemError when the file cannot be opened or read (errno left
// set), IconBadFormat for a file over kMaxImageFileBytes, which could only hold
// an image over the image limit. errno is kept on every other result.
IconResult ReadIconFile(const char* path, const IconImageSink& sink);

// Loads a file of the icon family (ICO, CUR, ANI) and hands its bytes to
// `parse`: IconInvalidArg for a null path, IconSystemError (errno kept from the
// failing call) when it cannot be read, IconBadFormat for a file larger than any
// image it could hold, IconOutOfMemory when no block can be made; otherwise what
// `parse` returns. errno is kept on every other result.
using IconFileParser = std::function<IconResult(std::span<const std::uint8_t>)>;
IconResult ReadIconFamilyFile(const char* path, const IconFileParser& parse);

// The open pipeline's sink: appends the image as a new item of `list` at (0, 0)
// with a delay of 600 ms, blend 0, dispose 0 and the record's hot spot. A record
// without header or bits adds nothing (its blocks are freed). Takes the record's
// blocks; always true.
bool AddIconImage(CItemList& list, IconImage& image);

// Decodes one image block (the entry's dwBytesInRes bytes) into new blocks in
// *out (header, bits, mask for a DIB with a mask; no mask for a PNG entry) and
// the hot spot from the entry's words at offsets 4 and 6; the frame index is left
// alone. A DIB carries a mask when |biHeight| is twice the entry's height (0
// counting as 256). IconBadFormat for any fault of the data (a depth other than
// 1, 4, 8, 16, 24 or 32, a compressed DIB, data too short for the image, a PNG
// entry without a default image); IconOutOfMemory when a block cannot be made.
// On failure *out's blocks are untouched.
IconResult DecodeIconImage(const IconDirEntry& entry, std::span<const std::uint8_t> data,
                           IconImage* out);

// Writes an icon (kind 1) or cursor (any other kind) file of `count` images
// (1 to 65535) in the given order. Images of 255 x 255 pixels or less are stored
// as DIB blocks; larger ones as PNG. The new file replaces the old one only when
// every byte is written: on failure the old file stays as it was. IconInvalidArg
// for null arguments or a bad count, the code of an image that cannot be built
// (IconEncodeFailed for a PNG encoder failure), IconSystemError when the file
// cannot be written (errno left set).
IconResult WriteIconFile(const char* path, int kind, const tagICON_IMAGE_INFO* records,
                         std::size_t count);

// Builds the DIB image block of one image: the header (biHeight doubled,
// always positive: rows bottom-up), the colour table, the XOR rows with every
// masked pixel cleared, and the AND mask (all zeros without a mask).
// IconInvalidArg for null pointers or an image that is not a valid item image,
// IconBadFormat for a width or height of 0, IconOutOfMemory.
IconResult BuildIconImageData(const tagICON_IMAGE_INFO* image, Block* out, std::size_t* outSize);

// The size BuildIconImageData gives an image: biSize + colour table + |height| x
// (row stride + mask stride); nullopt when the header is not a valid item image.
std::optional<std::size_t> IconImageDataSize(const DibHeader* header);
