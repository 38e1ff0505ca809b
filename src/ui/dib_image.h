// Pictures of items as Qt images, for the window's previews.
#pragma once

#include <QImage>

struct tagILVITEM;

// The item's picture (its reference's for a duplicate) as ARGB: 32-bit pixels
// with their alpha, others opaque, masked pixels transparent.
QImage PictureImage(const tagILVITEM& item);
