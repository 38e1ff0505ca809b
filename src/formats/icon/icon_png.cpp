#include "formats/icon/icon_png.h"

#include <cstring>

namespace {
constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}  // namespace

bool IsPngBlock(std::span<const std::uint8_t> data) {
    return data.size() >= sizeof(kSignature) &&
           std::memcmp(data.data(), kSignature, sizeof(kSignature)) == 0;
}

// The PNG codec is not part of this build yet: a PNG entry yields no image and
// an image that needs a PNG entry cannot be encoded.
IconResult DecodeIconPng(std::span<const std::uint8_t> data, HeaderBlock* outHeader,
                         Block* outBits) {
    (void)data;
    (void)outHeader;
    (void)outBits;
    return IconBadFormat;
}

IconResult EncodeIconPng(const tagICON_IMAGE_INFO& image, Block* out, std::size_t* outSize) {
    (void)image;
    (void)out;
    (void)outSize;
    return IconEncodeFailed;
}
