#include "cli/operation_options.h"

#include <charconv>

#include "app/application.h"
#include "app/commands.h"
#include "app/image_commands.h"
#include "app/image_edit_commands.h"
#include "cli/composition_options.h"
#include "ops/rotate_flip.h"
#include "platform/door/memory_clipboard.h"

std::optional<int> ParseCliInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<ColorRef> ParseCliColor(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + 6, rgb, 16);
    if (error != std::errc() || end != text.data() + 6) return std::nullopt;
    return RgbColor(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                    static_cast<int>(rgb & 0xFF));
}

std::optional<int> ParseCliSvgSize(std::string_view text) {
    const auto side = ParseCliInt(text);
    if (!side || *side < 1 || *side > 16384) return std::nullopt;
    return side;
}

namespace {

// WxH with both parts from 1 to 2147483647.
bool ParseSize(std::string_view text, int* width, int* height) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    const auto w = ParseCliInt(text.substr(0, x)), h = ParseCliInt(text.substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1) return false;
    *width = *w;
    *height = *h;
    return true;
}

std::optional<std::uint32_t> ParseAnchor(std::string_view text) {
    static const struct {
        const char* name;
        std::uint32_t code;
    } kAnchors[] = {{"tl", 0x11}, {"t", 0x12},  {"tr", 0x13}, {"l", 0x21}, {"c", 0x22},
                    {"r", 0x23},  {"bl", 0x31}, {"b", 0x32},  {"br", 0x33}};
    for (const auto& a : kAnchors)
        if (text == a.name) return a.code;
    return std::nullopt;
}

bool ParseCanvas(std::string_view text, CliOperation* op) {
    const std::size_t first = text.find(':');
    if (!ParseSize(text.substr(0, first), &op->width, &op->height)) return false;
    if (first == std::string_view::npos) return true;
    const std::string_view rest = text.substr(first + 1);
    const std::size_t second = rest.find(':');
    const auto anchor = ParseAnchor(rest.substr(0, second));
    if (!anchor) return false;
    op->anchor = *anchor;
    if (second == std::string_view::npos) return true;
    const auto color = ParseCliColor(rest.substr(second + 1));
    if (!color) return false;
    op->fill = *color;
    return true;
}

}  // namespace

bool ParseCliSelection(std::string_view text, std::vector<int>* out) {
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        const std::size_t dash = part.find('-');
        const auto first = ParseCliInt(part.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : ParseCliInt(part.substr(dash + 1));
        if (!first || !last || *first < 0 || *last < *first) return false;
        for (int i = *first; i <= *last; ++i) out->push_back(i);
        if (comma == std::string_view::npos) break;
        text = text.substr(comma + 1);
        if (text.empty()) return false;
    }
    return !out->empty();
}

OperationOptionParse ParseOperationOption(const CliArgs& args, std::size_t* i,
                                          std::vector<CliOperation>* operations,
                                          std::string* problem) {
    if (const auto parsed = ParseCompositionOption(args, i, operations, problem);
        parsed != OperationOptionParse::NotAnOperation)
        return parsed;
    const std::string& arg = args[*i];
    if (ColorMaskOperation colorMask; ParseColorMaskOption(args, i, &colorMask, problem)) {
        if (!problem->empty()) return OperationOptionParse::Bad;
        CliOperation op{CliOperation::ColorMask};
        op.colorMask = colorMask;
        operations->push_back(op);
        return OperationOptionParse::Parsed;
    }
    if (arg == "--invert") {
        operations->push_back({CliOperation::Invert});
        return OperationOptionParse::Parsed;
    }
    if (arg == "--top-down" || arg == "--bottom-up") {
        operations->push_back(
            {CliOperation::Convert, arg == "--top-down" ? kConvertTopDown : kConvertBottomUp});
        return OperationOptionParse::Parsed;
    }
    if (arg != "--convert" && arg != "--rotate" && arg != "--flip" && arg != "--resize" &&
        arg != "--canvas" && arg != "--sizes")
        return OperationOptionParse::NotAnOperation;
    if (*i + 1 >= args.size()) {
        *problem = "'" + arg + "' needs a value";
        return OperationOptionParse::Bad;
    }
    const std::string& value = args[++*i];
    CliOperation op{CliOperation::Convert};
    if (arg == "--convert") {
        static const char* const kDepths[] = {"1", "4", "8", "16", "24", "32"};
        op.code = -1;
        for (int d = 0; d < 6; ++d)
            if (value == kDepths[d]) op.code = d;
        if (op.code < 0) {
            *problem = "bad depth '" + value + "'";
            return OperationOptionParse::Bad;
        }
    } else if (arg == "--rotate" || arg == "--flip") {
        op.kind = CliOperation::RotateFlip;
        if (arg == "--rotate" && value == "180")
            op.code = kRotate180;
        else if (arg == "--rotate" && value == "cw")
            op.code = kRotateClockwise;
        else if (arg == "--rotate" && value == "ccw")
            op.code = kRotateCounterClockwise;
        else if (arg == "--flip" && value == "vertical")
            op.code = kFlipVertical;
        else if (arg == "--flip" && value == "horizontal")
            op.code = kFlipHorizontal;
        else {
            *problem = "bad value '" + value + "' for " + arg;
            return OperationOptionParse::Bad;
        }
    } else if (arg == "--sizes") {
        op.kind = CliOperation::SizeSet;
        const auto spec = ParseSizeSetSpec(value);
        if (!spec) {
            *problem = "bad size set '" + value + "'";
            return OperationOptionParse::Bad;
        }
        op.sizeSet = *spec;
    } else if (arg == "--resize") {
        op.kind = CliOperation::Resize;
        const std::size_t colon = value.find(':');
        op.smooth = colon != std::string::npos && value.substr(colon + 1) == "smooth";
        if ((colon != std::string::npos && !op.smooth) ||
            !ParseSize(std::string_view(value).substr(0, colon), &op.width, &op.height)) {
            *problem = "bad size '" + value + "'";
            return OperationOptionParse::Bad;
        }
    } else {
        op.kind = CliOperation::Canvas;
        if (!ParseCanvas(value, &op)) {
            *problem = "bad canvas '" + value + "'";
            return OperationOptionParse::Bad;
        }
    }
    operations->push_back(op);
    return OperationOptionParse::Parsed;
}

namespace {

// Runs a menu command as the editor does. A disabled command has nothing to do
// here (the single selected item already has that depth or order, or nothing is
// selected), which is no failure.
static_assert(kCmdConvertBottomUp - kCmdConvert1Bit == kConvertBottomUp - kConvert1Bit);
static_assert(kCmdFlipHorizontal - kCmdRotate180 == kFlipHorizontal - kRotate180);

bool RunMenuCommand(CIconmillApp& app, CommandId id) {
    MemoryClipboard clipboard;
    const CommandOutcome outcome = RunCommand(id, app, clipboard, nullptr);
    return outcome == CommandOutcome::Done || outcome == CommandOutcome::Refused;
}

}  // namespace

bool RunCliOperation(CIconmillApp& app, OperationInteraction& ui, const CliOperation& op) {
    PictureRunOutcome outcome;
    switch (op.kind) {
        case CliOperation::Convert:
            return RunMenuCommand(app, static_cast<CommandId>(kCmdConvert1Bit + op.code));
        case CliOperation::RotateFlip:
            return RunMenuCommand(app, static_cast<CommandId>(kCmdRotate180 + op.code));
        case CliOperation::ColorMask:
            return RunColorMaskOperation(app, ui, op.colorMask);
        case CliOperation::Invert:
            InvertSelectedItems(app);
            return true;
        case CliOperation::SizeSet:
            return !CreateSizeSets(app, op.sizeSet).failed;
        case CliOperation::Resize:
        case CliOperation::Canvas:
            break;
        case CliOperation::Merge:
        case CliOperation::Split:
        case CliOperation::NewBitmap:
            return RunCompositionOperation(app, ui, op);
    }
    // The editor applies these to one item at a time; here to every selected
    // original, up to the first that reports a failure. An item that keeps its
    // size is no failure.
    CItemList& list = app.Items();
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM* item = list.Item(i);
        if (!item->IsSelected() || item->IsDuplicate()) continue;
        outcome = op.kind == CliOperation::Resize
                      ? ApplyImageResize(app, i, op.width, op.height, op.smooth)
                      : ApplyCanvasResize(app, i, op.width, op.height, op.anchor, op.fill);
        if (outcome.failed) return false;
    }
    return true;
}
