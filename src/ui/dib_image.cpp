#include "ui/dib_image.h"

#include <cstdlib>

#include "core/dib.h"
#include "core/item.h"

QImage PictureImage(const tagILVITEM& item) {
    const tagILVITEM& picture = item.Image();
    const DibHeader* header = picture.header;
    if (!header || !picture.bits || header->biWidth <= 0 || header->biHeight == 0) return {};
    const int width = header->biWidth;
    const int height = static_cast<int>(std::abs(static_cast<long long>(header->biHeight)));
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull()) return {};
    const bool topDown = header->biHeight < 0;
    const std::size_t maskStride = static_cast<std::size_t>((width + 31) / 32) * 4;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint8_t* maskRow =
            picture.mask ? picture.mask + maskStride * static_cast<std::size_t>(
                                                           topDown ? y : height - 1 - y)
                         : nullptr;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t color = DibGetPixel(header, picture.bits, x, y);
            std::uint32_t alpha = header->biBitCount == 32 ? color >> 24 : 255;
            if (maskRow && (maskRow[x / 8] >> (7 - x % 8)) & 1) alpha = 0;
            row[x] = qRgba(static_cast<int>((color >> 16) & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                           static_cast<int>(color & 0xFF), static_cast<int>(alpha));
        }
    }
    return image;
}
