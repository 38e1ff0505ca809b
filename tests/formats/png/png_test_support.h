// Helpers of the PNG codec tests: hand-built PNG streams, libpng as the
// independent decoder and encoder, and pixel access on decoded DIBs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/png/png_decoder.h"
#include "platform/bitmap_types.h"

using Bytes = std::vector<std::uint8_t>;

// Builds a PNG stream chunk by chunk, CRCs included.
class PngBuilder {
public:
    PngBuilder();  // starts with the signature
    PngBuilder& Chunk(const std::string& type, const Bytes& data);
    PngBuilder& Ihdr(std::uint32_t width, std::uint32_t height, int depth, int colorType,
                     int interlace = 0);
    PngBuilder& Actl(std::uint32_t frames, std::uint32_t plays);
    // An fcTL with dispose op and blend op.
    PngBuilder& Fctl(std::uint32_t sequence, std::uint32_t width, std::uint32_t height,
                     std::uint32_t x, std::uint32_t y, std::uint16_t delayNum,
                     std::uint16_t delayDen, int dispose = 0, int blend = 0);
    PngBuilder& Fdat(std::uint32_t sequence, const Bytes& compressed);
    PngBuilder& Iend() { return Chunk("IEND", {}); }
    const Bytes& Data() const { return data_; }

private:
    Bytes data_;
};

Bytes BigEndian32(std::uint32_t v);
Bytes Compress(const Bytes& raw, int level = 6);
// Rows of `rowBytes` bytes, each prefixed by filter type 0.
Bytes UnfilteredRows(const std::vector<Bytes>& rows);

// An image as libpng decodes it, with the 16-bit samples cut to their high byte
// and samples below 8 bits unpacked one per byte; no other transformation.
struct ReferenceImage {
    std::uint32_t width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0, channels = 0;
    std::vector<Bytes> rows;            // width * channels bytes each
    std::vector<std::uint8_t> palette;  // RGB triples
    std::string error;                  // non-empty when libpng failed
};
ReferenceImage DecodeWithLibpng(const Bytes& file);

// Encodes samples (one per byte, already within the bit depth, width * channels
// per row) with libpng; palette RGB triples for colour type 3.
Bytes EncodeWithLibpng(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType,
                       bool interlaced, const std::vector<Bytes>& samples,
                       const std::vector<std::uint8_t>& palette = {});

// The raw value at (x, y) counted from the top of the picture: the colour-table
// index for indexed depths, else the pixel's bytes as B | G << 8 | R << 16 | A << 24.
std::uint32_t DibValueAt(const DibHeader* header, const std::uint8_t* bits, int x, int y);
const RgbQuad* ColorTableOf(const DibHeader* header);

// Checks a decoded DIB against libpng's reading of the same file through the
// decoder's conversion table: bit count, colour table, indices, B, G, R, A.
void ExpectMatchesReference(const ReferenceImage& ref, const PngImage& image);

// Collects what DecodePng delivers, images included.
struct Collected {
    std::vector<PngImage> images;
    std::vector<tagPNG_FRAME_CONTROL_INFO> frames;
    std::vector<PngAnimationControl> animation;
    int stopAfterImages = -1;  // answer false on this image (0-based), -1 never

    static bool Sink(PngSinkKind kind, void* record, void* context) {
        auto* self = static_cast<Collected*>(context);
        switch (kind) {
            case PngSinkImage:
                self->images.push_back(std::move(*static_cast<PngImage*>(record)));
                return self->stopAfterImages != static_cast<int>(self->images.size()) - 1;
            case PngSinkAnimationControl:
                self->animation.push_back(*static_cast<const PngAnimationControl*>(record));
                return true;
            case PngSinkFrameControl:
                self->frames.push_back(*static_cast<const tagPNG_FRAME_CONTROL_INFO*>(record));
                return true;
        }
        return false;
    }
};
