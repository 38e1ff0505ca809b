// The Edit command's write-back, Invert on the selection (what the command-line
// tool runs) and the item Open in Viewer shows.
#pragma once

#include <cstdint>
#include <span>

#include "platform/bitmap_types.h"

class CIconmillApp;

// The item the image editor opens on: the first selected item's index, or -1
// (without a selection, and for a duplicate after the duplicate message).
int ImageEditorItem(CIconmillApp& app);

// The editor's OK: when `changed`, the working colour table (the item's colour
// count x 4 bytes; empty for images without one) replaces the item's table and
// the working pixels (the item's pixel block size) its pixels; the mask is never
// touched; the compilation is marked modified and the pictures repainted. False,
// and nothing written, when not changed, for a duplicate or no such item, or for
// a table or pixel block of another size.
bool ApplyImageEdit(CIconmillApp& app, int index, std::span<const RgbQuad> colorTable,
                    std::span<const std::uint8_t> bits, bool changed);

// Invert (the editor's tool then OK) on every selected original in list order
// (duplicates skipped): indices or colour bytes complemented as InvertPixels
// does. Returns how many items changed; the compilation is marked modified and
// repainted when any did.
int InvertSelectedItems(CIconmillApp& app);

// The item whose picture Open in Viewer shows: the first selected item, for a
// duplicate its reference; -1 without a selection.
int ViewerItem(const CIconmillApp& app);
