#include "app/clipboard_images.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

#include "core/bmp_file.h"
#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "formats/png/png_decoder.h"
#include "formats/png/png_encoder.h"

namespace {

constexpr std::size_t kBmpFileHeaderSize = 14;

std::uint32_t LoadU32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}
void StoreU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The first 40 bytes of the data as a header; the caller checked the size.
DibHeader HeaderAt(const std::uint8_t* at) {
    DibHeader header;
    std::memcpy(&header, at, sizeof header);
    return header;
}

bool IsPictureHeader(const DibHeader& h) {
    return h.biSize >= kBitmapInfoHeaderSize && h.biWidth > 0 && h.biHeight != 0 &&
           h.biPlanes == 1 && IsSupportedBitCount(h.biBitCount);
}

// Header block bytes (header, masks, colour table) of a header; nullopt on overflow.
std::optional<std::size_t> HeaderBlockBytes(const DibHeader& header) {
    std::optional<std::size_t> size =
        CheckedAdd<std::size_t>(header.biSize, BitfieldMaskBytesAfterHeader(&header));
    if (size) size = CheckedAdd(*size, DibColorTableSize(&header));
    return size;
}

bool Hand(Block block, std::size_t size, ClipboardBlock* out) {
    if (!block) return false;
    out->data = std::move(block);
    out->size = size;
    return true;
}

// Keeps the first image the decoder delivers and stops it there.
struct FirstImage {
    HeaderBlock header;
    Block bits;
};

bool KeepFirstImage(PngSinkKind kind, void* record, void* context) {
    if (kind != PngSinkImage) return true;
    auto* image = static_cast<PngImage*>(record);
    auto* first = static_cast<FirstImage*>(context);
    first->header = std::move(image->header);
    first->bits = std::move(image->bits);
    return false;
}

}  // namespace

std::size_t PackedDibHeaderBlockSize(std::span<const std::uint8_t> dib) {
    if (dib.size() < sizeof(DibHeader)) return 0;
    const DibHeader header = HeaderAt(dib.data());
    if (header.biSize < kBitmapInfoHeaderSize) return 0;
    const std::optional<std::size_t> size = HeaderBlockBytes(header);
    return size && *size <= dib.size() ? *size : 0;
}

bool BmpFileFromPackedDib(std::span<const std::uint8_t> dib, ClipboardBlock* out) {
    if (!out) return false;
    const std::size_t headerBlock = PackedDibHeaderBlockSize(dib);
    if (headerBlock == 0) return false;
    const std::optional<std::size_t> total = CheckedAdd(kBmpFileHeaderSize, dib.size());
    if (!total || *total > std::numeric_limits<std::uint32_t>::max()) return false;
    Block file = AllocateBlock(*total);
    if (!file) return false;
    file.get()[0] = 'B';
    file.get()[1] = 'M';
    StoreU32(file.get() + 2, static_cast<std::uint32_t>(*total));
    StoreU32(file.get() + 6, 0);
    StoreU32(file.get() + 10, static_cast<std::uint32_t>(kBmpFileHeaderSize + headerBlock));
    std::memcpy(file.get() + kBmpFileHeaderSize, dib.data(), dib.size());
    return Hand(std::move(file), *total, out);
}

bool PngFromPackedDib(std::span<const std::uint8_t> dib, ClipboardBlock* out) {
    if (!out || dib.size() < sizeof(DibHeader)) return false;
    const DibHeader header = HeaderAt(dib.data());
    if (!IsPictureHeader(header) || header.biCompression != kBiRgb) return false;
    // The encoder reads the header in place: an aligned copy of the packed DIB.
    HeaderBlock headerBlock;
    Block bits;
    HeaderBlock copy = AllocateHeaderBlock(dib.size());
    if (!copy) return false;
    std::memcpy(copy.get(), dib.data(), dib.size());
    if (SplitPackedDib(copy.get(), dib.size(), &headerBlock, &bits) != ImageOk) return false;

    tagPNG_IMAGE_INFO image;
    image.header = headerBlock.get();
    image.bits = bits.get();
    Block stream;
    std::size_t size = 0;
    // One image with its first frame excluded is a plain PNG, not an animation.
    if (EncodePng(&stream, &size, &image, 1, nullptr, true, 0, PngSaveOptions{}) != PngOk)
        return false;
    return Hand(std::move(stream), size, out);
}

bool PackedDibFromBmpFile(std::span<const std::uint8_t> file, ClipboardBlock* out) {
    if (!out || file.size() < kBmpFileHeaderSize + sizeof(DibHeader)) return false;
    if (file[0] != 'B' || file[1] != 'M') return false;
    const std::uint32_t pixelOffset = LoadU32(file.data() + 10);
    const std::span<const std::uint8_t> dib = file.subspan(kBmpFileHeaderSize);
    const DibHeader header = HeaderAt(dib.data());
    if (!IsPictureHeader(header)) return false;
    const std::size_t headerBlock = PackedDibHeaderBlockSize(dib);
    if (headerBlock == 0) return false;
    const std::size_t tableEnd = kBmpFileHeaderSize + headerBlock;
    const std::size_t dataOffset = pixelOffset != 0 ? pixelOffset : tableEnd;
    if (dataOffset < tableEnd || dataOffset > file.size()) return false;
    const std::size_t dataInFile = file.size() - dataOffset;

    const std::size_t imageSize = DibImageSize(&header);
    if (imageSize > kMaxImageBytes) return false;
    std::size_t dataSize;
    if (header.biCompression == kBiRgb) {
        if (imageSize > dataInFile) return false;
        dataSize = imageSize;
    } else {
        // Run-length data may be longer than the rows it encodes; other data is not.
        const bool runLength = header.biCompression == kBiRle8 || header.biCompression == kBiRle4;
        dataSize = std::min(dataInFile, runLength ? kMaxImageBytes : imageSize);
    }
    const std::size_t total = headerBlock + dataSize;
    Block packed = AllocateBlock(total);
    if (!packed) return false;
    std::memcpy(packed.get(), dib.data(), headerBlock);
    if (dataSize) std::memcpy(packed.get() + headerBlock, file.data() + dataOffset, dataSize);
    return Hand(std::move(packed), total, out);
}

bool PackedDibFromPng(std::span<const std::uint8_t> png, ClipboardBlock* out) {
    if (!out || png.empty() || png.size() > kMaxClipboardBytes) return false;
    FirstImage first;
    const PngResult result = DecodePng(png.data(), png.size(), KeepFirstImage, &first, nullptr);
    // Stopping after the first image is the sink's doing, not a failure of it.
    if (!first.header || !first.bits || (result != PngOk && result != PngFailed)) return false;
    const DibHeader* header = first.header.get();
    const std::size_t headerBlock = std::size_t{header->biSize} + DibColorTableSize(header);
    const std::size_t imageSize = DibImageSize(header);
    const std::optional<std::size_t> total = CheckedAdd(headerBlock, imageSize);
    if (!total) return false;
    Block packed = AllocateBlock(*total);
    if (!packed) return false;
    std::memcpy(packed.get(), header, headerBlock);
    std::memcpy(packed.get() + headerBlock, first.bits.get(), imageSize);
    return Hand(std::move(packed), *total, out);
}
