// The PNG path of the open pipeline: reading a PNG or animated PNG file into a
// context, and turning the context into items of the compilation.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "formats/png/png_decoder.h"
#include "formats/png/png_result.h"

class CItemList;
class CCompilation;

// What ParsePng collects: the play count (0 when the file has no acTL), the
// decoded images in delivery order, the fcTL records in file order and the
// file's header. The context owns the images' blocks until ImportPngContent
// hands them to the list; whatever is left is freed with the context.
struct PngReadContext {
    std::uint32_t numPlays = 0;
    std::vector<PngImage> images;
    std::vector<tagPNG_FRAME_CONTROL_INFO> frameControls;
    PngHeaderInfo header{};

    PngReadContext() = default;
    PngReadContext(const PngReadContext&) = delete;
    PngReadContext& operator=(const PngReadContext&) = delete;
    // Frees the images and forgets every record.
    void Clear();
};

// Decodes the bytes of a PNG or animated PNG file into `context` (which should
// be empty); no I/O. PngInvalidArg for a null context; PngNotPng for no bytes;
// PngOutOfMemory; otherwise DecodePng's codes. On failure the context holds no
// images, whatever was decoded before.
PngResult ParsePng(std::span<const std::uint8_t> file, PngReadContext* context);

// Loads the file at `path` and decodes it as ParsePng does. PngInvalidArg for a
// null path or context; PngSystemError when the file cannot be opened, sized or
// read (errno kept); PngOutOfMemory for a file over kMaxImageFileBytes. errno is
// restored on every result but PngSystemError.
PngResult ReadPngFile(const char* path, PngReadContext* context);

// The delay of an fcTL record in milliseconds: numerator / denominator x 1000 in
// single precision, truncated; a denominator of 0 counts as 100.
std::uint32_t PngFrameDelay(std::uint16_t numerator, std::uint16_t denominator);

// What ImportPngContent did: whether items were added, and whether it stopped
// because the list could not grow (memory ran out; the images before stay).
struct PngImportOutcome {
    bool added = false;
    bool outOfMemory = false;
};

// Appends the context's images to the list, in order, each with the frame
// values of its fcTL record (the default image takes the first record only when
// there are as many records as images; frame n takes the record numbered n - 1).
// Sets the compilation's play count and first-frame-excluded flag (one image
// more than fcTL records), and for an animated PNG compilation its save options
// (interlaced as the file, filter Best, compression Default). The images move
// out of the context. Marking the compilation modified is the caller's part.
PngImportOutcome ImportPngContent(CItemList& list, CCompilation& compilation,
                                  PngReadContext& context);
