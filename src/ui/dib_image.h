// Pictures of items as Qt images, for the window's previews.
#pragma once

#include <QImage>
#include <cstdint>

struct tagILVITEM;

// The item's picture (its reference's for a duplicate) as ARGB: 32-bit pixels
// with their alpha, others opaque, masked pixels transparent.
QImage PictureImage(const tagILVITEM& item);

struct DibHeader;

// A packed DIB's picture (header and pixel rows) as ARGB: 32-bit pixels with
// their alpha, others opaque. Null for a header without picture.
QImage DibPictureImage(const DibHeader* header, const std::uint8_t* bits);
