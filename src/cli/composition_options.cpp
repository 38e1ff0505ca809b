#include "cli/composition_options.h"

#include <optional>
#include <string_view>

#include "app/application.h"
#include "app/merge_split_commands.h"
#include "app/new_bitmap.h"
#include "cli/operation_options.h"

namespace {

struct MergeArgument {
    int perStrip = 0;
    StripOrientation orientation = StripOrientation::Horizontal;
    std::optional<ColorRef> fill;
    bool deleteSources = false;
};

struct SplitArgument {
    std::string across;  // the texts the dialog's edits would hold
    std::string down;
    bool deleteSource = false;
};

struct NewBitmapArgument {
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
std::optional<MergeArgument> ParseMergeArgument(std::string_view text) {
    MergeArgument argument;
    std::size_t colon = text.find(':');
    const auto k = ParseCliInt(text.substr(0, colon));
    if (!k) return std::nullopt;
    argument.perStrip = *k;
    int stage = 0;  // the next part allowed: 0 orientation, 1 fill, 2 delete, 3 none
    while (colon != std::string_view::npos) {
        text = text.substr(colon + 1);
        colon = text.find(':');
        const std::string_view part = text.substr(0, colon);
        if (stage == 0 && (part == "horizontal" || part == "vertical")) {
            argument.orientation =
                part == "vertical" ? StripOrientation::Vertical : StripOrientation::Horizontal;
            stage = 1;
        } else if (stage <= 1 && part.substr(0, 5) == "fill=") {
            argument.fill = ParseCliColor(part.substr(5));
            if (!argument.fill) return std::nullopt;
            stage = 2;
        } else if (stage <= 2 && part == "delete") {
            argument.deleteSources = true;
            stage = 3;
        } else {
            return std::nullopt;
        }
    }
    return argument;
}

// TXxTY[:delete].
std::optional<SplitArgument> ParseSplitArgument(std::string_view text) {
    SplitArgument argument;
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        if (text.substr(colon + 1) != "delete") return std::nullopt;
        argument.deleteSource = true;
        text = text.substr(0, colon);
    }
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    argument.across = std::string(text.substr(0, x));
    argument.down = std::string(text.substr(x + 1));
    if (!AllDigits(argument.across) || !AllDigits(argument.down)) return std::nullopt;
    return argument;
}

// WxH:BITS.
std::optional<NewBitmapArgument> ParseNewBitmapArgument(std::string_view text) {
    NewBitmapArgument argument;
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view size = text.substr(0, colon), bits = text.substr(colon + 1);
    const std::size_t x = size.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    argument.width = std::string(size.substr(0, x));
    argument.height = std::string(size.substr(x + 1));
    if (!AllDigits(argument.width) || !AllDigits(argument.height)) return std::nullopt;
    for (const char* depth : kBitDepthListItems) {
        const std::string_view name(depth);
        if (bits == name.substr(0, name.find('-')))
            argument.bitCount = static_cast<unsigned>(*ParseCliInt(bits));
    }
    if (argument.bitCount == 0) return std::nullopt;
    return argument;
}

bool RunMerge(CIconmillApp& app, OperationInteraction& ui, const MergeArgument& argument) {
    const MergeDialogSetup setup = DescribeMergeSelection(app.Items());
    MergeOptions options;
    options.parameters.perStrip = argument.perStrip;
    options.parameters.orientation = argument.orientation;
    options.parameters.fillBackground = argument.fill.has_value();
    options.parameters.fillColor = argument.fill.value_or(0);
    options.deleteSources = argument.deleteSources && setup.deleteAllowed;
    // With fewer than two items the editor offers no dialog; the builder refuses.
    if (setup.sourceCount >= 2) {
        const std::string stripText = std::to_string(argument.perStrip);
        MergeDialogEntries entries{stripText, argument.orientation, argument.fill.has_value(),
                                   argument.fill.value_or(0), argument.deleteSources};
        if (const auto rejection = AcceptMergeDialog(setup, entries, &options)) {
            ui.ShowMessage(rejection->message);
            return false;
        }
    }
    return ApplyMerge(app, options) && !ui.warned;
}

bool RunSplit(CIconmillApp& app, OperationInteraction& ui, const SplitArgument& argument) {
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
        AcceptSplitDialog(setup, {argument.across, argument.down, argument.deleteSource}, &options);
    for (const auto& rejection : rejections) ui.ShowMessage(rejection.message);
    if (!rejections.empty()) return false;
    return ApplySplit(app, index, options) && !ui.warned;
}

bool RunNewBitmap(CIconmillApp& app, OperationInteraction& ui, const NewBitmapArgument& argument) {
    BitmapAttributes attributes;
    const int depthIndex = BitDepthListIndex(static_cast<std::uint16_t>(argument.bitCount));
    if (AcceptBitmapAttributes(ui, argument.width, argument.height, depthIndex, &attributes) !=
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
    const bool parsed = op.kind == CliOperation::Merge   ? ParseMergeArgument(op.value).has_value()
                        : op.kind == CliOperation::Split ? ParseSplitArgument(op.value).has_value()
                                                         : ParseNewBitmapArgument(op.value).has_value();
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
            return RunMerge(app, ui, *ParseMergeArgument(op.value));
        case CliOperation::Split:
            return RunSplit(app, ui, *ParseSplitArgument(op.value));
        case CliOperation::NewBitmap:
            return RunNewBitmap(app, ui, *ParseNewBitmapArgument(op.value));
        default:
            return false;
    }
}
