#include "cli/color_mask_options.h"

#include <string_view>

#include "app/application.h"
#include "cli/batch_interaction.h"
#include "cli/operation_options.h"
#include "ops/alpha_compositing.h"

namespace {

bool ParseGrayscale(std::string_view value, GrayscaleChoice* choice) {
    static constexpr std::string_view kMethods[] = {"lightness", "average", "luma", "bt709"};
    const std::size_t colon = value.find(':');
    const std::string_view name = value.substr(0, colon);
    choice->method.reset();
    for (int m = 0; m < kGrayscaleMethodCount; ++m)
        if (name == kMethods[m]) choice->method = m;
    if (!choice->method) return false;
    choice->preserve = colon != std::string_view::npos;
    if (!choice->preserve) return true;
    const auto color = ParseCliColor(value.substr(colon + 1));
    if (!color) return false;
    choice->preserved = *color;
    return true;
}

bool ParseAlpha(std::string_view value, ColorMaskOperation* op) {
    if (value == "original") {
        op->alphaOption = kAlphaOriginal;
    } else if (value == "premultiplied") {
        op->alphaOption = kAlphaPremultiplied;
    } else if (value == "mask") {
        op->alphaOption = kAlphaBaseOnMask;
    } else if (value.starts_with("flat:")) {
        const auto v = ParseCliInt(value.substr(5));
        if (!v || *v < 0 || *v > 255) return false;
        op->alphaOption = kAlphaFlatValue;
        op->alphaValue = *v;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ParseColorMaskOption(const CliArgs& args, std::size_t* i, ColorMaskOperation* op,
                          std::string* problem) {
    const std::string& arg = args[*i];
    if (arg == "--mask-invert") {
        op->kind = ColorMaskOperation::Mask;
        op->tool = MaskTool::Invert;
        return true;
    }
    if (arg == "--delete-mask") {
        op->kind = ColorMaskOperation::DeleteMask;
        return true;
    }
    const bool sample = arg == "--mask-pick" || arg == "--mask-add" || arg == "--mask-subtract";
    if (!sample && arg != "--grayscale" && arg != "--alpha") return false;
    if (*i + 1 >= args.size()) {
        *problem = "'" + arg + "' needs a value";
        return true;
    }
    const std::string& value = args[++*i];
    bool parsed = false;
    if (arg == "--grayscale") {
        op->kind = ColorMaskOperation::Grayscale;
        parsed = ParseGrayscale(value, &op->grayscale);
    } else if (arg == "--alpha") {
        op->kind = ColorMaskOperation::Alpha;
        parsed = ParseAlpha(value, op);
    } else {
        op->kind = ColorMaskOperation::Mask;
        op->tool = arg == "--mask-pick"  ? MaskTool::Pick
                   : arg == "--mask-add" ? MaskTool::AddToSample
                                         : MaskTool::SubtractFromSample;
        const auto color = ParseCliColor(value);
        parsed = color.has_value();
        if (color) op->color = *color;
    }
    if (!parsed) *problem = "bad value '" + value + "' for " + arg;
    return true;
}

bool RunColorMaskOperation(CIconmillApp& app, BatchInteraction& ui, const ColorMaskOperation& op) {
    if (op.kind == ColorMaskOperation::DeleteMask) {
        DeleteSelectedMasks(app);
        return !ui.warned;
    }
    CItemList& list = app.Items();
    for (int i = 0; i < list.Count() && !ui.warned; ++i) {
        const tagILVITEM* item = list.Item(i);
        if (!item->IsSelected() || item->IsDuplicate()) continue;
        switch (op.kind) {
            case ColorMaskOperation::Grayscale:
                ApplyGrayscale(app, i, op.grayscale);
                break;
            case ColorMaskOperation::Alpha:
                ApplyAlphaOptionToItem(app, i, op.alphaOption, op.alphaValue);
                break;
            case ColorMaskOperation::Mask:
                ApplyMaskToolToItem(app, i, op.tool, op.color);
                break;
            case ColorMaskOperation::DeleteMask:
                break;
        }
    }
    return !ui.warned;
}
