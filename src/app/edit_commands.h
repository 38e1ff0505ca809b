// The item commands of the Edit menu: Cut, Copy, Paste, Delete, Duplicate and
// Delete All Duplications.
//
// Copy puts the selected items on the clipboard in the private format, which
// keeps everything an item carries, and the first selected picture beside it as
// a packed DIB for other programs. The private format is one block, integers
// little-endian: the item count (uint32), then per item, in list order, a
// 28-byte record head - has mask (uint16, 1 or 0), hot-spot x and y (int16),
// 2 reserved bytes, x and y (int32), delay in ms (uint32), blend and dispose
// (int32) - followed by the header block (biSize bytes and the colour table),
// the pixel rows and, when it has a mask, the 1-bit mask rows. A duplicate is
// copied with its reference's picture and its own timing, position and hot spot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class CIconmillApp;
class Clipboard;

// One record of the private format; its blocks point into the parsed data.
struct ClipboardItemRecord {
    bool hasMask = false;
    std::int16_t hotspotX = 0;
    std::int16_t hotspotY = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t delay = 0;
    std::int32_t blendOp = 0;
    std::int32_t disposeOp = 0;
    std::span<const std::uint8_t> header;  // biSize bytes and the colour table
    std::span<const std::uint8_t> bits;
    std::span<const std::uint8_t> mask;  // empty without a mask
};

// What the private data holds: the records that fit, in order, and whether the
// data is whole. When it is not, `failedAt` is the offset of the first thing that
// does not fit (0: the count itself); the records before it are good.
struct ClipboardItemParse {
    std::vector<ClipboardItemRecord> records;
    bool complete = false;
    std::size_t failedAt = 0;
};

// Walks the private data, which comes from another process and is trusted in
// nothing: it stops at data shorter than the count, a count larger than the
// records, a record whose head, header block, rows or mask run past the end, and
// a header that is not an item's picture (a header shorter than 40 bytes, a
// width below 1, height 0, planes other than 1, a depth other than 1, 4, 8, 16,
// 24 or 32, a compressed image). Never reads outside `data`. Bytes after the
// last record are ignored.
ClipboardItemParse ParseClipboardItems(std::span<const std::uint8_t> data);

// Copies the selected items. False when nothing is selected (the clipboard is
// not touched), and, after telling the user, when the data cannot be built
// ("Failed to perform the operation. Some things wrong.") or the clipboard
// cannot be set ("Error on accessing the clipboard."). When the packed DIB cannot
// be built only the private format is offered.
bool CopyItemsToClipboard(CIconmillApp& app, Clipboard& clipboard);

// Copies the selected items, then removes them last to first; an original that
// still has duplicates stays. A failed copy removes nothing. Returns Copy's result.
bool CutItems(CIconmillApp& app, Clipboard& clipboard);

// Appends the clipboard's items at the end of the list, unselected: those of the
// private format when it is there (each as an original with its own copy of the
// picture), else the packed DIB as one item (delay 600 ms, position 0, 0; a
// run-length or bit-field DIB is expanded as an opened BMP is). Private data that
// ParseClipboardItems does not find whole is refused with "Failed to perform the
// operation. Some things wrong." after the items of its good records are added.
// True when the clipboard was read; false when neither format is there (nothing
// shown), when the clipboard cannot be read ("Error on accessing the
// clipboard."), when the private data is refused, when memory runs out ("Not
// enough memory available to perform the operation."; the items pasted before
// stay) and, silently, when the packed DIB is not an image we can hold. Never
// changes the compilation type.
bool PasteItems(CIconmillApp& app, Clipboard& clipboard);

// Removes the selected items, last to first, together with every duplicate of a
// removed original (selected or not). No confirmation.
void DeleteSelectedItems(CIconmillApp& app);

// Appends a duplicate of every selected item's original (see
// DuplicateSelectedItems of the item list) and marks the compilation modified
// when any was added. Returns how many were added.
int DuplicateSelectedItems(CIconmillApp& app);

// Removes every duplicate, last to first. Returns how many were removed.
int DeleteAllDuplications(CIconmillApp& app);
