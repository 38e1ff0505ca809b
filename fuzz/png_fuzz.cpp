// Parses arbitrary bytes as a PNG file, collecting what the decoder hands out.
// Each input is decoded twice: as it is, and with every chunk CRC made right, so
// that mutations reach the chunk and image logic behind the CRC check.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/png/png_common.h"
#include "formats/png/png_import.h"

namespace {

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
    PngReadContext asGiven;
    (void)ParsePng({data, size}, &asGiven);
    std::vector<std::uint8_t> fixed(data, data + size);
    FixCrcs(fixed);
    PngReadContext withCrcsMadeRight;
    (void)ParsePng(fixed, &withCrcsMadeRight);
    return 0;
}
