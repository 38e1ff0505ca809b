// The PNG and animated PNG decoder: walks the chunks of a PNG stream in memory,
// checks every CRC and turns the default image and every animation frame into a
// bottom-up packed DIB (40-byte header, colour table, DWORD-aligned rows).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/block.h"
#include "formats/png/png_common.h"
#include "formats/png/png_result.h"
#include "platform/bitmap_types.h"

// One image handed to the encoder: borrowed blocks it neither frees nor changes.
// The frame index is -1 for the default (IDAT) image, and for an animation frame
// the sequence number of its (first) fdAT chunk.
struct tagPNG_IMAGE_INFO {
    std::int32_t frameIndex = -1;
    DibHeader* header = nullptr;
    std::uint8_t* bits = nullptr;
};

// One image the decoder made, owning its fresh blocks; frame index as above. A
// sink takes the blocks over by moving them out; what it leaves is freed.
struct PngImage {
    std::int32_t frameIndex = -1;
    HeaderBlock header;
    Block bits;
};

// One fcTL chunk, integers in host byte order.
struct tagPNG_FRAME_CONTROL_INFO {
    std::uint32_t sequenceNumber = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t xOffset = 0;
    std::uint32_t yOffset = 0;
    std::uint16_t delayNumerator = 0;
    std::uint16_t delayDenominator = 0;
    std::uint8_t disposeOp = 0;  // 0 none, 1 background, 2 previous
    std::uint8_t blendOp = 0;    // 0 source, 1 over
};

// The acTL chunk.
struct PngAnimationControl {
    std::uint32_t numFrames = 0;
    std::uint32_t numPlays = 0;
};

enum PngSinkKind : int {
    PngSinkImage = 0,             // record: PngImage, whose blocks the sink may move out
    PngSinkAnimationControl = 1,  // record: PngAnimationControl
    PngSinkFrameControl = 2,      // record: tagPNG_FRAME_CONTROL_INFO
};

// Receives what the decoder finds, in file order; returns true to go on. The
// record lives for the call only; an image's blocks are the sink's to take
// whatever it answers.
using PngSink = bool (*)(PngSinkKind kind, void* record, void* context);

// A palette: `count` red, green, blue triples.
struct PngPalette {
    const std::uint8_t* rgb = nullptr;
    std::size_t count = 0;
};

// Decodes a whole PNG stream. PngInvalidArg for null data, size 0 or a null
// sink; PngNotPng for a wrong or short signature; PngBadCrc when any chunk's
// CRC is wrong; PngBadFormat when a chunk or header rule is broken; PngFailed
// when the sink says stop or image data cannot be inflated; PngOutOfMemory when
// an image's DIB would exceed kMaxImageBytes or memory runs out. Images already
// delivered stay the sink's on failure. `headerOut` (optional) receives the IHDR
// fields when the IEND chunk is reached. Bytes after IEND are ignored.
//
// Consecutive IDAT chunks (and, in an animation, consecutive fdAT chunks of one
// frame) are joined into one compressed stream.
PngResult DecodePng(const std::uint8_t* data, std::size_t size, PngSink sink, void* sinkContext,
                    PngHeaderInfo* headerOut);

// Decodes one image: inflates the zlib stream, unfilters the rows and converts
// them to a DIB. `palette` may be null except for colour type 3; entries beyond
// it read as black, entries beyond the colour table are ignored. The compressed
// stream is the concatenation of `pieceCount` pieces. Inflation stops as soon as
// the rows are complete; data after them is neither inflated nor checked.
// Results: PngFailed for a zlib error or a stream cut short; PngBadFormat for an
// invalid header, a missing palette or a stream that ends before the rows do;
// PngOutOfMemory when the DIB would exceed kMaxImageBytes or one filtered row a
// quarter of it (checked before anything is allocated; the pixel block itself
// is made only once the first rows have inflated) or memory runs out. On failure nothing is handed
// out.
struct PngDataPiece {
    const std::uint8_t* data;
    std::size_t size;
};
PngResult DecodePngImage(const PngHeaderInfo& header, const PngPalette* palette,
                         const PngDataPiece* pieces, std::size_t pieceCount, HeaderBlock* outHeader,
                         Block* outBits);
// The same over one contiguous compressed stream.
PngResult DecodePngImage(const PngHeaderInfo& header, const PngPalette* palette,
                         const std::uint8_t* compressed, std::size_t length, HeaderBlock* outHeader,
                         Block* outBits);
