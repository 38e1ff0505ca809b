// The raster layer: drawing onto DIB memory of every depth (1, 4, 8, 16 5-5-5, 24
// and 32 bits per pixel) and both row orders, the way the image operations expect a
// platform's drawing to behave. Everything is in picture coordinates (y = 0 is the
// top row whatever the storage order) and every call clips: no pixel is ever read
// or written outside an image, whatever rectangle or offset a caller passes.
//
// Colour mapping, wherever a colour has to enter a surface:
// - indexed surfaces take the colour-table entry nearest to the colour (squared
//   RGB distance, the lowest index on ties);
// - 16-bit surfaces keep the top 5 bits of each channel;
// - 24-bit surfaces take the colour as it is;
// - 32-bit surfaces take the colour with alpha 0 (as a brush or a non-32-bit
//   picture leaves it); only a 32-bit source brings its own alpha.
// Colours read out of images: indexed pixels through their colour table (an index
// beyond the table reads black), 16-bit channels widened by repeating their top
// bits (31 reads as 255), 24- and 32-bit as stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/bitmap_types.h"

// A colour as 0x00BBGGRR.
using ColorRef = std::uint32_t;
constexpr ColorRef RgbColor(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(ColorRef c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(ColorRef c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
// What GetPixel returns for a point outside the image.
constexpr ColorRef kInvalidColor = 0xFFFFFFFF;

// A rectangle, right and bottom exclusive.
struct RasterRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The exact nearest colour-table entry for any colour: the entry with the least
// squared RGB distance, the lowest index among equals. It answers exactly as the
// full search does, but searches only the entries that can win inside the colour's
// 8 x 8 x 8 cell of the colour cube (found once per cell, on first use).
class NearestColorMap {
public:
    // `count` entries of `palette` (at most 256; none gives index 0 always).
    NearestColorMap(const RgbQuad* palette, int count);

    int Nearest(int r, int g, int b);
    // The plain search over every entry, for comparison.
    static int FullSearch(const RgbQuad* palette, int count, int r, int g, int b);

private:
    void BuildCell(std::size_t cell);

    std::vector<RgbQuad> palette_;
    // Per cell: the offset of its candidate list in pool_ and its length; length 0
    // marks a cell not built yet (every built cell has at least one candidate).
    std::vector<std::uint32_t> cellOffset_;
    std::vector<std::uint16_t> cellCount_;
    std::vector<std::uint8_t> pool_;
};

// A read-only description of a DIB's pixel rows.
struct RasterImage {
    int width = 0;
    int height = 0;  // absolute
    unsigned bitCount = 0;
    bool topDown = false;
    std::size_t stride = 0;
    const RgbQuad* palette = nullptr;  // indexed depths only
    int paletteCount = 0;
    const std::uint8_t* bits = nullptr;

    // Describes `bits` (at least `bitsSize` bytes) as the image of `header`, whose
    // colour table follows it at offset biSize. Nullopt when the header is not an
    // uncompressed image of a supported depth with a non-zero size, or when the
    // rows do not fit in `bitsSize` bytes. Colour tables longer than the depth
    // allows are read only up to 2^depth entries.
    static std::optional<RasterImage> Describe(const DibHeader* header, const std::uint8_t* bits,
                                               std::size_t bitsSize);

    // The stored row holding picture row y (0 = top).
    const std::uint8_t* Row(int y) const {
        return bits + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
    }
};

// Bytes per DWORD-aligned row, or 0 for an unsupported depth or a width that is
// not positive.
std::size_t RasterStride(std::int64_t width, unsigned bitCount);

// A drawing surface over writable DIB memory (the memory of a DIB section).
class RasterSurface {
public:
    // As RasterImage::Describe, over writable bits.
    static std::optional<RasterSurface> Over(const DibHeader* header, std::uint8_t* bits,
                                             std::size_t bitsSize);

    const RasterImage& Image() const { return image_; }
    int Width() const { return image_.width; }
    int Height() const { return image_.height; }
    unsigned BitCount() const { return image_.bitCount; }

    // The stored value a colour becomes on this surface (index, 5-5-5 word,
    // 0x00RRGGBB); for 32 bits the colour with alpha 0.
    std::uint32_t MapColor(ColorRef color);
    // The same for a colour given as 0xAARRGGBB; a 32-bit surface keeps its alpha.
    std::uint32_t MapArgb(std::uint32_t argb);

    // Reads and writes one stored value; the caller keeps (x, y) inside.
    std::uint32_t RawPixel(int x, int y) const;
    void SetRawPixel(int x, int y, std::uint32_t value);
    std::uint8_t* Row(int y) { return const_cast<std::uint8_t*>(image_.Row(y)); }

private:
    RasterImage image_;
    std::shared_ptr<NearestColorMap> nearest_;  // made on first use, indexed only
};

// The colour of a stored pixel of an image as 0xAARRGGBB; alpha is the pixel's own
// for 32 bits and 0 otherwise.
std::uint32_t RasterPixelArgb(const RasterImage& image, int x, int y);

// Fills the rectangle (clipped) with a solid colour.
void RasterFillRect(RasterSurface& target, const RasterRect& rect, ColorRef color);

// Draws the whole source with its top-left corner at (x, y), mapping each source
// colour into the target (what SetDIBitsToDevice does). Clipped.
void RasterDrawImage(RasterSurface& target, int x, int y, const RasterImage& source);

// Copies a width x height rectangle of the source at (sx, sy) to (dx, dy) (BitBlt
// SRCCOPY). Between images of the same depth the stored values are copied as they
// are (indices stay indices, alpha stays); otherwise colours are mapped. Parts of
// the rectangle outside either image are left out.
void RasterCopyRect(RasterSurface& target, int dx, int dy, int width, int height,
                    const RasterImage& source, int sx, int sy);

// Scales the source rectangle onto the target rectangle by nearest pixel (StretchBlt
// in COLORONCOLOR mode): every target pixel copies the source pixel under its centre,
// nothing is blended; stored values are copied between equal depths, colours mapped
// otherwise. Rectangles with a non-positive width or height draw nothing; target
// pixels whose source pixel lies outside the source are left alone.
void RasterStretch(RasterSurface& target, const RasterRect& targetRect, const RasterImage& source,
                   const RasterRect& sourceRect);

// Composites a 32-bit straight-alpha image source-over onto the surface at (x, y),
// correctly rounded: c = (s * a + d * (255 - a)) / 255 to the nearest integer. A
// 32-bit target is treated as straight alpha too and gets the combined alpha.
// Non-32-bit sources draw nothing.
void RasterCompositeOver(RasterSurface& target, int x, int y, const RasterImage& source);

// Draws a picture through its 1-bit AND mask (mask rows in the picture's row order,
// a set bit transparent): the surface is ANDed with the mask and ORed with the
// picture blanked where the mask is set, so masked-out pixels keep the surface's
// colour and the others take the picture's. `mask` holds at least the 1-bit stride
// x height bytes of the picture's size.
void RasterDrawMasked(RasterSurface& target, int x, int y, const RasterImage& picture,
                      const std::uint8_t* mask);

// AlphaBlend with a pre-multiplied 32-bit source and a constant opacity:
// d = s' + d * (255 - a') / 255 with s' = s * opacity / 255, a' = a * opacity / 255,
// per channel, rounded. Non-32-bit sources draw nothing.
void RasterAlphaBlend(RasterSurface& target, int x, int y, const RasterImage& source, int opacity);

// One pixel: mapped like a fill; nothing outside the surface.
void RasterSetPixel(RasterSurface& target, int x, int y, ColorRef color);
// The colour at (x, y) as 0x00BBGGRR (through the colour table for indexed images),
// or kInvalidColor outside the image.
ColorRef RasterGetPixel(const RasterImage& image, int x, int y);

// A one-pixel line from (x0, y0) towards (x1, y1), the end pixel left out.
void RasterLineTo(RasterSurface& target, int x0, int y0, int x1, int y1, ColorRef color);

// ExtFloodFill in surface mode: from (x, y), fills every 4-connected pixel whose
// stored value is the one `surfaceColor` maps to (on 32-bit surfaces alpha is not
// compared). Nothing happens when the start is outside or has another value.
void RasterFloodFill(RasterSurface& target, int x, int y, ColorRef surfaceColor,
                     ColorRef fillColor);

// The background kinds of the views: 0 black, 1 white, 2 gray (0x808080), 3 the
// window colour (`windowColor`, the button face), 4 the checkerboard, 5 the custom
// colour. Other kinds fill with white.
constexpr int kViewBackgroundKinds = 6;
// The checkerboard: 16 x 16 tiles of four 8 x 8 squares, white at top left and
// bottom right, light grey (214, 214, 214) at top right and bottom left.
constexpr ColorRef kCheckerLight = RgbColor(255, 255, 255);
constexpr ColorRef kCheckerDark = RgbColor(214, 214, 214);

// Fills the rectangle (clipped) with the view background of `kind`. The
// checkerboard's tiles start at (originX, originY) of the surface, as a pattern
// brush tiles from its brush origin.
void FillViewBackground(RasterSurface& target, const RasterRect& rect, int kind,
                        ColorRef customColor, ColorRef windowColor, int originX = 0,
                        int originY = 0);

// How RasterStretchBlend puts the source onto the target.
enum class RasterBlend {
    Copy,           // every pixel as it is (RasterStretch)
    Masked,         // through a 1-bit AND mask: the target stays where the bit is set
    StraightAlpha,  // 32-bit source, straight alpha, source-over
    Premultiplied,  // 32-bit source taken as pre-multiplied: d = s + d * (255 - a) / 255
};

// Scales the source rectangle onto the target rectangle by nearest pixel, as
// RasterStretch does, and combines each sampled pixel with the target by `blend`.
// The work is bounded by the part of the target rectangle inside the target: only
// those pixels are visited, each sampling one source pixel, whatever the scale.
// `mask` (Masked only; nothing is drawn without it) holds the source's 1-bit rows
// in the source's row order, a set bit transparent: the result is the target ANDed
// with the mask, ORed with the source blanked where the mask is set. The alpha
// modes take the target as an opaque picture (its alpha byte is not read) and
// draw nothing for a source of other than 32 bits.
void RasterStretchBlend(RasterSurface& target, const RasterRect& targetRect,
                        const RasterImage& source, const RasterRect& sourceRect, RasterBlend blend,
                        const std::uint8_t* mask = nullptr);
