#include "cli/image_dump.h"

#include <openssl/evp.h>

#include "core/dib.h"

std::vector<std::uint8_t> PictureRgba(const DibHeader* header, const std::uint8_t* bits) {
    const int width = header->biWidth;
    const int height = static_cast<int>(DibAbsHeight(header));
    std::vector<std::uint8_t> rgba;
    if (width <= 0) return rgba;
    rgba.reserve(std::size_t(width) * std::size_t(height) * 4);
    const bool keepAlpha = header->biBitCount == 32;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t colour = DibGetPixel(header, bits, x, y);
            rgba.push_back(static_cast<std::uint8_t>(colour >> 16));
            rgba.push_back(static_cast<std::uint8_t>(colour >> 8));
            rgba.push_back(static_cast<std::uint8_t>(colour));
            rgba.push_back(keepAlpha ? static_cast<std::uint8_t>(colour >> 24) : 255);
        }
    }
    return rgba;
}

std::vector<std::uint8_t> MaskBytes(const DibHeader* header, const std::uint8_t* mask) {
    const int width = header->biWidth;
    const std::uint32_t height = DibAbsHeight(header);
    std::vector<std::uint8_t> bytes;
    if (width <= 0) return bytes;
    const std::size_t stride = RowStride(static_cast<std::uint32_t>(width), 1);
    bytes.reserve(std::size_t(width) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        // The mask rows are stored in the picture's row order.
        std::uint32_t row = header->biHeight < 0 ? y : height - 1 - y;
        const std::uint8_t* line = mask + row * stride;
        for (int x = 0; x < width; ++x) bytes.push_back((line[x / 8] >> (7 - x % 8)) & 1);
    }
    return bytes;
}

std::string Sha256Hex(const std::vector<std::uint8_t>& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}
