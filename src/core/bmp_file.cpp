#include "core/bmp_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "platform/file_io.h"
#include "platform/last_error.h"

namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
constexpr std::size_t kFileHeaderSize = 14;
// A file header, an information header and at least a few pixel bytes.
constexpr std::uint64_t kMinBmpFileSize = 66;

// The BITMAPFILEHEADER as stored (packed, little-endian).
struct FileHeader {
    std::uint16_t type;
    std::uint32_t size;
    std::uint32_t offBits;
};

FileHeader ParseFileHeader(const std::uint8_t* b) {
    auto u32 = [&](int at) {
        return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 |
               std::uint32_t{b[at + 2]} << 16 | std::uint32_t{b[at + 3]} << 24;
    };
    return FileHeader{static_cast<std::uint16_t>(b[0] | b[1] << 8), u32(2), u32(10)};
}

void StoreFileHeader(std::uint8_t* b, std::uint32_t size, std::uint32_t offBits) {
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(6, 0);  // bfReserved1, bfReserved2
    put32(10, offBits);
}

// The header fields every image must have before anything is sized from it. A
// negative width describes no picture (only the height carries a direction).
bool IsValidInfoHeader(const DibHeader& h) {
    return h.biWidth > 0 && h.biHeight != 0 && h.biPlanes == 1 && IsSupportedBitCount(h.biBitCount);
}

}  // namespace

std::size_t BitfieldMaskBytesAfterHeader(const DibHeader* header) {
    if (!header || (header->biBitCount != 16 && header->biBitCount != 32)) return 0;
    std::size_t masksEnd;
    if (header->biCompression == kBiBitfields)
        masksEnd = kBitmapInfoHeaderSize + 12;
    else if (header->biCompression == kBiAlphaBitfields)
        masksEnd = kBitmapInfoHeaderSize + 16;
    else
        return 0;
    return header->biSize >= masksEnd ? 0 : masksEnd - header->biSize;
}

ImageResult ParseBmp(std::span<const std::uint8_t> file, HeaderBlock* outHeader, Block* outBits,
                     std::size_t* outBitsSize) {
    if (outHeader) outHeader->reset();
    if (outBits) outBits->reset();
    if (outBitsSize) *outBitsSize = 0;
    if (!outHeader || !outBits) return ImageInvalidArg;

    const std::uint64_t fileSize = file.size();
    if (fileSize < kMinBmpFileSize) return ImageBadFormat;
    const FileHeader fileHeader = ParseFileHeader(file.data());
    if (fileHeader.type != kBmpSignature || fileHeader.size == 0) return ImageBadFormat;

    std::uint32_t headerSize;
    std::memcpy(&headerSize, file.data() + kFileHeaderSize, sizeof headerSize);
    if (headerSize < kBitmapInfoHeaderSize || headerSize > fileSize - kFileHeaderSize)
        return ImageBadFormat;
    DibHeader info;
    std::memcpy(&info, file.data() + kFileHeaderSize, sizeof info);
    if (!IsValidInfoHeader(info)) return ImageBadFormat;

    // Everything up to the end of the colour table must be in the file.
    const std::uint64_t maskBytes = BitfieldMaskBytesAfterHeader(&info);
    const std::uint64_t tableBytes = std::uint64_t{DibColorCount(&info)} * sizeof(RgbQuad);
    const std::uint64_t tableEnd = kFileHeaderSize + headerSize + maskBytes + tableBytes;
    if (tableEnd > fileSize) return ImageBadFormat;

    const std::size_t blockSize = static_cast<std::size_t>(headerSize + maskBytes + tableBytes);
    HeaderBlock header = AllocateHeaderBlock(blockSize);
    if (!header) return ImageOutOfMemory;
    std::memcpy(header.get(), file.data() + kFileHeaderSize, blockSize);

    const bool compressed = header->biCompression != kBiRgb;
    const std::uint64_t dataOffset = fileHeader.offBits != 0 ? fileHeader.offBits : tableEnd;
    const std::uint64_t dataInFile = fileSize > dataOffset ? fileSize - dataOffset : 0;
    const std::size_t imageSize = DibImageSize(header.get());
    if (!compressed &&
        (imageSize == std::numeric_limits<std::size_t>::max() || imageSize > dataInFile))
        return ImageBadFormat;
    // Compressed data expands to the full image later, so its size is judged too.
    if (imageSize > kMaxImageBytes) return ImageOutOfMemory;
    // Run-length data can be longer than the rows it encodes (absolute runs and
    // their padding), so it is read to the end of the file; other compressed data
    // is never longer than the rows.
    const bool runLength = header->biCompression == kBiRle8 || header->biCompression == kBiRle4;
    const std::uint64_t dataLimit = runLength ? kMaxImageBytes : imageSize;
    const std::size_t bitsSize =
        compressed ? static_cast<std::size_t>(std::min(dataLimit, dataInFile)) : imageSize;

    Block bits = AllocateBlock(bitsSize);
    if (!bits) return ImageOutOfMemory;
    // A size of 0 may come with an offset past the end: nothing to copy from there.
    if (bitsSize != 0)
        std::memcpy(bits.get(), file.data() + static_cast<std::size_t>(dataOffset), bitsSize);

    *outHeader = std::move(header);
    *outBits = std::move(bits);
    if (outBitsSize) *outBitsSize = bitsSize;
    return ImageOk;
}

ImageResult ReadBmpFile(const char* path, HeaderBlock* outHeader, Block* outBits,
                        std::size_t* outBitsSize) {
    if (outHeader) outHeader->reset();
    if (outBits) outBits->reset();
    if (outBitsSize) *outBitsSize = 0;
    if (!path || !outHeader || !outBits) return ImageInvalidArg;

    LastErrorScope lastError;
    LoadFileResult loaded = LoadFile(path, kMaxImageFileBytes);
    switch (loaded.status) {
        case LoadStatus::Ok:
            break;
        case LoadStatus::SystemError:
            lastError.KeepSystemError(loaded.error);
            return ImageSystemError;
        case LoadStatus::TooLarge:
        case LoadStatus::OutOfMemory:
            return ImageOutOfMemory;
    }
    return ParseBmp(loaded.Bytes(), outHeader, outBits, outBitsSize);
}

ImageResult WriteBmpFile(const char* path, const DibHeader* header, const std::uint8_t* bits) {
    if (!path || !header || !bits) return ImageInvalidArg;
    LastErrorScope lastError;

    const std::size_t headerBlockSize = std::size_t{header->biSize} + DibColorTableSize(header);
    const std::size_t imageSize = DibImageSize(header);
    const std::optional<std::size_t> offBits = CheckedAdd(kFileHeaderSize, headerBlockSize);
    const std::optional<std::size_t> total =
        offBits ? CheckedAdd(*offBits, imageSize) : std::nullopt;
    // The file header counts in 32 bits; an image it cannot describe is not written.
    if (!total || *total > std::numeric_limits<std::uint32_t>::max()) return ImageUnsupported;

    SafeFileWriter writer(path);
    std::uint8_t fileHeader[kFileHeaderSize];
    StoreFileHeader(fileHeader, static_cast<std::uint32_t>(*total),
                    static_cast<std::uint32_t>(*offBits));
    if (!writer.Open() || !writer.Write(fileHeader, sizeof fileHeader) ||
        !writer.Write(header, headerBlockSize) || !writer.Write(bits, imageSize) ||
        !writer.Commit()) {
        lastError.KeepSystemError();
        return ImageSystemError;
    }
    return ImageOk;
}
