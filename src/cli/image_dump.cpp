#include "cli/image_dump.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "core/dib.h"

namespace {

// The colour table as R, G, B, 255 quadruples for every index a pixel can hold;
// indices beyond the table are black.
std::array<std::uint32_t, 256> PaletteRgba(const DibHeader* header) {
    std::array<std::uint32_t, 256> palette;
    palette.fill(0xFF000000u);
    const RgbQuad* table = DibColorTable(header);
    std::size_t count = std::min<std::size_t>(DibColorCount(header), palette.size());
    for (std::size_t i = 0; i < count; ++i)
        palette[i] =
            table[i].rgbRed | table[i].rgbGreen << 8 | table[i].rgbBlue << 16 | 0xFF000000u;
    return palette;
}

void PutRgba(std::uint8_t* out, std::uint32_t rgba) {
    std::memcpy(out, &rgba, 4);
}

}  // namespace

bool ForEachRgbaRow(const DibHeader* header, const std::uint8_t* bits, const RowSink& sink) {
    const int width = header->biWidth;
    const std::uint32_t height = DibAbsHeight(header);
    const unsigned bitCount = header->biBitCount;
    if (width <= 0 || !IsSupportedBitCount(bitCount)) return true;
    const std::size_t stride = DibStride(header);
    const std::array<std::uint32_t, 256> palette = PaletteRgba(header);
    std::vector<std::uint8_t> row(std::size_t(width) * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint32_t stored = header->biHeight < 0 ? y : height - 1 - y;
        const std::uint8_t* in = bits + stored * stride;
        std::uint8_t* out = row.data();
        for (int x = 0; x < width; ++x, out += 4) {
            switch (bitCount) {
                case 1:
                    PutRgba(out, palette[(in[x / 8] >> (7 - x % 8)) & 1]);
                    break;
                case 4:
                    PutRgba(out, palette[(in[x / 2] >> (x % 2 ? 0 : 4)) & 15]);
                    break;
                case 8:
                    PutRgba(out, palette[in[x]]);
                    break;
                case 16: {
                    unsigned v = in[2 * x] | in[2 * x + 1] << 8;
                    out[0] = static_cast<std::uint8_t>(((v >> 10) & 31) << 3);
                    out[1] = static_cast<std::uint8_t>(((v >> 5) & 31) << 3);
                    out[2] = static_cast<std::uint8_t>((v & 31) << 3);
                    out[3] = 255;
                    break;
                }
                case 24:
                    out[0] = in[3 * x + 2];
                    out[1] = in[3 * x + 1];
                    out[2] = in[3 * x];
                    out[3] = 255;
                    break;
                case 32:
                    out[0] = in[4 * x + 2];
                    out[1] = in[4 * x + 1];
                    out[2] = in[4 * x];
                    out[3] = in[4 * x + 3];
                    break;
            }
        }
        if (!sink(row.data(), row.size())) return false;
    }
    return true;
}

bool ForEachMaskRow(const DibHeader* header, const std::uint8_t* mask, const RowSink& sink) {
    const int width = header->biWidth;
    const std::uint32_t height = DibAbsHeight(header);
    if (width <= 0) return true;
    const std::size_t stride = RowStride(static_cast<std::uint32_t>(width), 1);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    for (std::uint32_t y = 0; y < height; ++y) {
        // The mask rows are stored in the picture's row order.
        std::uint32_t stored = header->biHeight < 0 ? y : height - 1 - y;
        const std::uint8_t* line = mask + stored * stride;
        for (int x = 0; x < width; ++x) row[x] = (line[x / 8] >> (7 - x % 8)) & 1;
        if (!sink(row.data(), row.size())) return false;
    }
    return true;
}

std::string Sha256OfRows(const std::function<bool(const RowSink&)>& produce) {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                    EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return {};
    produce([&](const std::uint8_t* row, std::size_t size) {
        return EVP_DigestUpdate(context.get(), row, size) == 1;
    });
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return {};
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}
