// Create Size Set: one picture made into a set of square sizes and depths, as an
// icon or cursor holds them, replacing its source in the list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/image_commands.h"

class CIconmillApp;

// The largest side a size set makes.
constexpr int kMaxSizeSetSize = 1024;

// The presets, by name as the command line spells them.
enum class SizeSetPreset { Icon, Cursor, Favicon, Custom };
// The sizes of a preset, ascending; empty for Custom.
const std::vector<int>& SizeSetPresetSizes(SizeSetPreset preset);

struct SizeSetOptions {
    std::vector<int> sizes;        // ascending, no repeats, 1 to kMaxSizeSetSize
    std::vector<int> depths{32};   // descending, no repeats, of 32, 8 and 4
    bool keepSource = false;       // the source stays, before its set
};

// A comma list of sizes ("16,24,32"), or a preset name (icon, cursor, favicon),
// sorted ascending with repeats dropped; nullopt for an empty or malformed list or
// a size outside 1 to kMaxSizeSetSize.
std::optional<std::vector<int>> ParseSizeList(std::string_view text);
// A comma list of the depths 32, 8 and 4, sorted descending with repeats dropped.
std::optional<std::vector<int>> ParseSizeSetDepths(std::string_view text);
// LIST[:DEPTHS][:keep], as the command line's --sizes takes it.
std::optional<SizeSetOptions> ParseSizeSetSpec(std::string_view text);

// The hot spot of a width x height picture on its size x size copy: each
// coordinate scaled and rounded to the nearest pixel (halves up), clamped inside.
std::pair<int, int> ScaleSizeSetHotspot(int x, int y, int width, int height, int size);

// The Create Size Set dialog's values and their check: the options, or nullopt
// when the custom list is not a valid list (the dialog then shows
// kSizeSetListMessage and puts the focus on the list).
struct SizeSetDialogValues {
    SizeSetPreset preset = SizeSetPreset::Icon;
    std::string custom;  // the custom list, read with Custom only
    bool depth8 = false;
    bool depth4 = false;
    bool keepSource = false;
};
extern const char* const kSizeSetListMessage;
std::optional<SizeSetOptions> SizeSetOptionsOf(const SizeSetDialogValues& values);
// The preset the dialog opens on: the cursor sizes for cursors and animated
// cursors, the icon sizes otherwise.
SizeSetPreset DefaultSizeSetPreset(const CIconmillApp& app);

// Replaces every selected original (every original of an animated cursor, so that
// each frame holds the same set) by one item per size and depth, in place: by size
// ascending, within a size by depth descending, after the source when it is kept.
// Each is area-averaged from the source's picture as 32-bit straight alpha (a
// picture without alpha is opaque where its mask is), 8- and 4-bit ones converted
// from it with the halftone and the fixed palettes and given a mask that is
// transparent where alpha < 128; the 32-bit ones get a mask transparent where
// alpha is 0. Timing, position and the scaled hot spot come
// from the source. A source that still has duplicates keeps its record (they go
// on showing it, their hot spots scaled too) and receives the first picture of
// its set. The new items are
// selected afterwards. A failure is reported with "(Create Size Set)" and ends
// the run; earlier sources stay replaced. Done when every source was replaced.
PictureRunOutcome CreateSizeSets(CIconmillApp& app, const SizeSetOptions& options);
