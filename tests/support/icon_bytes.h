// Hand-made icon and cursor bytes and in-memory images for the icon and animated
// cursor tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/block.h"
#include "support/block_bytes.h"
#include "formats/icon/icon_file.h"

using Bytes = std::vector<std::uint8_t>;

void PutLe16(Bytes& out, std::uint32_t value);
void PutLe32(Bytes& out, std::uint32_t value);
void PutTag(Bytes& out, const char* fourCC);

// A DIB image block: a 40-byte header with biHeight `storedHeight`, the colour
// table the depth implies (or `clrUsed` entries), then `|storedHeight|` rows of a
// byte pattern that starts at `seed`. No compression.
Bytes MakeDibBlock(int width, int storedHeight, int bitCount, std::uint32_t clrUsed = 0,
                   std::uint8_t seed = 1);

// One directory entry of a hand-made file; the offset and size are filled in
// unless given.
struct TestEntry {
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::uint16_t word4 = 0;  // planes or hot-spot x
    std::uint16_t word6 = 0;  // bit count or hot-spot y
    Bytes data;
    std::optional<std::uint32_t> bytesInRes;
    std::optional<std::uint32_t> offset;
};

// A complete icon (type 1) or cursor (type 2) file.
Bytes MakeIconFileBytes(std::uint16_t type, const std::vector<TestEntry>& entries,
                        std::uint16_t reserved = 0);

// An image held the way items hold one: header with colour table, rows and an
// optional mask, filled with patterns.
struct TestImage {
    HeaderBlock header;
    Block bits;
    Block mask;
    std::int16_t hotspotX = 0;
    std::int16_t hotspotY = 0;

    tagICON_IMAGE_INFO Record() const {
        tagICON_IMAGE_INFO record;
        record.header = header.get();
        record.bits = bits.get();
        record.mask = mask.get();
        record.hotspotX = hotspotX;
        record.hotspotY = hotspotY;
        return record;
    }
};
// `height` negative for a top-down image. The mask, when asked for, sets about a
// third of the pixels.
TestImage MakeTestImage(int width, int height, int bitCount, bool withMask, std::uint8_t seed = 7);

// The images a reader handed out, in order.
struct OwnedImages {
    std::vector<IconImage> images;
    // A sink that keeps every record.
    IconImageSink Sink();
};

// A writer's record borrowing the image's blocks.
tagICON_IMAGE_INFO Borrowed(const IconImage& image);

// RIFF pieces of hand-made animated cursors.
// A chunk: identifier, size, data and the pad byte of an odd size.
Bytes RiffChunk(const char* id, const Bytes& data);
// A "LIST" chunk of a type holding the given chunks.
Bytes RiffList(const char* type, const std::vector<Bytes>& chunks);
// "RIFF" size "ACON" and the chunks; the size is the true one unless given.
Bytes AniFileBytes(const std::vector<Bytes>& chunks,
                   std::optional<std::uint32_t> riffSize = std::nullopt);
// The 36 bytes of an "anih" record with the other fields 0.
Bytes AnihData(std::uint32_t frames, std::uint32_t steps, std::uint32_t rate, std::uint32_t flags);
// uint32 values, little-endian.
Bytes U32Values(const std::vector<std::uint32_t>& values);
