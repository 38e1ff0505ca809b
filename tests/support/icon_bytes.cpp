#include "support/icon_bytes.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/dib.h"

void PutLe16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLe32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutTag(Bytes& out, const char* fourCC) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(fourCC[i]));
}

Bytes MakeDibBlock(int width, int storedHeight, int bitCount, std::uint32_t clrUsed,
                   std::uint8_t seed) {
    Bytes out;
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(width));
    PutLe32(out, static_cast<std::uint32_t>(storedHeight));
    PutLe16(out, 1);
    PutLe16(out, static_cast<std::uint32_t>(bitCount));
    for (int i = 0; i < 4; ++i) PutLe32(out, 0);
    PutLe32(out, clrUsed);
    PutLe32(out, 0);
    std::size_t colors = clrUsed ? clrUsed : (bitCount <= 8 ? 1u << bitCount : 0);
    for (std::size_t i = 0; i < colors; ++i) PutLe32(out, static_cast<std::uint32_t>(i * 0x010203));
    std::size_t rows = static_cast<std::size_t>(storedHeight < 0 ? -storedHeight : storedHeight);
    std::size_t size =
        RowStride(static_cast<std::uint32_t>(width), static_cast<unsigned>(bitCount)) * rows;
    for (std::size_t i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(seed + i * 7));
    return out;
}

Bytes MakeIconFileBytes(std::uint16_t type, const std::vector<TestEntry>& entries,
                        std::uint16_t reserved) {
    Bytes out;
    PutLe16(out, reserved);
    PutLe16(out, type);
    PutLe16(out, static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const TestEntry& entry : entries) {
        out.push_back(entry.width);
        out.push_back(entry.height);
        out.push_back(0);
        out.push_back(0);
        PutLe16(out, entry.word4);
        PutLe16(out, entry.word6);
        PutLe32(out, entry.bytesInRes.value_or(static_cast<std::uint32_t>(entry.data.size())));
        PutLe32(out, entry.offset.value_or(offset));
        offset += static_cast<std::uint32_t>(entry.data.size());
    }
    for (const TestEntry& entry : entries)
        out.insert(out.end(), entry.data.begin(), entry.data.end());
    return out;
}

TestImage MakeTestImage(int width, int height, int bitCount, bool withMask, std::uint8_t seed) {
    TestImage image;
    std::size_t colors = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
    image.header = AllocateHeaderBlock(40 + colors * 4);
    if (!image.header) throw std::bad_alloc();
    DibHeader* header = image.header.get();
    header->biSize = 40;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<std::uint16_t>(bitCount);
    auto* table = reinterpret_cast<std::uint8_t*>(header) + 40;
    for (std::size_t i = 0; i < colors * 4; ++i)
        table[i] = static_cast<std::uint8_t>(i * 13 + seed);
    std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
    std::size_t size =
        RowStride(static_cast<std::uint32_t>(width), static_cast<unsigned>(bitCount)) * rows;
    image.bits = AllocateBlock(size);
    if (!image.bits) throw std::bad_alloc();
    for (std::size_t i = 0; i < size; ++i)
        image.bits.get()[i] = static_cast<std::uint8_t>(seed + i * 11 + i / 5);
    if (withMask) {
        std::size_t maskSize = RowStride(static_cast<std::uint32_t>(width), 1) * rows;
        image.mask = AllocateBlock(maskSize);
        if (!image.mask) throw std::bad_alloc();
        for (std::size_t i = 0; i < maskSize; ++i)
            image.mask.get()[i] = static_cast<std::uint8_t>((i * 37 + seed) & 0x49);
    }
    return image;
}

IconImageSink OwnedImages::Sink() {
    return [this](IconImage& image) {
        images.push_back(std::move(image));
        return true;
    };
}

tagICON_IMAGE_INFO Borrowed(const IconImage& image) {
    tagICON_IMAGE_INFO record;
    record.frameIndex = image.frameIndex;
    record.header = image.header.get();
    record.bits = image.bits.get();
    record.mask = image.mask.get();
    record.hotspotX = image.hotspotX;
    record.hotspotY = image.hotspotY;
    return record;
}

Bytes RiffChunk(const char* id, const Bytes& data) {
    Bytes out;
    PutTag(out, id);
    PutLe32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2) out.push_back(0);
    return out;
}

Bytes RiffList(const char* type, const std::vector<Bytes>& chunks) {
    Bytes data;
    PutTag(data, type);
    for (const Bytes& chunk : chunks) data.insert(data.end(), chunk.begin(), chunk.end());
    return RiffChunk("LIST", data);
}

Bytes AniFileBytes(const std::vector<Bytes>& chunks, std::optional<std::uint32_t> riffSize) {
    Bytes body;
    PutTag(body, "ACON");
    for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
    Bytes out;
    PutTag(out, "RIFF");
    PutLe32(out, riffSize.value_or(static_cast<std::uint32_t>(body.size())));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes AnihData(std::uint32_t frames, std::uint32_t steps, std::uint32_t rate, std::uint32_t flags) {
    return U32Values({36, frames, steps, 0, 0, 0, 0, rate, flags});
}

Bytes U32Values(const std::vector<std::uint32_t>& values) {
    Bytes out;
    for (std::uint32_t value : values) PutLe32(out, value);
    return out;
}
