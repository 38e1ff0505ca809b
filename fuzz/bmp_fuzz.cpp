// Parses arbitrary bytes as a BMP file and expands what the parser accepts.
#include <cstddef>
#include <cstdint>

#include "core/bmp_file.h"
#include "core/dib.h"
#include "silent_interaction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HeaderBlock header;
    Block bits;
    std::size_t bitsSize = 0;
    if (ParseBmp({data, size}, &header, &bits, &bitsSize) != ImageOk) return 0;
    if (ExpandCompressedDib(&header, &bits, bitsSize) != ImageOk) return 0;
    // Touch every pixel the way the editor would draw it.
    std::uint32_t sum = 0;
    const std::uint32_t rows = DibAbsHeight(header.get());
    for (std::uint32_t y = 0; y < rows && y < 64; ++y)
        for (int x = 0; x < header->biWidth && x < 64; ++x)
            sum += DibGetPixel(header.get(), bits.get(), x, static_cast<int>(y));
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
