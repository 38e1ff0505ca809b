// The PNG codec's share of icon entries: a PNG image block is decoded to its
// default image, and images too big for a DIB entry are encoded as PNG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/block.h"
#include "formats/icon/icon_file.h"

// True when the block begins with the 8-byte PNG signature.
bool IsPngBlock(std::span<const std::uint8_t> data);

// Decodes the default image of a PNG stream (the first image the decoder gives
// with frame index -1; other frames are skipped) into new blocks. IconBadFormat
// when the stream yields no default image, IconOutOfMemory when memory runs out.
IconResult DecodeIconPng(std::span<const std::uint8_t> data, HeaderBlock* outHeader,
                         Block* outBits);

// Encodes one image as a still PNG stream (one image, no frame control, best
// filter choice, default compression, colour, not interlaced) into a new block.
// IconEncodeFailed when the encoder fails.
IconResult EncodeIconPng(const tagICON_IMAGE_INFO& image, Block* out, std::size_t* outSize);
