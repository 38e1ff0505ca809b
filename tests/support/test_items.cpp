#include "support/test_items.h"

#include <cstring>
#include <new>

#include "core/dib.h"

NewItem MakePictureItem(int width, int height, int bitCount, std::uint8_t fill, bool withMask,
                        std::uint8_t maskFill) {
    DibHeader h{};
    h.biSize = kBitmapInfoHeaderSize;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(bitCount);
    NewItem item;
    item.header = AllocateHeaderBlock(h.biSize + DibColorTableSize(&h));
    if (!item.header) throw std::bad_alloc();
    *item.header = h;
    SetDefaultPalette(item.header.get());
    const std::size_t size = DibImageSize(&h);
    item.bits = AllocateBlock(size);
    if (!item.bits) throw std::bad_alloc();
    std::memset(item.bits.get(), fill, size);
    if (withMask) {
        const std::size_t maskSize = DibImageSizeFor(width, height, 1);
        item.mask = AllocateBlock(maskSize);
        if (!item.mask) throw std::bad_alloc();
        std::memset(item.mask.get(), maskFill, maskSize);
    }
    return item;
}

int AddPicture(CItemList& list, int width, int height, int bitCount, std::uint8_t fill,
               bool withMask) {
    return list.AddItem(MakePictureItem(width, height, bitCount, fill, withMask));
}
