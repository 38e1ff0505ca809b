// Feeds arbitrary bytes to the PNG decoder; every image it hands out is freed.
// Each input is decoded twice: as it is, and with every chunk CRC made right, so
// that mutations reach the chunk and image logic behind the CRC check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/png/png_common.h"
#include "formats/png/png_decoder.h"

namespace {

bool FreeImages(PngSinkKind kind, const void* record, void*) {
    if (kind == PngSinkImage) {
        const auto* image = static_cast<const tagPNG_IMAGE_INFO*>(record);
        std::free(image->header);
        std::free(image->bits);
    }
    return true;
}

void FixCrcs(std::vector<std::uint8_t>& file) {
    std::size_t at = sizeof kPngSignature;
    while (at <= file.size() && file.size() - at >= kPngChunkOverhead) {
        const std::uint32_t length = ReadBigEndian32(file.data() + at);
        if (length > file.size() - at - kPngChunkOverhead) return;
        WriteBigEndian32(file.data() + at + 8 + length, PngChunkCrc(file.data() + at + 4, length));
        at += kPngChunkOverhead + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PngHeaderInfo header;
    (void)DecodePng(data, size, FreeImages, nullptr, &header);
    std::vector<std::uint8_t> fixed(data, data + size);
    FixCrcs(fixed);
    (void)DecodePng(fixed.data(), fixed.size(), FreeImages, nullptr, &header);
    return 0;
}
