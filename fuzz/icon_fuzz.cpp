// Parses arbitrary bytes as an icon file, and decodes them as one directory
// entry followed by its image block; every image decoded is built back into an
// icon block and its pixels are read.
#include <cstddef>
#include <cstdint>

#include "core/dib.h"
#include "formats/icon/icon_file.h"

namespace {

void Exercise(const IconImage& image) {
    const DibHeader* header = image.header.get();
    std::uint32_t sum = 0;
    const std::uint32_t rows = DibAbsHeight(header);
    for (std::uint32_t y = 0; y < rows && y < 64; ++y)
        for (int x = 0; x < header->biWidth && x < 64; ++x)
            sum += DibGetPixel(header, image.bits.get(), x, static_cast<int>(y));
    tagICON_IMAGE_INFO record;
    record.header = image.header.get();
    record.bits = image.bits.get();
    record.mask = image.mask.get();
    Block block;
    std::size_t size = 0;
    if (BuildIconImageData(&record, &block, &size) == IconOk && size > 0)
        sum += block.get()[size - 1];
    volatile std::uint32_t sink = sum;
    (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int images = 0;
    (void)ParseIcon({data, size}, [&](IconImage& image) {
        Exercise(image);
        return ++images < 16;
    });

    if (size >= kIconEntrySize) {
        const IconDirEntry entry =
            ParseIconDirEntry(std::span<const std::uint8_t, kIconEntrySize>(data, kIconEntrySize));
        IconImage image;
        if (DecodeIconImage(entry, {data + kIconEntrySize, size - kIconEntrySize}, &image) ==
            IconOk)
            Exercise(image);
    }
    return 0;
}
