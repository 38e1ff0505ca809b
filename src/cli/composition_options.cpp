#include "cli/composition_options.h"

#include <optional>
#include <string_view>

#include "app/application.h"
#include "app/merge_split_commands.h"
#include "app/new_bitmap.h"
#include "cli/operation_options.h"

namespace {

struct MergeSpec {
    int perStrip = 0;
    StripOrientation orientation = StripOrientation::Horizontal;
    std::optional<ColorRef> fill;
    bool deleteSources = false;
};

struct SplitSpec {
    std::string across;  // the texts the dialog's edits would hold
    std::string down;
    bool deleteSource = false;
};

struct NewBitmapSpec {
    std::string width;
    std::string height;
    unsigned bitCount = 0;
};

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// K[:horizontal|vertical][:fill=RRGGBB][:delete], the parts in this order.
std::optional<MergeSpec> ParseMergeSpec(std::string_view text) {
    MergeSpec spec;
    std::size_t colon = text.find(':');
    const auto k = ParseCliInt(text.substr(0, colon));
    if (!k) return std::nullopt;
    spec.perStrip = *k;
    int stage = 0;  // the next part allowed: 0 orientation, 1 fill, 2 delete, 3 none
    while (colon != std::string_view::npos) {
        text = text.substr(colon + 1);
        colon = text.find(':');
        const std::string_view part = text.substr(0, colon);
        if (stage == 0 && (part == "horizontal" || part == "vertical")) {
            spec.orientation =
                part == "vertical" ? StripOrientation::Vertical : StripOrientation::Horizontal;
            stage = 1;
        } else if (stage <= 1 && part.substr(0, 5) == "fill=") {
            spec.fill = ParseCliColor(part.substr(5));
            if (!spec.fill) return std::nullopt;
            stage = 2;
        } else if (stage <= 2 && part == "delete") {
            spec.deleteSources = true;
            stage = 3;
        } else {
            return std::nullopt;
        }
    }
    return spec;
}

// TXxTY[:delete].
std::optional<SplitSpec> ParseSplitSpec(std::string_view text) {
    SplitSpec spec;
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        if (text.substr(colon + 1) != "delete") return std::nullopt;
        spec.deleteSource = true;
        text = text.substr(0, colon);
    }
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    spec.across = std::string(text.substr(0, x));
    spec.down = std::string(text.substr(x + 1));
    if (!AllDigits(spec.across) || !AllDigits(spec.down)) return std::nullopt;
    return spec;
}

// WxH:BITS.
std::optional<NewBitmapSpec> ParseNewBitmapSpec(std::string_view text) {
    NewBitmapSpec spec;
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view size = text.substr(0, colon), bits = text.substr(colon + 1);
    const std::size_t x = size.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    spec.width = std::string(size.substr(0, x));
    spec.height = std::string(size.substr(x + 1));
    if (!AllDigits(spec.width) || !AllDigits(spec.height)) return std::nullopt;
    for (const char* depth : kBitDepthListItems) {
        const std::string_view name(depth);
        if (bits == name.substr(0, name.find('-')))
            spec.bitCount = static_cast<unsigned>(*ParseCliInt(bits));
    }
    if (spec.bitCount == 0) return std::nullopt;
    return spec;
}

bool RunMerge(CIconmillApp& app, OperationInteraction& ui, const MergeSpec& spec) {
    const MergeDialogSetup setup = DescribeMergeSelection(app.Items());
    MergeOptions options;
    options.parameters.perStrip = spec.perStrip;
    options.parameters.orientation = spec.orientation;
    options.parameters.fillBackground = spec.fill.has_value();
    options.parameters.fillColor = spec.fill.value_or(0);
    options.deleteSources = spec.deleteSources && setup.deleteAllowed;
    // With fewer than two items the editor offers no dialog; the builder refuses.
    if (setup.sourceCount >= 2) {
        const std::string stripText = std::to_string(spec.perStrip);
        MergeDialogEntries entries{stripText, spec.orientation, spec.fill.has_value(),
                                   spec.fill.value_or(0), spec.deleteSources};
        if (const auto rejection = AcceptMergeDialog(setup, entries, &options)) {
            ui.ShowMessage(rejection->message);
            return false;
        }
    }
    return ApplyMerge(app, options) && !ui.warned;
}

bool RunSplit(CIconmillApp& app, OperationInteraction& ui, const SplitSpec& spec) {
    const int index = app.Items().GetFirstSelected(nullptr);
    if (index < 0) {
        // The editor offers no Split without a selection; say why nothing happened.
        ui.ShowMessage({kStrNone, "iconmill-cli: --split: no item is selected",
                        MessageIcon::Exclamation});
        return false;
    }
    const SplitDialogSetup setup = DescribeSplitItem(app.Items(), index);
    SplitOptions options;
    const auto rejections =
        AcceptSplitDialog(setup, {spec.across, spec.down, spec.deleteSource}, &options);
    for (const auto& rejection : rejections) ui.ShowMessage(rejection.message);
    if (!rejections.empty()) return false;
    return ApplySplit(app, index, options) && !ui.warned;
}

bool RunNewBitmap(CIconmillApp& app, OperationInteraction& ui, const NewBitmapSpec& spec) {
    BitmapAttributes attributes;
    const int depthIndex = BitDepthListIndex(static_cast<std::uint16_t>(spec.bitCount));
    if (AcceptBitmapAttributes(ui, spec.width, spec.height, depthIndex, &attributes) !=
        BitmapAttributesField::None)
        return false;
    return AppendEmptyBitmap(app, attributes) && !ui.warned;
}

}  // namespace

OperationOptionParse ParseCompositionOption(const CliArgs& args, std::size_t* i,
                                            std::vector<CliOperation>* operations,
                                            std::string* problem) {
    const std::string& arg = args[*i];
    CliOperation op{CliOperation::Merge};
    if (arg == "--split")
        op.kind = CliOperation::Split;
    else if (arg == "--new-bitmap")
        op.kind = CliOperation::NewBitmap;
    else if (arg != "--merge")
        return OperationOptionParse::NotAnOperation;
    if (*i + 1 >= args.size()) {
        *problem = "'" + arg + "' needs a value";
        return OperationOptionParse::Bad;
    }
    op.value = args[++*i];
    const bool parsed = op.kind == CliOperation::Merge   ? ParseMergeSpec(op.value).has_value()
                        : op.kind == CliOperation::Split ? ParseSplitSpec(op.value).has_value()
                                                         : ParseNewBitmapSpec(op.value).has_value();
    if (!parsed) {
        *problem = "bad value '" + op.value + "' for " + arg;
        return OperationOptionParse::Bad;
    }
    operations->push_back(op);
    return OperationOptionParse::Parsed;
}

bool RunCompositionOperation(CIconmillApp& app, OperationInteraction& ui, const CliOperation& op) {
    // The value was checked when it was parsed.
    switch (op.kind) {
        case CliOperation::Merge:
            return RunMerge(app, ui, *ParseMergeSpec(op.value));
        case CliOperation::Split:
            return RunSplit(app, ui, *ParseSplitSpec(op.value));
        case CliOperation::NewBitmap:
            return RunNewBitmap(app, ui, *ParseNewBitmapSpec(op.value));
        default:
            return false;
    }
}
