#include "ops/merge_split.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "core/dib.h"
#include "core/image_limits.h"

namespace {

constexpr std::int64_t kLargestSide = std::numeric_limits<std::int32_t>::max();

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

// Whether the AND-mask bit of picture pixel (x, y) is set (transparent).
bool MaskBit(const RasterImage& picture, const std::uint8_t* mask, int x, int y) {
    const std::size_t stride = RowStride(static_cast<std::uint32_t>(picture.width), 1);
    const int row = picture.topDown ? y : picture.height - 1 - y;
    const std::uint8_t byte = mask[stride * static_cast<std::size_t>(row) +
                                   static_cast<std::size_t>(x) / 8];
    return ((byte >> (7 - x % 8)) & 1) != 0;
}

}  // namespace

MergeCells MergeCellsOf(std::span<const MergeSource> sources) {
    MergeCells cells;
    for (const MergeSource& source : sources) {
        if (!source.header) continue;
        cells.cellWidth = std::max<std::int64_t>(cells.cellWidth, source.header->biWidth);
        cells.cellHeight = std::max<std::int64_t>(cells.cellHeight, DibAbsHeight(source.header));
        if (source.header->biBitCount == 32) cells.bitCount = 32;
    }
    return cells;
}

MergeSize MergedSize(const MergeCells& cells, std::int64_t count, std::int64_t perStrip,
                     StripOrientation orientation) {
    if (count < 1 || perStrip < 1) return {};
    const std::int64_t strips = CeilDiv(count, perStrip);
    // Cells are at most 2^31 pixels and counts int-sized: the products fit.
    if (orientation == StripOrientation::Horizontal)
        return {perStrip * cells.cellWidth, strips * cells.cellHeight};
    return {strips * cells.cellWidth, perStrip * cells.cellHeight};
}

ImageResult BuildMergedImage(std::span<const MergeSource> sources, const MergeParameters& params,
                             HeaderBlock* outHeader, Block* outBits) {
    if (!outHeader || !outBits) return ImageInvalidArg;
    outHeader->reset();
    outBits->reset();
    const auto count = static_cast<std::int64_t>(sources.size());
    if (count < 2 || params.perStrip < 1 || params.perStrip > count) return ImageInvalidArg;
    for (const MergeSource& source : sources)
        if (!source.header || !source.bits) return ImageInvalidArg;
    const MergeCells cells = MergeCellsOf(sources);
    if (cells.cellWidth < 1 || cells.cellHeight < 1) return ImageInvalidArg;

    // Every source must be drawable before anything is allocated.
    std::vector<RasterImage> pictures;
    pictures.reserve(sources.size());
    for (const MergeSource& source : sources) {
        const auto picture =
            RasterImage::Describe(source.header, source.bits, DibImageSize(source.header));
        if (!picture) return ImageNoSurface;
        pictures.push_back(*picture);
    }

    const MergeSize size = MergedSize(cells, count, params.perStrip, params.orientation);
    if (size.width > kLargestSide || size.height > kLargestSide) return ImageOutOfMemory;
    DibHeader info{};
    info.biSize = kBitmapInfoHeaderSize;
    info.biWidth = static_cast<std::int32_t>(size.width);
    info.biHeight = static_cast<std::int32_t>(size.height);
    info.biPlanes = 1;
    info.biBitCount = static_cast<std::uint16_t>(cells.bitCount);
    info.biCompression = kBiRgb;
    const std::size_t imageSize = DibImageSize(&info);
    if (imageSize > kMaxImageBytes) return ImageOutOfMemory;

    HeaderBlock header = AllocateHeaderBlock(kBitmapInfoHeaderSize);
    Block bits = AllocateImageBlock(imageSize, true);
    if (!header || !bits) return ImageOutOfMemory;
    *header = info;
    auto canvas = RasterSurface::Over(header.get(), bits.get(), imageSize);
    if (!canvas) return ImageNoSurface;

    const bool result32 = cells.bitCount == 32;
    if (params.fillBackground) {
        RasterFillRect(*canvas, {0, 0, canvas->Width(), canvas->Height()}, params.fillColor);
        if (result32)
            DibForceOpaque(header.get(), bits.get(), 0, 0, canvas->Width() - 1,
                           canvas->Height() - 1);
    }

    const auto cw = static_cast<int>(cells.cellWidth), ch = static_cast<int>(cells.cellHeight);
    int column = 0, row = 0;  // the cell, in cells
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const RasterImage& picture = pictures[i];
        const std::uint8_t* mask = sources[i].mask;
        const int x = column * cw, y = row * ch;
        if (picture.bitCount == 32)
            RasterCompositeOver(*canvas, x, y, picture);
        else if (mask)
            RasterDrawMasked(*canvas, x, y, picture, mask);
        else
            RasterDrawImage(*canvas, x, y, picture);

        if (result32 && picture.bitCount != 32) {
            if (!mask) {
                DibForceOpaque(header.get(), bits.get(), x, y, x + picture.width - 1,
                               y + picture.height - 1);
            } else {
                for (int py = 0; py < picture.height; ++py) {
                    std::uint8_t* line = canvas->Row(y + py);
                    for (int px = 0; px < picture.width; ++px)
                        line[4 * static_cast<std::size_t>(x + px) + 3] =
                            MaskBit(picture, mask, px, py) ? 0 : 255;
                }
            }
        }

        const bool horizontal = params.orientation == StripOrientation::Horizontal;
        int& along = horizontal ? column : row;
        int& across = horizontal ? row : column;
        if (++along == params.perStrip) {
            along = 0;
            ++across;
        }
    }

    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return ImageOk;
}

std::optional<TileSize> SplitTileSize(const DibHeader* source, int tilesAcross, int tilesDown) {
    if (!source || tilesAcross < 1 || tilesDown < 1 || source->biWidth < 1) return std::nullopt;
    const std::int64_t width = source->biWidth;
    const std::int64_t height = DibAbsHeight(source);
    if (height < 1 || height > kLargestSide) return std::nullopt;
    if (tilesAcross > width || tilesDown > height) return std::nullopt;
    if (width % tilesAcross != 0 || height % tilesDown != 0) return std::nullopt;
    return TileSize{static_cast<int>(width / tilesAcross), static_cast<int>(height / tilesDown)};
}

ImageResult MakeSplitTile(const DibHeader* source, const std::uint8_t* sourceBits, int tilesAcross,
                          int tilesDown, int column, int row, HeaderBlock* outHeader,
                          Block* outBits) {
    if (!outHeader || !outBits) return ImageInvalidArg;
    outHeader->reset();
    outBits->reset();
    if (!source || !sourceBits) return ImageInvalidArg;
    const auto tile = SplitTileSize(source, tilesAcross, tilesDown);
    if (!tile || column < 0 || column >= tilesAcross || row < 0 || row >= tilesDown)
        return ImageInvalidArg;
    const auto picture = RasterImage::Describe(source, sourceBits, DibImageSize(source));
    if (!picture) return ImageNoSurface;

    const std::size_t headerSize = source->biSize + DibColorTableSize(source);
    HeaderBlock header = AllocateHeaderBlock(headerSize);
    if (!header) return ImageOutOfMemory;
    std::memcpy(header.get(), source, headerSize);
    header->biWidth = tile->width;
    header->biHeight = tile->height;
    header->biSizeImage = 0;
    const std::size_t imageSize = DibImageSize(header.get());
    Block bits = AllocateZeroedBlock(imageSize);
    if (!bits) return ImageOutOfMemory;
    auto surface = RasterSurface::Over(header.get(), bits.get(), imageSize);
    if (!surface) return ImageNoSurface;
    RasterCopyRect(*surface, 0, 0, tile->width, tile->height, *picture, column * tile->width,
                   row * tile->height);
    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return ImageOk;
}
