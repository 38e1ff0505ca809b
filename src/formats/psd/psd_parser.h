// Reading Photoshop documents (.psd) of 8 bits per channel: every layer of an
// RGB document with its pixel channels, or the merged image of an Indexed one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/block.h"
#include "formats/psd/psd_result.h"

class PsdReader;

// The colour modes of the file header.
constexpr std::int16_t kPsdModeIndexed = 2;
constexpr std::int16_t kPsdModeRgb = 3;

// Channel ids of a layer that make its picture: red, green, blue, transparency.
constexpr std::int32_t kPsdChannelRed = 0;
constexpr std::int32_t kPsdChannelGreen = 1;
constexpr std::int32_t kPsdChannelBlue = 2;
constexpr std::int32_t kPsdChannelAlpha = -1;

// One layer record of an RGB document and the picture made from its channels.
class CPSDLayer {
public:
    std::int32_t channelCount = 0;
    std::int32_t left = 0;  // the layer rectangle in document coordinates
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::uint8_t opacity = 255;
    std::uint8_t flags = 0;  // kept as stored; hidden layers are imported like visible ones
    std::string name;        // UTF-8
    std::vector<std::int32_t> channelIds;
    // A bottom-up packed image of the layer's size, 32 bits per pixel when the layer
    // has a transparency channel and 24 otherwise; both null when the rectangle is
    // empty or no channel is red, green, blue or transparency.
    HeaderBlock header;
    Block bits;

    // The rectangle's size; 0 for an empty or inverted rectangle.
    std::int64_t Width() const { return right > left ? std::int64_t{right} - left : 0; }
    std::int64_t Height() const { return bottom > top ? std::int64_t{bottom} - top : 0; }
    bool HasAlphaChannel() const;
    bool HasImage() const { return header != nullptr && bits != nullptr; }
};

class CPSDParser {
public:
    CPSDParser() = default;
    CPSDParser(const CPSDParser&) = delete;
    CPSDParser& operator=(const CPSDParser&) = delete;

    // Parses the bytes of a document; no I/O. Whatever an earlier parse left is
    // freed first; on failure the parser is left empty.
    PsdResult Parse(std::span<const std::uint8_t> file);
    // Loads the file at `path` and parses it. PsdNullPath for a null path,
    // PsdSystemError when it cannot be opened or read, PsdOutOfMemory for a file
    // over kMaxImageFileBytes. errno is restored on return, except after
    // PsdSystemError, when it holds the failing call's code.
    PsdResult ParseFile(const char* path);
    // Frees everything the parser holds.
    void Reset();

    std::int16_t Version() const { return version_; }
    std::int32_t Channels() const { return channels_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int16_t Depth() const { return depth_; }
    std::int16_t ColorMode() const { return color_mode_; }
    // The Indexed colour table: 256 red, 256 green, then 256 blue bytes; null for RGB.
    const std::uint8_t* ColorTable() const { return color_table_.get(); }
    // The Indexed merged image: an 8-bit bottom-up image of the document's size
    // with a 256-entry colour table; null for RGB.
    const DibHeader* MergedHeader() const { return merged_header_.get(); }
    const std::uint8_t* MergedBits() const { return merged_bits_.get(); }
    // The layers of an RGB document in file order (bottom-most first).
    const std::vector<std::unique_ptr<CPSDLayer>>& Layers() const { return layers_; }

private:
    PsdResult ParseDocument(PsdReader& reader);
    PsdResult ParseLayers(PsdReader& reader);
    PsdResult ParseIndexedImage(PsdReader& reader);

    std::int16_t version_ = 0;
    std::int32_t channels_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int16_t depth_ = 0;
    std::int16_t color_mode_ = 0;
    Block color_table_;
    HeaderBlock merged_header_;
    Block merged_bits_;
    std::vector<std::unique_ptr<CPSDLayer>> layers_;
};

// Decodes one PackBits-compressed row: a header byte n of 0-127 copies the next
// n + 1 bytes, 129-255 repeats the next byte 257 - n times, 128 is a no-op. True
// only when the input is consumed whole and fills `out` exactly; a row that would
// produce more or fewer bytes, or whose last run is cut short, gives false and
// nothing beyond `out` is ever written.
bool DecodePackBitsRow(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);
