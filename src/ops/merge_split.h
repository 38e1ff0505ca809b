// Merging pictures into a film strip (or a grid of strips), and cutting one
// picture into equal tiles.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/image_result.h"
#include "platform/block.h"
#include "platform/raster.h"

// One picture to merge: its header block, pixels and optional 1-bit AND mask
// (rows in the picture's order, a set bit transparent). Not owned.
struct MergeSource {
    const DibHeader* header = nullptr;
    const std::uint8_t* bits = nullptr;
    const std::uint8_t* mask = nullptr;
};

enum class StripOrientation { Horizontal, Vertical };

struct MergeParameters {
    int perStrip = 0;  // images per strip, 1 to the number of sources
    StripOrientation orientation = StripOrientation::Horizontal;
    bool fillBackground = false;
    ColorRef fillColor = 0;  // 0x00BBGGRR
};

// What the sources give the layout: the cell (largest width, largest absolute
// height) and the result's depth (32 when any source has 32 bits, else 24).
struct MergeCells {
    std::int64_t cellWidth = 0;
    std::int64_t cellHeight = 0;
    unsigned bitCount = 24;
};
MergeCells MergeCellsOf(std::span<const MergeSource> sources);

// The merged size for `count` sources: k cells per strip, ceil(count / k) strips,
// a strip a row of cells (horizontal, strips stacked downwards) or a column
// (vertical, strips side by side). Zero when count or k is not positive.
struct MergeSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};
MergeSize MergedSize(const MergeCells& cells, std::int64_t count, std::int64_t perStrip,
                     StripOrientation orientation);

// Draws the sources, in order, unscaled at the top-left corners of their cells
// on a bottom-up canvas with a 40-byte header and no colour table, 24 or 32 bits.
// The canvas starts all zero, or filled with the fill colour (opaque in 32 bits).
// A 32-bit source is composited source-over; a source of fewer bits is drawn
// through its mask when it has one and copied otherwise, and in a 32-bit result
// its own rectangle gets alpha 0 where masked and 255 elsewhere.
//
// ImageInvalidArg: null outputs, fewer than two sources, a source without header
// or bits, k outside 1 to the number of sources, or an empty cell.
// ImageNoSurface: a source that cannot be drawn (compressed, unsupported depth).
// ImageOutOfMemory: the result would exceed the 32-bit size range or the image
// size limit (checked before allocating), or a block cannot be made. Both outputs
// are null unless the result is ImageOk.
ImageResult BuildMergedImage(std::span<const MergeSource> sources, const MergeParameters& params,
                             HeaderBlock* outHeader, Block* outBits);

// The tile size of a picture cut into tilesAcross x tilesDown tiles; nullopt when
// a count is not positive, does not divide the width or absolute height exactly,
// or exceeds it.
struct TileSize {
    int width = 0;
    int height = 0;
};
std::optional<TileSize> SplitTileSize(const DibHeader* source, int tilesAcross, int tilesDown);

// Makes tile (column, row) of the picture cut into tilesAcross x tilesDown tiles,
// counted from the top-left: a copy of the source's header block (depth,
// compression field and colour table kept) with the tile's width, a positive
// height (bottom-up whatever the source's order) and biSizeImage 0, and the
// stored pixel values of the tile's rectangle (a 32-bit pixel keeps its alpha).
// ImageInvalidArg: null arguments, counts that do not divide the picture, a tile
// outside the grid. ImageNoSurface: a source that cannot be drawn.
// ImageOutOfMemory: a block cannot be made. Both outputs are null unless the
// result is ImageOk.
ImageResult MakeSplitTile(const DibHeader* source, const std::uint8_t* sourceBits, int tilesAcross,
                          int tilesDown, int column, int row, HeaderBlock* outHeader,
                          Block* outBits);
