// Scaling an image with blending: area averaging when it shrinks, a bicubic
// filter when it grows.
#pragma once

#include "core/image_result.h"
#include "platform/block.h"
#include "platform/raster.h"

// Makes a copy of the source at newWidth x newHeight with blended pixels: a copy of
// the source's header block with the new size (the sign of the height kept) and
// biSizeImage 0, and new pixels.
// - Along an axis that shrinks (or keeps its size), a box: every new pixel is the
//   average of the source pixels whose centres fall inside it (by a whole-number
//   factor exactly the area average; otherwise the sampling of the common box
//   filters, so results agree with theirs). When both axes shrink the sums are
//   kept in whole numbers, so a block of k x k pixels averages to its mean
//   rounded half up.
// - Along an axis that grows, a bicubic filter (a = -0.5, edges repeated), the
//   result clamped to the range of a channel.
// A 32-bit source keeps straight alpha: colours are weighted by their alpha, so
// transparent pixels lend no colour to their neighbours (a pixel that ends fully
// transparent is black). A 32-bit source whose alpha is 0 everywhere (a picture
// that does not use alpha) is averaged as opaque and stays alpha 0. Other depths
// are blended as 24-bit colours and stored back in the source's own depth: the
// nearest entry of its own colour table, or 5-5-5.
//
// ImageInvalidArg: a missing header, bits or bits out-slot, a size that is not
// positive. ImageNoSurface: a source that cannot be drawn (compressed, or not an
// image of a supported depth). ImageOutOfMemory: a block cannot be allocated, or
// the result would exceed the image size limit. With no header out-slot the new
// header is not handed out.
ImageResult SmoothResizeImage(const DibHeader* source, const std::uint8_t* sourceBits,
                              int newWidth, int newHeight, HeaderBlock* outHeader, Block* outBits);
