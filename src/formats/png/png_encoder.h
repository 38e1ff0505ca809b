// The PNG and animated PNG encoder: one or more DIBs to a PNG stream in memory,
// and to a file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/block.h"
#include "formats/png/png_decoder.h"
#include "formats/png/png_result.h"

enum PngFilterOption : int {
    PngFilterOptionNone = 0,
    PngFilterOptionSub = 1,
    PngFilterOptionUp = 2,
    PngFilterOptionAverage = 3,
    PngFilterOptionPaeth = 4,
    PngFilterOptionBest = 5,  // chosen per row
};

enum PngCompressionOption : int {
    PngCompressionDefault = 0,  // zlib level -1
    PngCompressionNone = 1,     // level 0
    PngCompressionFast = 2,     // level 1 ("Best speed")
    PngCompressionBest = 3,     // level 9
};

// The options of the "PNG Options" dialog, with its defaults. A filter outside
// 0-5 acts as Paeth, a compression outside 0-3 as Default.
struct PngEncoderOptions {
    int grayscale = 0;
    int interlaced = 0;
    int filter = PngFilterOptionBest;
    int compression = PngCompressionDefault;
};

// Encodes `imageCount` images (only their header and bits are read) into a new
// buffer holding the whole stream. The first image decides colour type, bit
// depth and palette: 1, 4 and 8 bits give palette images (gray with the
// grayscale option), 16 and 24 bits RGB (gray), 32 bits RGBA (gray + alpha).
// Every other image must have the first one's bit count; each keeps its own
// width and height.
//
// The stream is an animation when there is more than one image or the first
// frame is not excluded. `frameControls` (may be null: all zeros) gives each
// frame's offsets, delay, dispose and blend op: record k belongs to image k, or
// to image k + 1 when the first frame is excluded.
//
// Grayscale output of 1- and 4-bit images maps each colour-table entry to the
// sample round(avg x (2^depth - 1) / 255), avg being the truncated average of
// its red, green and blue; 8-bit images use avg itself.
//
// PngInvalidArg for null outputs or images, a count of 0 or an image without
// blocks; PngBadFormat for an unsupported image (bit count, header size, a
// compressed header, interlacing at 1 or 4 bits, a size a PNG cannot hold, a
// bit count differing from the first image's); PngOutOfMemory; PngFailed when
// deflate fails or a chunk would exceed the PNG chunk limit.
PngResult EncodePng(Block* outBuffer, std::size_t* outSize, const tagPNG_IMAGE_INFO* images,
                    std::size_t imageCount, const tagPNG_FRAME_CONTROL_INFO* frameControls,
                    bool firstFrameExcluded, std::uint32_t numPlays,
                    const PngEncoderOptions& options);

// Encodes as EncodePng and writes the stream to `path` through a temporary file
// that replaces the target only when complete: on any failure the file that was
// at the path is untouched (and no file appears where there was none).
// PngInvalidArg for a null path; PngSystemError (errno kept) when the file
// cannot be written; otherwise EncodePng's codes. errno is restored on every
// other outcome.
PngResult WritePngFile(const char* path, const tagPNG_IMAGE_INFO* images, std::size_t imageCount,
                       const tagPNG_FRAME_CONTROL_INFO* frameControls, bool firstFrameExcluded,
                       std::uint32_t numPlays, const PngEncoderOptions& options);
