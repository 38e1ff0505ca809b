#include "formats/icon/icon_file.h"

#include <cstring>
#include <vector>

#include "core/checked_math.h"
#include "formats/compilation.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "core/item_list.h"
#include "formats/icon/icon_png.h"
#include "formats/icon/little_endian.h"
#include "platform/file_io.h"
#include "platform/last_error.h"

namespace {

constexpr std::size_t kMaxIconImages = 65535;

// The colour count of a header as stored: biClrUsed, else the full table of an
// indexed depth. Wide enough for any stored value.
std::uint64_t StoredColorCount(const DibHeader& header) {
    if (header.biClrUsed != 0) return header.biClrUsed;
    return header.biBitCount <= 8 ? std::uint64_t{1} << header.biBitCount : 0;
}

// True when a header describes an image an item can hold: a known header
// length, a positive width, a non-zero height, a supported depth, no compression.
bool IsItemHeader(const DibHeader* header) {
    return header->biSize >= kBitmapInfoHeaderSize && header->biWidth > 0 &&
           header->biHeight != 0 && IsSupportedBitCount(header->biBitCount) &&
           header->biCompression == kBiRgb;
}

IconResult DecodeDibEntry(const IconDirEntry& entry, std::span<const std::uint8_t> data,
                          IconImage* out) {
    if (data.size() < sizeof(DibHeader)) return IconBadFormat;
    DibHeader stored;
    std::memcpy(&stored, data.data(), sizeof stored);
    if (stored.biSize < kBitmapInfoHeaderSize || stored.biSize > data.size()) return IconBadFormat;
    // Compressed or bit-field DIBs would put the rows somewhere else than where
    // the icon layout says; items never hold them.
    if (stored.biWidth <= 0 || stored.biHeight == 0 || !IsSupportedBitCount(stored.biBitCount) ||
        stored.biCompression != kBiRgb)
        return IconBadFormat;

    const std::uint32_t entryHeight = entry.height != 0 ? entry.height : 256;
    const std::uint64_t storedRows =
        stored.biHeight < 0 ? std::uint64_t{0} - static_cast<std::int64_t>(stored.biHeight)
                            : static_cast<std::uint64_t>(stored.biHeight);
    const bool hasMask = storedRows == 2 * std::uint64_t{entryHeight};
    const std::int32_t imageHeight = hasMask ? stored.biHeight / 2 : stored.biHeight;
    const std::uint64_t rows = hasMask ? entryHeight : storedRows;

    const std::uint32_t width = static_cast<std::uint32_t>(stored.biWidth);
    const std::uint64_t stride = RowStride(width, stored.biBitCount);
    const std::uint64_t maskStride = RowStride(width, 1);
    auto tableSize = CheckedMul<std::uint64_t>(StoredColorCount(stored), 4);
    auto imageSize = CheckedMul<std::uint64_t>(stride, rows);
    auto maskSize = CheckedMul<std::uint64_t>(maskStride, hasMask ? rows : 0);
    if (!tableSize || !imageSize || !maskSize) return IconBadFormat;
    auto headerSize = CheckedAdd<std::uint64_t>(stored.biSize, *tableSize);
    if (!headerSize) return IconBadFormat;
    auto total = CheckedAdd<std::uint64_t>(*headerSize, *imageSize);
    if (!total || !(total = CheckedAdd<std::uint64_t>(*total, *maskSize)) || *total > data.size())
        return IconBadFormat;
    if (*imageSize > kMaxImageBytes) return IconBadFormat;

    HeaderBlock header = AllocateHeaderBlock(static_cast<std::size_t>(*headerSize));
    Block bits = AllocateBlock(static_cast<std::size_t>(*imageSize));
    Block mask = hasMask ? AllocateBlock(static_cast<std::size_t>(*maskSize)) : Block();
    if (!header || !bits || (hasMask && !mask)) return IconOutOfMemory;
    const std::uint8_t* p = data.data();
    std::memcpy(header.get(), p, static_cast<std::size_t>(*headerSize));
    header->biHeight = imageHeight;
    p += *headerSize;
    std::memcpy(bits.get(), p, static_cast<std::size_t>(*imageSize));
    p += *imageSize;
    if (hasMask) std::memcpy(mask.get(), p, static_cast<std::size_t>(*maskSize));

    out->header = std::move(header);
    out->bits = std::move(bits);
    out->mask = std::move(mask);
    return IconOk;
}

// Clears every masked pixel of bottom-up XOR rows whose mask has the same order.
void ClearMaskedPixels(const DibHeader* header, std::uint8_t* xorRows, const std::uint8_t* mask,
                       std::size_t rows) {
    const std::uint32_t width = static_cast<std::uint32_t>(header->biWidth);
    const unsigned bitCount = header->biBitCount;
    const std::size_t stride = RowStride(width, bitCount);
    const std::size_t maskStride = RowStride(width, 1);
    for (std::size_t row = 0; row < rows; ++row) {
        std::uint8_t* line = xorRows + row * stride;
        const std::uint8_t* maskLine = mask + row * maskStride;
        if (bitCount == 1) {
            for (std::size_t i = 0; i < stride; ++i)
                line[i] &= static_cast<std::uint8_t>(~maskLine[i]);
            continue;
        }
        for (std::uint32_t x = 0; x < width; ++x) {
            if (!(maskLine[x / 8] & (0x80u >> (x % 8)))) continue;
            if (bitCount == 4) {
                line[x / 2] &= static_cast<std::uint8_t>((x % 2 == 0) ? 0x0F : 0xF0);
            } else {
                const std::size_t bytes = bitCount / 8;
                std::memset(line + x * bytes, 0, bytes);
            }
        }
    }
}

}  // namespace

IconDirEntry ParseIconDirEntry(std::span<const std::uint8_t, kIconEntrySize> bytes) {
    IconDirEntry entry;
    entry.width = bytes[0];
    entry.height = bytes[1];
    entry.colorCount = bytes[2];
    entry.reserved = bytes[3];
    entry.planesOrHotspotX = LoadLe16(&bytes[4]);
    entry.bitCountOrHotspotY = LoadLe16(&bytes[6]);
    entry.bytesInRes = LoadLe32(&bytes[8]);
    entry.imageOffset = LoadLe32(&bytes[12]);
    return entry;
}

void StoreIconDirEntry(const IconDirEntry& entry, std::span<std::uint8_t, kIconEntrySize> out) {
    out[0] = entry.width;
    out[1] = entry.height;
    out[2] = entry.colorCount;
    out[3] = entry.reserved;
    StoreLe16(&out[4], entry.planesOrHotspotX);
    StoreLe16(&out[6], entry.bitCountOrHotspotY);
    StoreLe32(&out[8], entry.bytesInRes);
    StoreLe32(&out[12], entry.imageOffset);
}

IconResult DecodeIconImage(const IconDirEntry& entry, std::span<const std::uint8_t> data,
                           IconImage* out) {
    if (!out) return IconInvalidArg;
    if (IsPngBlock(data)) {
        HeaderBlock header;
        Block bits;
        IconResult result = DecodeIconPng(data, &header, &bits);
        if (result != IconOk) return result;
        if (!header || !bits) return IconBadFormat;
        out->header = std::move(header);
        out->bits = std::move(bits);
        out->mask.reset();
    } else {
        IconResult result = DecodeDibEntry(entry, data, out);
        if (result != IconOk) return result;
    }
    out->hotspotX = static_cast<std::int16_t>(entry.planesOrHotspotX);
    out->hotspotY = static_cast<std::int16_t>(entry.bitCountOrHotspotY);
    return IconOk;
}

IconResult ParseIcon(std::span<const std::uint8_t> file, const IconImageSink& sink) {
    if (file.size() < kIconHeaderSize) return IconBadFormat;
    const std::uint16_t reserved = LoadLe16(file.data());
    const std::uint16_t type = LoadLe16(file.data() + 2);
    const std::uint16_t count = LoadLe16(file.data() + 4);
    if (reserved != 0 || count == 0 || (type != kIconTypeIcon && type != kIconTypeCursor))
        return IconBadFormat;
    if (file.size() - kIconHeaderSize < std::size_t{count} * kIconEntrySize) return IconBadFormat;

    for (std::size_t i = 0; i < count; ++i) {
        const IconDirEntry entry = ParseIconDirEntry(std::span<const std::uint8_t, kIconEntrySize>(
            file.data() + kIconHeaderSize + i * kIconEntrySize, kIconEntrySize));
        if (entry.bytesInRes == 0 ||
            std::uint64_t{entry.imageOffset} + entry.bytesInRes > file.size())
            return IconBadFormat;
        IconImage image;
        IconResult result =
            DecodeIconImage(entry, file.subspan(entry.imageOffset, entry.bytesInRes), &image);
        if (result != IconOk) return result;
        image.frameIndex = 0;
        if (!sink(image)) return IconStopped;
    }
    return IconOk;
}

IconResult ReadIconFamilyFile(const char* path, const IconFileParser& parse) {
    LastErrorScope lastError;
    if (!path) return IconInvalidArg;
    LoadFileResult loaded = LoadFile(path, kMaxImageFileBytes);
    switch (loaded.status) {
        case LoadStatus::Ok:
            return parse(loaded.Bytes());
        case LoadStatus::SystemError:
            lastError.KeepSystemError(loaded.error);
            return IconSystemError;
        case LoadStatus::TooLarge:
            return IconBadFormat;
        case LoadStatus::OutOfMemory:
            return IconOutOfMemory;
    }
    return IconBadFormat;
}

IconResult ReadIconFile(const char* path, const IconImageSink& sink) {
    return ReadIconFamilyFile(
        path, [&sink](std::span<const std::uint8_t> bytes) { return ParseIcon(bytes, sink); });
}

bool AddIconImage(CItemList& list, IconImage& image) {
    NewItem item;
    item.header = std::move(image.header);
    item.bits = std::move(image.bits);
    item.mask = std::move(image.mask);
    if (!item.header || !item.bits) return true;
    item.frameInfo.delay = kDefaultFrameDelay;
    item.frameInfo.blendOp = 0;
    item.frameInfo.disposeOp = 0;
    item.frameInfo.hotspotX = image.hotspotX;
    item.frameInfo.hotspotY = image.hotspotY;
    (void)list.AddItem(std::move(item));
    return true;
}

std::optional<std::size_t> IconImageDataSize(const DibHeader* header) {
    if (!header || !IsItemHeader(header)) return std::nullopt;
    const std::uint32_t width = static_cast<std::uint32_t>(header->biWidth);
    const std::uint64_t rows = DibAbsHeight(header);
    auto table = CheckedMul<std::uint64_t>(StoredColorCount(*header), 4);
    auto image = CheckedMul<std::uint64_t>(RowStride(width, header->biBitCount), rows);
    auto mask = CheckedMul<std::uint64_t>(RowStride(width, 1), rows);
    if (!table || !image || !mask) return std::nullopt;
    auto total = CheckedAdd<std::uint64_t>(header->biSize, *table);
    if (total) total = CheckedAdd<std::uint64_t>(*total, *image);
    if (total) total = CheckedAdd<std::uint64_t>(*total, *mask);
    if (!total || *total > SIZE_MAX) return std::nullopt;
    return static_cast<std::size_t>(*total);
}

IconResult BuildIconImageData(const tagICON_IMAGE_INFO* image, Block* out, std::size_t* outSize) {
    if (!image || !image->header || !image->bits || !out || !outSize) return IconInvalidArg;
    const DibHeader* header = image->header;
    if (header->biWidth == 0 || header->biHeight == 0) return IconBadFormat;
    std::optional<std::size_t> size = IconImageDataSize(header);
    // The doubled height must still fit the header's signed field.
    if (!size || DibAbsHeight(header) > INT32_MAX / 2) return IconInvalidArg;

    const std::size_t rows = DibAbsHeight(header);
    const std::size_t stride =
        RowStride(static_cast<std::uint32_t>(header->biWidth), header->biBitCount);
    const std::size_t maskStride = RowStride(static_cast<std::uint32_t>(header->biWidth), 1);
    const std::size_t headerSize = header->biSize + StoredColorCount(*header) * 4;
    const bool topDown = header->biHeight < 0;

    Block block = AllocateBlock(*size);
    if (!block) return IconOutOfMemory;
    std::uint8_t* xorRows = block.get() + headerSize;
    std::uint8_t* andRows = xorRows + rows * stride;
    std::memcpy(block.get(), header, headerSize);
    // The block is always bottom-up: a top-down image's rows go in reverse order.
    for (std::size_t row = 0; row < rows; ++row) {
        std::size_t from = topDown ? rows - 1 - row : row;
        std::memcpy(xorRows + row * stride, image->bits + from * stride, stride);
    }
    if (image->mask) {
        for (std::size_t row = 0; row < rows; ++row) {
            std::size_t from = topDown ? rows - 1 - row : row;
            std::memcpy(andRows + row * maskStride, image->mask + from * maskStride, maskStride);
        }
        ClearMaskedPixels(header, xorRows, andRows, rows);
    } else {
        std::memset(andRows, 0, rows * maskStride);
    }
    auto* stored = reinterpret_cast<DibHeader*>(block.get());
    stored->biHeight = static_cast<std::int32_t>(rows * 2);

    *outSize = *size;
    *out = std::move(block);
    return IconOk;
}

IconResult WriteIconFile(const char* path, int kind, const tagICON_IMAGE_INFO* records,
                         std::size_t count) {
    LastErrorScope lastError;
    if (!path || !records || count == 0 || count > kMaxIconImages) return IconInvalidArg;

    // Every block is built before the file is touched, so that an image that
    // cannot be built leaves no file behind and the directory is written once.
    std::vector<std::uint8_t> head(kIconHeaderSize + count * kIconEntrySize, 0);
    StoreLe16(&head[0], 0);
    StoreLe16(&head[2], kind == 1 ? kIconTypeIcon : kIconTypeCursor);
    StoreLe16(&head[4], static_cast<std::uint16_t>(count));
    std::vector<Block> blocks(count);
    std::vector<std::size_t> sizes(count);
    std::uint64_t dataEnd = head.size();
    for (std::size_t i = 0; i < count; ++i) {
        const tagICON_IMAGE_INFO& record = records[i];
        if (!record.header || !record.bits) return IconInvalidArg;
        const DibHeader* header = record.header;
        const std::uint32_t width =
            header->biWidth > 0 ? static_cast<std::uint32_t>(header->biWidth) : 0;
        const std::uint32_t height = DibAbsHeight(header);
        IconDirEntry entry;
        entry.width = width <= 255 ? static_cast<std::uint8_t>(width) : 0;
        entry.height = height <= 255 ? static_cast<std::uint8_t>(height) : 0;
        if (kind == 1) {
            entry.planesOrHotspotX = header->biPlanes;
            entry.bitCountOrHotspotY = header->biBitCount;
        } else {
            entry.planesOrHotspotX = static_cast<std::uint16_t>(record.hotspotX);
            entry.bitCountOrHotspotY = static_cast<std::uint16_t>(record.hotspotY);
        }
        IconResult result;
        if (entry.width != 0 && entry.height != 0) {
            result = BuildIconImageData(&record, &blocks[i], &sizes[i]);
            entry.colorCount =
                header->biBitCount < 8 ? static_cast<std::uint8_t>(1u << header->biBitCount)
                                       : std::uint8_t{0};
        } else {
            // Width or height of 256 or more (or a width of 0): only a PNG entry holds it.
            if (width == 0 || height == 0) return IconBadFormat;
            result = EncodeIconPng(record, &blocks[i], &sizes[i]);
            entry.colorCount = 0;
        }
        if (result != IconOk) return result;
        if (sizes[i] > UINT32_MAX || dataEnd > UINT32_MAX) return IconInvalidArg;
        entry.bytesInRes = static_cast<std::uint32_t>(sizes[i]);
        entry.imageOffset = static_cast<std::uint32_t>(dataEnd);
        dataEnd += sizes[i];
        StoreIconDirEntry(entry, std::span<std::uint8_t, kIconEntrySize>(
                                     &head[kIconHeaderSize + i * kIconEntrySize], kIconEntrySize));
    }

    SafeFileWriter writer(path);
    if (!writer.Open() || !writer.Write(head.data(), head.size())) {
        lastError.KeepSystemError();
        return IconSystemError;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!writer.Write(blocks[i].get(), sizes[i])) {
            lastError.KeepSystemError();
            return IconSystemError;
        }
        blocks[i].reset();
    }
    if (!writer.Commit()) {
        lastError.KeepSystemError();
        return IconSystemError;
    }
    return IconOk;
}
