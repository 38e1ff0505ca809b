// The image operations the op and convert commands share: their options, the
// small value parsers and the run of one operation through the editor's commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/size_set.h"
#include "cli/batch_interaction.h"
#include "cli/color_mask_options.h"
#include "cli/commands.h"
#include "cli/composition_options.h"
#include "ops/resize_image.h"
#include "platform/raster.h"

class CIconmillApp;

// The operation options' usage lines, a literal so that the commands' usage
// texts can be joined with it.
#define ICONMILL_OPERATION_OPTIONS_USAGE                                                    \
    "    Operations:\n"                                                                     \
    "      --convert 1|4|8|16|24|32   bit depth (default colour tables, no dithering)\n"    \
    "      --top-down, --bottom-up    row order\n"                                          \
    "      --rotate 180|cw|ccw        rotation; --flip vertical|horizontal\n"               \
    "      --resize WxH[:smooth]      Image Resize (nearest pixel, or blended: box\n"       \
    "                                 averaging down, bicubic up)\n"                        \
    "      --sizes LIST[:DEPTHS][:keep]  Create Size Set: LIST a comma list of square\n"    \
    "                                 sizes or icon (16,20,24,32,40,48,64,256), cursor\n"   \
    "                                 (32,48,64,96,128), favicon (16,32,48); DEPTHS of\n"   \
    "                                 32, 8, 4 (default 32); the set replaces each\n"       \
    "                                 source, by size then depth (keep: source first)\n"   \
    "      --invert                   Invert (the image editor's): indices of indexed\n"    \
    "                                 images, colour bytes of 16- to 32-bit (alpha kept)\n" \
    "      --canvas WxH[:ANCHOR[:RRGGBB]]  Canvas Resize; ANCHOR one of tl t tr l c r\n"    \
    "                                 bl b br (default c), border colour (default "         \
    "black)\n" ICONMILL_COMPOSITION_OPTIONS_USAGE ICONMILL_COLOR_MASK_OPTIONS_USAGE           \
    "    --svg-size N, wherever it stands, renders the .svg and .svgz files opened at\n"   \
    "    N x N pixels (1 to 16384; default: each document's own size).\n"

struct CliOperation {
    enum Kind {
        Convert,
        RotateFlip,
        Resize,
        Canvas,
        Merge,
        Split,
        NewBitmap,
        ColorMask,
        Invert,
        SizeSet
    } kind;
    int code = 0;  // ConvertCommandId or RotateFlipOperation
    int width = 0;
    int height = 0;
    std::uint32_t anchor = kAnchorCenter | kAnchorMiddle;
    ColorRef fill = 0;
    std::string value =
        {};  // Merge, Split, NewBitmap: the option's value (cli/composition_options.h)
    ColorMaskOperation colorMask = {};  // ColorMask
    bool smooth = false;                 // Resize
    SizeSetOptions sizeSet = {};         // SizeSet
};

// The batch interaction with the SHIFT colour given on the command line.
class OperationInteraction : public BatchInteraction {
public:
    using BatchInteraction::BatchInteraction;
    std::optional<ColorRef> background;
    // --svg-size: the side SVG documents are rendered at (their own size without).
    std::optional<int> svgSize;

    bool IsShiftDown() override { return background.has_value(); }
    std::optional<int> ChooseSvgSize(const SvgSizeRequest&) override { return svgSize.value_or(0); }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return background; }
};

// The value of --svg-size: a side of 1 to 16384.
std::optional<int> ParseCliSvgSize(std::string_view text);
// A whole decimal int.
std::optional<int> ParseCliInt(std::string_view text);
// RRGGBB as 0x00BBGGRR.
std::optional<ColorRef> ParseCliColor(std::string_view text);
// "1,3-5" as indices (in the order given); false on a malformed list.
bool ParseCliSelection(std::string_view text, std::vector<int>* out);

enum class OperationOptionParse { NotAnOperation, Parsed, Bad };
// Parses args[*i] when it is an operation option, moving *i past its value and
// appending the operation; Bad with *problem set for a missing or bad value.
OperationOptionParse ParseOperationOption(const CliArgs& args, std::size_t* i,
                                          std::vector<CliOperation>* operations,
                                          std::string* problem);

// Runs one operation over the selected items through the editor's commands;
// false when one reported a failure or ended early.
bool RunCliOperation(CIconmillApp& app, OperationInteraction& ui, const CliOperation& op);
