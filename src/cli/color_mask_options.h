// The grayscale, alpha and mask options of the op and convert commands: each runs
// the apply step of its dialog (or Delete Mask) on every selected original.
#pragma once

#include <cstddef>
#include <string>

#include "app/color_mask_commands.h"
#include "cli/commands.h"

class BatchInteraction;

// The usage lines, joined into the operation options' usage text.
#define ICONMILL_COLOR_MASK_OPTIONS_USAGE                                                   \
    "      --grayscale lightness|average|luma|bt709[:RRGGBB]  Grayscale by the method\n"    \
    "                                 (luma: Luma (TV); bt709: Luma (HDTV- BT.709)),\n"     \
    "                                 leaving pixels of colour RRGGBB as they are\n"        \
    "      --alpha original|flat:V|premultiplied|mask  Alpha Compositing of 32-bit\n"       \
    "                                 items (others unchanged): the source, alpha V\n"      \
    "                                 (0-255), colours pre-multiplied by alpha, alpha\n"    \
    "                                 from the mask (items without one unchanged)\n"        \
    "      --mask-pick RRGGBB         mask: exactly the pixels of the colour transparent\n" \
    "      --mask-add RRGGBB          mask: the colour's pixels transparent too\n"          \
    "      --mask-subtract RRGGBB     mask: the colour's pixels opaque again\n"             \
    "      --mask-invert              mask: every bit inverted\n"                           \
    "                                 (the mask tools start from an all-opaque mask when\n" \
    "                                 the item has none; colours compare as the editor\n"   \
    "                                 reads them: palette entries, 16-bit channels\n"       \
    "                                 widened with their top bits, alpha ignored)\n"        \
    "      --delete-mask              Delete Mask\n"

struct ColorMaskOperation {
    enum Kind { Grayscale, Alpha, Mask, DeleteMask } kind = Grayscale;
    GrayscaleChoice grayscale;
    int alphaOption = 0;  // AlphaOption
    int alphaValue = 255;
    MaskTool tool = MaskTool::Pick;
    ColorRef color = 0;
};

// Reads the option at args[*i] (and its value, advancing *i) when it is one of
// these options; false when args[*i] is another argument. A missing or bad value
// sets *problem (the caller's usage error).
bool ParseColorMaskOption(const CliArgs& args, std::size_t* i, ColorMaskOperation* op,
                          std::string* problem);

// Runs the operation over the selected originals in list order (duplicates are
// skipped); false when a message reported a failure.
bool RunColorMaskOperation(CIconmillApp& app, BatchInteraction& ui, const ColorMaskOperation& op);
