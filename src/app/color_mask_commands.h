// Grayscale, Alpha Compositing, Create/Edit Mask and Delete Mask on the
// application's list: the start check of the three dialogs, their apply steps
// after OK (also what the command-line tool runs), and the headless Delete Mask.
#pragma once

#include <cstdint>
#include <span>

#include "ops/grayscale.h"
#include "platform/raster.h"

class CIconmillApp;

// The item the Grayscale, Alpha Compositing and Mask Editor dialogs open on: the
// index of the first selected item, or -1 without a selection (nothing shown)
// and for a duplicate, after "You can not perform this operation on duplicated
// (shadow) item. ..." (exclamation icon).
int ImageDialogItem(CIconmillApp& app);

// Grayscale OK: the grayscale of the original at `index` by `choice` is written
// over its header block and pixel block (same sizes; the mask is untouched), the
// compilation is marked modified and the pictures repainted - always, even when
// no pixel changed. Out of memory shows "Not enough memory available to perform
// the operation." (error icon) and changes nothing; any other failure is
// reported with "(Grayscale)". False when nothing was written (also for a
// duplicate or no such item).
bool ApplyGrayscale(CIconmillApp& app, int index, const GrayscaleChoice& choice);

// Alpha Compositing OK: when `changed`, the working pixels (a full copy of the
// item's pixel block, as the dialog edited it) replace the pixels of the 32-bit
// original at `index`, marked and repainted. Nothing happens, and false is
// returned, when not changed, for another depth, a duplicate, or a working
// block of another size.
bool ApplyAlphaCompositing(CIconmillApp& app, int index, std::span<const std::uint8_t> work,
                           bool changed);

// One option of the dialog (AlphaOption; `value` the flat value) run on a working
// copy of the original at `index` and written back as OK does. A 32-bit item only;
// Base on Mask needs the item's mask; the pencil option changes nothing. False when
// nothing was written; a working copy that cannot be made shows the out-of-memory
// message.
bool ApplyAlphaOptionToItem(CIconmillApp& app, int index, int option, int value);

// Mask Editor OK: when `changed`, a new block holding the working mask (the
// item's mask size) becomes the mask of the original at `index`, replacing any
// old one; marked and repainted. A failed allocation shows the out-of-memory
// message and leaves the item as it was, old mask included. False when nothing
// was written (also for a working block of another size).
bool ApplyMaskEdit(CIconmillApp& app, int index, std::span<const std::uint8_t> work, bool changed);

// The sampling tools and Invert of the mask editor, on the item's mask (or a new
// all-opaque one when it has none), written back as OK does.
enum class MaskTool { Pick, AddToSample, SubtractFromSample, Invert };
bool ApplyMaskToolToItem(CIconmillApp& app, int index, MaskTool tool, ColorRef color = 0);

// Delete Mask: frees the mask of every selected original that has one, with the
// list's redrawing held back, then repaints; no confirmation. Returns how many
// masks were deleted; the compilation is marked modified when any was.
int DeleteSelectedMasks(CIconmillApp& app);
