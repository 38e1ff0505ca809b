// The PNG and animated PNG encoder: one or more DIBs to a PNG stream in memory,
// and to a file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/block.h"
#include "formats/png/png_decoder.h"
#include "formats/png/png_result.h"
#include "formats/png/png_save_options.h"

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
                    const PngSaveOptions& options);

// Encodes as EncodePng and writes the stream to `path` through a temporary file
// that replaces the target only when complete: on any failure the file that was
// at the path is untouched (and no file appears where there was none).
// PngInvalidArg for a null path; PngSystemError (errno kept) when the file
// cannot be written; otherwise EncodePng's codes. errno is restored on every
// other outcome.
PngResult WritePngFile(const char* path, const tagPNG_IMAGE_INFO* images, std::size_t imageCount,
                       const tagPNG_FRAME_CONTROL_INFO* frameControls, bool firstFrameExcluded,
                       std::uint32_t numPlays, const PngSaveOptions& options);
