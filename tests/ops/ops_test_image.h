// Small images for the operation tests: malloc'd header and pixel blocks with
// pixel access in picture coordinates.
#pragma once

#include <cstring>
#include <vector>

#include "platform/block.h"
#include "core/dib.h"
#include "platform/raster.h"

struct OpsImage {
    HeaderBlock header;
    Block bits;

    OpsImage() = default;
    OpsImage(int width, int height, unsigned bitCount, const std::vector<RgbQuad>& palette = {}) {
        // Indexed images without a given table get a full one of zeros (biClrUsed 0).
        const std::size_t entries =
            palette.empty() && bitCount <= 8 ? std::size_t{1} << bitCount : palette.size();
        header = AllocateHeaderBlock(40 + 4 * entries);
        header->biSize = 40;
        header->biWidth = width;
        header->biHeight = height;
        header->biPlanes = 1;
        header->biBitCount = static_cast<std::uint16_t>(bitCount);
        header->biClrUsed = static_cast<std::uint32_t>(palette.size());
        if (!palette.empty())
            std::memcpy(DibColorTable(header.get()), palette.data(), 4 * palette.size());
        bits = AllocateZeroedBlock(Size());
    }

    std::size_t Size() const { return DibImageSize(header.get()); }
    RasterSurface Surface() const { return *RasterSurface::Over(header.get(), bits.get(), Size()); }
    std::uint32_t Raw(int x, int y) const { return Surface().RawPixel(x, y); }
    void SetRaw(int x, int y, std::uint32_t v) { Surface().SetRawPixel(x, y, v); }
    int Width() const { return header->biWidth; }
    int Height() const { return static_cast<int>(DibAbsHeight(header.get())); }
};

inline RgbQuad Rgb(int r, int g, int b) {
    return RgbQuad{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                   static_cast<std::uint8_t>(r), 0};
}
