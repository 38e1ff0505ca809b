// Reads arbitrary bytes as an icon file, and decodes them as one directory
// entry followed by its image block; every image decoded is built back into an
// icon block and its pixels are read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/dib.h"
#include "formats/icon/icon_file.h"
#include "fuzz_input.h"

namespace {

void Exercise(tagICON_IMAGE_INFO& image) {
    std::uint32_t sum = 0;
    const std::uint32_t rows = DibAbsHeight(image.header);
    for (std::uint32_t y = 0; y < rows && y < 64; ++y)
        for (int x = 0; x < image.header->biWidth && x < 64; ++x)
            sum += DibGetPixel(image.header, image.bits, x, static_cast<int>(y));
    Block block;
    std::size_t size = 0;
    if (BuildIconImageData(&image, &block, &size) == IconOk && size > 0)
        sum += block.get()[size - 1];
    volatile std::uint32_t sink = sum;
    (void)sink;
    std::free(image.header);
    std::free(image.bits);
    std::free(image.mask);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = StoreFuzzInput(data, size);
    if (!path) return 0;

    int images = 0;
    (void)ReadIconFile(path, [&](tagICON_IMAGE_INFO& image) {
        Exercise(image);
        return ++images < 16;
    });

    if (size >= kIconEntrySize) {
        const IconDirEntry entry =
            ParseIconDirEntry(std::span<const std::uint8_t, kIconEntrySize>(data, kIconEntrySize));
        tagICON_IMAGE_INFO image;
        if (DecodeIconImage(entry, {data + kIconEntrySize, size - kIconEntrySize}, &image) ==
            IconOk)
            Exercise(image);
    }
    return 0;
}
