// Hand-made Photoshop documents for tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PsdChannelSpec {
    std::int16_t id = 0;
    std::int16_t compression = 0;     // 0 raw, 1 PackBits (encoded here), others as given
    std::vector<std::uint8_t> plane;  // width x height bytes, top row first
    // When set, written after the compression code instead of the encoded plane.
    std::optional<std::vector<std::uint8_t>> payload;
    // When set, the data length the layer record states instead of the true one.
    std::optional<std::uint32_t> statedLength;
};

struct PsdLayerSpec {
    std::int32_t top = 0, left = 0, bottom = 0, right = 0;
    std::vector<PsdChannelSpec> channels;
    std::uint8_t opacity = 255;
    std::uint8_t flags = 0;
    std::string name;                          // written as its bytes
    bool withExtra = true;                     // false: extra data length 0, no name
    std::uint32_t maskLength = 0;              // zero bytes of layer mask data
    std::vector<std::uint8_t> additional;      // after the padded name
    std::optional<std::uint32_t> extraLength;  // overrides the true extra length
};

struct PsdLayout {
    std::int16_t channels = 3;
    std::uint32_t width = 1, height = 1;
    std::uint16_t depth = 8;
    std::uint16_t mode = 3;                   // 3 RGB, 2 Indexed
    std::vector<std::uint8_t> colorModeData;  // the colour table for Indexed
    std::vector<PsdLayerSpec> layers;
    std::optional<std::int16_t> layerCount;  // overrides layers.size()
    bool emptyLayerSection = false;          // section length 0
    // Indexed: the merged index channel (compression 0 or 1) of width x height bytes.
    std::int16_t mergedCompression = 0;
    std::vector<std::uint8_t> merged;
};

std::vector<std::uint8_t> MakePsd(const PsdLayout& layout);

// PackBits encoding of one row, with repeat runs for runs of 3 or more.
std::vector<std::uint8_t> PackBitsEncode(const std::vector<std::uint8_t>& row);

// A 'luni' additional-layer-information block holding the name in UTF-16BE.
std::vector<std::uint8_t> LuniBlock(const std::u16string& name);

// A channel of a uniform value.
PsdChannelSpec UniformChannel(std::int16_t id, std::size_t size, std::uint8_t value,
                              std::int16_t compression = 0);
