#include "formats/psd/psd_parser.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "formats/psd/psd_text.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/last_error.h"

namespace {

constexpr std::size_t kHeaderSize = 26;
constexpr std::size_t kColorTableSize = 768;
// Rectangle, channel count, blend signature and key, opacity, clipping, flags,
// filler and extra data length: the least a layer record can take.
constexpr std::uint64_t kMinLayerRecordSize = 34;

std::uint16_t BigEndian16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

bool IsImageChannel(std::int32_t id) {
    return id == kPsdChannelRed || id == kPsdChannelGreen || id == kPsdChannelBlue ||
           id == kPsdChannelAlpha;
}

// A 40-byte header of a bottom-up image with `colors` zeroed table entries, or null.
HeaderBlock MakeHeader(std::int32_t width, std::int32_t height, unsigned bitCount,
                       std::size_t colors) {
    HeaderBlock header = AllocateHeaderBlock(kBitmapInfoHeaderSize + colors * sizeof(RgbQuad));
    if (!header) return header;
    header->biSize = kBitmapInfoHeaderSize;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<std::uint16_t>(bitCount);
    return header;
}

// Bytes of a bottom-up image of the size and depth, or nullopt when it would
// exceed the image limit.
std::optional<std::size_t> ImageBytes(std::int64_t width, std::int64_t height, unsigned bitCount) {
    if (width <= 0 || height <= 0 || width > std::numeric_limits<std::int32_t>::max() ||
        height > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    std::optional<std::size_t> size = CheckedMul(
        RowStride(static_cast<std::uint32_t>(width), bitCount), static_cast<std::size_t>(height));
    if (!size || *size > kMaxImageBytes) return std::nullopt;
    return size;
}

}  // namespace

bool DecodePackBitsRow(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    std::size_t read = 0;
    std::size_t written = 0;
    while (read < in.size()) {
        const std::uint8_t n = in[read++];
        if (n < 128) {
            const std::size_t count = std::size_t{n} + 1;
            if (count > in.size() - read || count > out.size() - written) return false;
            std::memcpy(out.data() + written, in.data() + read, count);
            read += count;
            written += count;
        } else if (n > 128) {
            const std::size_t count = 257 - std::size_t{n};
            if (read >= in.size() || count > out.size() - written) return false;
            std::memset(out.data() + written, in[read++], count);
            written += count;
        }
    }
    return written == out.size();
}

bool CPSDLayer::HasAlphaChannel() const {
    return std::find(channelIds.begin(), channelIds.end(), kPsdChannelAlpha) != channelIds.end();
}

// Big-endian reads from the document's bytes that never go past a limit (the
// end of the bytes, or of the section being read). A read that would is a bad
// format.
class PsdReader {
public:
    explicit PsdReader(std::span<const std::uint8_t> bytes) : bytes_(bytes), limit_(bytes.size()) {}

    std::uint64_t Position() const { return position_; }
    std::uint64_t Remaining() const { return limit_ > position_ ? limit_ - position_ : 0; }
    std::uint64_t Limit() const { return limit_; }
    // Later reads stop at `end` (never beyond the end of the bytes).
    void SetLimit(std::uint64_t end) { limit_ = std::min<std::uint64_t>(end, bytes_.size()); }

    PsdResult Skip(std::uint64_t count) {
        if (count > Remaining()) return PsdBadFormat;
        position_ += count;
        return PsdOk;
    }

    // The next `count` bytes, which the reader passes.
    PsdResult Take(std::size_t count, std::span<const std::uint8_t>* out) {
        if (count > Remaining()) return PsdBadFormat;
        *out = bytes_.subspan(static_cast<std::size_t>(position_), count);
        position_ += count;
        return PsdOk;
    }

    PsdResult Read(void* out, std::size_t count) {
        std::span<const std::uint8_t> bytes;
        if (PsdResult result = Take(count, &bytes); result != PsdOk) return result;
        if (count != 0) std::memcpy(out, bytes.data(), count);
        return PsdOk;
    }

    template <class T>
    PsdResult ReadInt(T* out) {
        std::uint8_t bytes[sizeof(T)];
        if (PsdResult result = Read(bytes, sizeof bytes); result != PsdOk) return result;
        std::uint64_t value = 0;
        for (std::uint8_t byte : bytes) value = (value << 8) | byte;
        *out = static_cast<T>(value);
        return PsdOk;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::uint64_t limit_;
    std::uint64_t position_ = 0;
};

namespace {

using Reader = PsdReader;

#define PSD_TRY(expression)                                                                 \
    do {                                                                                    \
        if (PsdResult psd_result_ = (expression); psd_result_ != PsdOk) return psd_result_; \
    } while (false)

// The most bytes one byte of PackBits data can make: a two-byte repeat run of 128.
constexpr std::uint64_t kPackBitsMaxExpansion = 64;

// Reads one channel of width x height bytes (raw or PackBits rows). The data is
// checked against the bytes left before `allocate` is asked for the destination
// (rows `stride` apart, bottom row first when `bottomUp`); a null destination is
// out of memory. A channel with no pixels asks for no destination.
template <class Allocate>
PsdResult ReadChannel(Reader& reader, std::uint32_t width, std::uint32_t height, std::size_t stride,
                      bool bottomUp, Allocate allocate) {
    std::int16_t compression = 0;
    PSD_TRY(reader.ReadInt(&compression));
    std::uint8_t* out = nullptr;
    auto prepare = [&]() -> PsdResult {
        if (width == 0 || height == 0) return PsdOk;
        out = allocate();
        return out ? PsdOk : PsdOutOfMemory;
    };
    auto rowAt = [&](std::uint32_t y) {
        return out + std::size_t{bottomUp ? height - 1 - y : y} * stride;
    };
    switch (compression) {
        case 0: {
            std::optional<std::uint64_t> total = CheckedMul<std::uint64_t>(width, height);
            if (!total || *total > reader.Remaining()) return PsdBadFormat;
            PSD_TRY(prepare());
            if (!out) return PsdOk;
            for (std::uint32_t y = 0; y < height; ++y) PSD_TRY(reader.Read(rowAt(y), width));
            return PsdOk;
        }
        case 1: {
            if (std::uint64_t{height} * 2 > reader.Remaining()) return PsdBadFormat;
            std::vector<std::uint16_t> counts;
            counts.reserve(height);
            std::uint64_t total = 0;
            for (std::uint32_t y = 0; y < height; ++y) {
                std::uint16_t count = 0;
                PSD_TRY(reader.ReadInt(&count));
                // A row too short to make its width can be refused now.
                if (std::uint64_t{count} * kPackBitsMaxExpansion < width) return PsdBadFormat;
                counts.push_back(count);
                total += count;
            }
            if (total > reader.Remaining()) return PsdBadFormat;
            PSD_TRY(prepare());
            for (std::uint32_t y = 0; y < height; ++y) {
                std::span<const std::uint8_t> packed;
                PSD_TRY(reader.Take(counts[y], &packed));
                if (!DecodePackBitsRow(packed, {out ? rowAt(y) : nullptr, out ? width : 0}))
                    return PsdBadFormat;
            }
            return PsdOk;
        }
        case 2:
        case 3:
            return PsdUnsupportedCompression;
        default:
            return PsdBadFormat;
    }
}

// Reads the name and the additional layer information of a layer record's extra
// data, which ends at reader.Limit(). The Unicode name ('luni'), when present and
// sound, replaces the one-byte name.
PsdResult ReadLayerExtra(Reader& reader, CPSDLayer& layer) {
    std::uint32_t length = 0;
    PSD_TRY(reader.ReadInt(&length));  // layer mask data
    PSD_TRY(reader.Skip(length));
    PSD_TRY(reader.ReadInt(&length));  // blending ranges
    PSD_TRY(reader.Skip(length));
    std::uint8_t nameLength = 0;
    PSD_TRY(reader.ReadInt(&nameLength));
    std::uint8_t name[255];
    PSD_TRY(reader.Read(name, nameLength));
    // A name that does not convert is left empty, as for animated cursor texts.
    layer.name = Windows1252ToUtf8({reinterpret_cast<const char*>(name), nameLength})
                     .value_or(std::string());

    // The additional layer information starts after the name padded to a multiple
    // of four bytes. Blocks we do not know, or that do not fit, end the scan: none
    // of them changes what is imported.
    const std::uint64_t nameStart = reader.Position() - nameLength - 1;
    const std::uint64_t padded = (std::uint64_t{nameLength} + 1 + 3) / 4 * 4;
    if (reader.Skip(nameStart + padded - reader.Position()) != PsdOk) return PsdOk;
    while (reader.Remaining() >= 12) {
        std::uint8_t blockHeader[12];
        PSD_TRY(reader.Read(blockHeader, sizeof blockHeader));
        if (std::memcmp(blockHeader, "8BIM", 4) != 0 && std::memcmp(blockHeader, "8B64", 4) != 0)
            break;
        const std::uint32_t blockLength = BigEndian32(blockHeader + 8);
        if (blockLength > reader.Remaining()) break;
        if (std::memcmp(blockHeader + 4, "luni", 4) == 0 && blockLength >= 4) {
            std::vector<std::uint8_t> data(blockLength);
            PSD_TRY(reader.Read(data.data(), data.size()));
            const std::uint64_t units = BigEndian32(data.data());
            if (units * 2 <= data.size() - 4) {
                layer.name =
                    Utf16BigEndianToUtf8({data.data() + 4, static_cast<std::size_t>(units * 2)});
            }
            break;
        }
        PSD_TRY(reader.Skip(blockLength));
    }
    return PsdOk;
}

// Reads one layer record; the channels' stated data lengths go to `lengths`.
PsdResult ReadLayerRecord(Reader& reader, CPSDLayer& layer, std::vector<std::uint32_t>& lengths) {
    PSD_TRY(reader.ReadInt(&layer.top));
    PSD_TRY(reader.ReadInt(&layer.left));
    PSD_TRY(reader.ReadInt(&layer.bottom));
    PSD_TRY(reader.ReadInt(&layer.right));
    std::int16_t channelCount = 0;
    PSD_TRY(reader.ReadInt(&channelCount));
    if (channelCount < 0 || std::uint64_t(channelCount) * 6 > reader.Remaining())
        return PsdBadFormat;
    layer.channelCount = channelCount;
    layer.channelIds.reserve(static_cast<std::size_t>(channelCount));
    lengths.reserve(static_cast<std::size_t>(channelCount));
    for (std::int16_t i = 0; i < channelCount; ++i) {
        std::int16_t id = 0;
        std::uint32_t length = 0;
        PSD_TRY(reader.ReadInt(&id));
        PSD_TRY(reader.ReadInt(&length));
        layer.channelIds.push_back(id);
        lengths.push_back(length);
    }
    std::uint8_t blend[12];
    PSD_TRY(reader.Read(blend, sizeof blend));
    if (std::memcmp(blend, "8BIM", 4) != 0) return PsdBadFormat;
    layer.opacity = blend[8];
    layer.flags = blend[10];
    std::uint32_t extraLength = 0;
    PSD_TRY(reader.ReadInt(&extraLength));
    if (extraLength == 0) return PsdOk;
    if (extraLength > reader.Remaining()) return PsdBadFormat;

    const std::uint64_t extraStart = reader.Position();
    const std::uint64_t extraEnd = extraStart + extraLength;
    const std::uint64_t outerLimit = reader.Limit();
    reader.SetLimit(extraEnd);
    PsdResult result = ReadLayerExtra(reader, layer);
    reader.SetLimit(outerLimit);
    if (result != PsdOk) return result;
    return reader.Skip(extraEnd - reader.Position());
}

// Reads the channel data of one layer and builds its picture from channels 0, 1,
// 2 and -1; other channels are passed over by the length their record states.
PsdResult ReadLayerChannels(Reader& reader, CPSDLayer& layer,
                            const std::vector<std::uint32_t>& lengths) {
    const bool hasImageChannel =
        std::any_of(layer.channelIds.begin(), layer.channelIds.end(), IsImageChannel);
    const std::int64_t width = layer.Width();
    const std::int64_t height = layer.Height();
    const bool makesImage = hasImageChannel && width > 0 && height > 0;
    const unsigned bitCount = layer.HasAlphaChannel() ? 32 : 24;

    std::size_t planeSize = 0;
    if (makesImage) {
        // Validate before allocating: the picture must stay within the image limit.
        if (!ImageBytes(width, height, bitCount)) return PsdOutOfMemory;
        planeSize = static_cast<std::size_t>(width * height);
    }
    // One plane per image channel: red, green, blue, transparency.
    Block planes[4];
    const auto w32 = static_cast<std::uint32_t>(width);
    const auto h32 = static_cast<std::uint32_t>(height);
    for (std::size_t i = 0; i < layer.channelIds.size(); ++i) {
        const std::int32_t id = layer.channelIds[i];
        if (!IsImageChannel(id)) {
            PSD_TRY(reader.Skip(lengths[i]));
            continue;
        }
        Block& plane = planes[id == kPsdChannelAlpha ? 3 : id];
        PSD_TRY(ReadChannel(reader, w32, h32, w32, false, [&] {
            plane = AllocateBlock(planeSize);
            return plane.get();
        }));
    }
    if (!makesImage) return PsdOk;

    const auto w = static_cast<std::int32_t>(width);
    const auto h = static_cast<std::int32_t>(height);
    HeaderBlock header = MakeHeader(w, h, bitCount, 0);
    const std::size_t imageSize = *ImageBytes(width, height, bitCount);
    Block bits = AllocateZeroedBlock(imageSize);
    if (!header || !bits) return PsdOutOfMemory;
    const std::size_t stride = RowStride(static_cast<std::uint32_t>(w), bitCount);
    const std::size_t pixelBytes = bitCount / 8;
    // Bytes within a pixel: blue, green, red, alpha.
    constexpr std::size_t kOffsets[4] = {2, 1, 0, 3};
    for (std::size_t c = 0; c < 4; ++c) {
        if (!planes[c]) continue;
        for (std::int32_t y = 0; y < h; ++y) {
            const std::uint8_t* source = planes[c].get() + std::size_t(y) * std::size_t(w);
            std::uint8_t* row = bits.get() + std::size_t(h - 1 - y) * stride + kOffsets[c];
            for (std::int32_t x = 0; x < w; ++x) row[std::size_t(x) * pixelBytes] = source[x];
        }
    }
    layer.header = std::move(header);
    layer.bits = std::move(bits);
    return PsdOk;
}

}  // namespace

PsdResult CPSDParser::Parse(std::span<const std::uint8_t> file) {
    Reset();
    PsdReader reader(file);
    const PsdResult result = ParseDocument(reader);
    if (result != PsdOk) Reset();
    return result;
}

PsdResult CPSDParser::ParseFile(const char* path) {
    LastErrorScope lastError;
    Reset();
    if (!path) return PsdNullPath;
    LoadFileResult loaded = LoadFile(path, kMaxImageFileBytes);
    switch (loaded.status) {
        case LoadStatus::Ok:
            return Parse(loaded.Bytes());
        case LoadStatus::SystemError:
            lastError.KeepSystemError(loaded.error);
            return PsdSystemError;
        case LoadStatus::TooLarge:
        case LoadStatus::OutOfMemory:
            return PsdOutOfMemory;
    }
    return PsdOutOfMemory;
}

void CPSDParser::Reset() {
    version_ = 0;
    channels_ = 0;
    width_ = 0;
    height_ = 0;
    depth_ = 0;
    color_mode_ = 0;
    color_table_.reset();
    merged_header_.reset();
    merged_bits_.reset();
    layers_.clear();
}

PsdResult CPSDParser::ParseDocument(PsdReader& reader) {
    std::uint8_t header[kHeaderSize];
    PSD_TRY(reader.Read(header, sizeof header));
    if (std::memcmp(header, "8BPS", 4) != 0) return PsdBadFormat;
    version_ = static_cast<std::int16_t>(BigEndian16(header + 4));
    if (version_ != 1) return PsdBadFormat;
    channels_ = static_cast<std::int16_t>(BigEndian16(header + 12));
    const std::uint32_t height = BigEndian32(header + 14);
    const std::uint32_t width = BigEndian32(header + 18);
    depth_ = static_cast<std::int16_t>(BigEndian16(header + 22));
    color_mode_ = static_cast<std::int16_t>(BigEndian16(header + 24));
    if (depth_ != 8 || (color_mode_ != kPsdModeRgb && color_mode_ != kPsdModeIndexed) ||
        (color_mode_ == kPsdModeIndexed && channels_ != 1))
        return PsdUnsupportedMode;
    // The document size becomes image sizes: it must be a positive 32-bit value.
    if (width == 0 || height == 0 ||
        width > std::uint32_t(std::numeric_limits<std::int32_t>::max()) ||
        height > std::uint32_t(std::numeric_limits<std::int32_t>::max()))
        return PsdBadFormat;
    width_ = static_cast<std::int32_t>(width);
    height_ = static_cast<std::int32_t>(height);

    std::uint32_t length = 0;
    PSD_TRY(reader.ReadInt(&length));  // colour mode data
    if (color_mode_ == kPsdModeIndexed) {
        if (length != kColorTableSize) return PsdBadFormat;
        color_table_ = AllocateBlock(kColorTableSize);
        if (!color_table_) return PsdOutOfMemory;
        PSD_TRY(reader.Read(color_table_.get(), kColorTableSize));
    } else {
        PSD_TRY(reader.Skip(length));
    }
    PSD_TRY(reader.ReadInt(&length));  // image resources
    PSD_TRY(reader.Skip(length));
    return color_mode_ == kPsdModeRgb ? ParseLayers(reader) : ParseIndexedImage(reader);
}

PsdResult CPSDParser::ParseLayers(PsdReader& reader) {
    std::uint32_t sectionLength = 0;
    PSD_TRY(reader.ReadInt(&sectionLength));
    if (sectionLength == 0) return PsdNoLayer;
    if (sectionLength > reader.Remaining()) return PsdBadFormat;
    reader.SetLimit(reader.Position() + sectionLength);
    std::uint32_t infoLength = 0;
    PSD_TRY(reader.ReadInt(&infoLength));
    if (infoLength == 0) return PsdNoLayer;
    if (infoLength > reader.Remaining()) return PsdBadFormat;
    reader.SetLimit(reader.Position() + infoLength);
    std::int16_t storedCount = 0;
    PSD_TRY(reader.ReadInt(&storedCount));
    // A negative count says that the first alpha channel holds the merged
    // transparency; the layers are the same.
    const std::int32_t count = storedCount < 0 ? -std::int32_t{storedCount} : storedCount;
    if (count == 0) return PsdNoLayer;
    if (std::uint64_t(count) * kMinLayerRecordSize > reader.Remaining()) return PsdBadFormat;

    std::vector<std::vector<std::uint32_t>> lengths(static_cast<std::size_t>(count));
    layers_.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        auto layer = std::make_unique<CPSDLayer>();
        PSD_TRY(ReadLayerRecord(reader, *layer, lengths[std::size_t(i)]));
        layers_.push_back(std::move(layer));
    }
    for (std::size_t i = 0; i < layers_.size(); ++i)
        PSD_TRY(ReadLayerChannels(reader, *layers_[i], lengths[i]));
    return PsdOk;
}

PsdResult CPSDParser::ParseIndexedImage(PsdReader& reader) {
    std::uint32_t sectionLength = 0;
    PSD_TRY(reader.ReadInt(&sectionLength));  // layer and mask information
    PSD_TRY(reader.Skip(sectionLength));

    std::optional<std::size_t> imageSize = ImageBytes(width_, height_, 8);
    if (!imageSize) return PsdOutOfMemory;
    Block bits;
    PSD_TRY(ReadChannel(reader, static_cast<std::uint32_t>(width_),
                        static_cast<std::uint32_t>(height_),
                        RowStride(static_cast<std::uint32_t>(width_), 8), true, [&] {
                            bits = AllocateZeroedBlock(*imageSize);
                            return bits.get();
                        }));
    HeaderBlock header = MakeHeader(width_, height_, 8, 256);
    if (!header) return PsdOutOfMemory;
    // The table follows the 40-byte header this parser made.
    auto* table = reinterpret_cast<RgbQuad*>(reinterpret_cast<std::uint8_t*>(header.get()) +
                                             kBitmapInfoHeaderSize);
    for (std::size_t i = 0; i < 256; ++i) {
        table[i].rgbRed = color_table_.get()[i];
        table[i].rgbGreen = color_table_.get()[256 + i];
        table[i].rgbBlue = color_table_.get()[512 + i];
        table[i].rgbReserved = 0;
    }
    merged_header_ = std::move(header);
    merged_bits_ = std::move(bits);
    return PsdOk;
}
