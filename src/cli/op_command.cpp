// iconmill-cli op: the editor's Convert, Rotate and resize commands over opened
// files, written out as a BMP series.
#include <cerrno>
#include <charconv>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/image_commands.h"
#include "app/report.h"
#include "app/text_format.h"
#include "cli/batch_interaction.h"
#include "cli/commands.h"
#include "core/bmp_file.h"
#include "ops/resize_image.h"
#include "ops/rotate_flip.h"
#include "platform/raster.h"

const char* const kOpUsage =
    "op FILE... [--select LIST] OPERATION... [--background RRGGBB] -o OUT.bmp\n"
    "    Opens the files as the editor's Open command does, selects the items of LIST\n"
    "    (indices as info prints them, e.g. 1,3-5; all items when absent), runs the\n"
    "    operations in the order given through the editor's commands (masks follow\n"
    "    their pictures, duplicates are skipped) and writes every item as a BMP\n"
    "    series: OUT.bmp, OUT002.bmp, OUT003.bmp, ... (existing files are replaced).\n"
    "    Operations:\n"
    "      --convert 1|4|8|16|24|32   bit depth (default colour tables, no dithering)\n"
    "      --top-down, --bottom-up    row order\n"
    "      --rotate 180|cw|ccw        rotation; --flip vertical|horizontal\n"
    "      --resize WxH               Image Resize (nearest pixel)\n"
    "      --canvas WxH[:ANCHOR[:RRGGBB]]  Canvas Resize; ANCHOR one of tl t tr l c r\n"
    "                                 bl b br (default c), border colour (default black)\n"
    "    --background RRGGBB, wherever it stands, is the colour 32-bit pictures are\n"
    "    flattened onto by every conversion (as SHIFT in the editor; default black).\n"
    "    A failing operation stops the run before anything is written.\n";

namespace {

struct Operation {
    enum Kind { Convert, RotateFlip, Resize, Canvas } kind;
    int code = 0;  // ConvertCommandId or RotateFlipOperation
    int width = 0;
    int height = 0;
    std::uint32_t anchor = kAnchorCenter | kAnchorMiddle;
    ColorRef fill = 0;
};

// The batch interaction with the SHIFT colour given on the command line.
class OpInteraction : public BatchInteraction {
  public:
    using BatchInteraction::BatchInteraction;
    std::optional<ColorRef> background;

    bool IsShiftDown() override { return background.has_value(); }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return background; }
};

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// RRGGBB as 0x00BBGGRR.
std::optional<ColorRef> ParseColor(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + 6, rgb, 16);
    if (error != std::errc() || end != text.data() + 6) return std::nullopt;
    return RgbColor(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                    static_cast<int>(rgb & 0xFF));
}

// WxH with both parts from 1 to 2147483647.
bool ParseSize(std::string_view text, int* width, int* height) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    const auto w = ParseInt(text.substr(0, x)), h = ParseInt(text.substr(x + 1));
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

bool ParseCanvas(std::string_view text, Operation* op) {
    const std::size_t first = text.find(':');
    if (!ParseSize(text.substr(0, first), &op->width, &op->height)) return false;
    if (first == std::string_view::npos) return true;
    const std::string_view rest = text.substr(first + 1);
    const std::size_t second = rest.find(':');
    const auto anchor = ParseAnchor(rest.substr(0, second));
    if (!anchor) return false;
    op->anchor = *anchor;
    if (second == std::string_view::npos) return true;
    const auto color = ParseColor(rest.substr(second + 1));
    if (!color) return false;
    op->fill = *color;
    return true;
}

// "1,3-5" as indices; false on a malformed list.
bool ParseSelection(std::string_view text, std::vector<int>* out) {
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        const std::size_t dash = part.find('-');
        const auto first = ParseInt(part.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : ParseInt(part.substr(dash + 1));
        if (!first || !last || *first < 0 || *last < *first) return false;
        for (int i = *first; i <= *last; ++i) out->push_back(i);
        if (comma == std::string_view::npos) break;
        text = text.substr(comma + 1);
        if (text.empty()) return false;
    }
    return !out->empty();
}

// Runs one operation over the selected items; false when it reported a failure.
bool RunOperation(CIconmillApp& app, OpInteraction& ui, const Operation& op) {
    switch (op.kind) {
        case Operation::Convert:
            return ConvertSelectedItems(app, static_cast<ConvertCommandId>(op.code)) && !ui.failed;
        case Operation::RotateFlip:
            return RotateFlipSelectedItems(app, op.code) && !ui.failed;
        case Operation::Resize:
        case Operation::Canvas:
            break;
    }
    // The editor applies these to one item at a time; here to every selected original.
    CItemList& list = app.Items();
    for (int i = 0; i < list.Count() && !ui.failed; ++i) {
        const tagILVITEM* item = list.Item(i);
        if (!item->IsSelected() || item->IsDuplicate()) continue;
        if (op.kind == Operation::Resize)
            ApplyImageResize(app, i, op.width, op.height);
        else
            ApplyCanvasResize(app, i, op.width, op.height, op.anchor, op.fill);
    }
    return !ui.failed;
}

// The name of the n-th file (from 1) of a series written to `path`.
std::string SeriesName(const std::string& path, unsigned n) {
    if (n == 1) return path;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    char number[16];
    std::snprintf(number, sizeof number, "%03u", n);
    return folder + PathTitle(path) + number + ".bmp";
}

int Usage(std::ostream& err, const std::string& problem) {
    err << "iconmill-cli op: " << problem << '\n' << kOpUsage;
    return 2;
}

}  // namespace

int RunOpCommand(const CliArgs& args, std::ostream& out, std::ostream& err) {
    (void)out;
    std::vector<std::string> files;
    std::vector<Operation> operations;
    std::vector<int> selection;
    std::optional<ColorRef> background;
    std::string output;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--top-down" || arg == "--bottom-up") {
            operations.push_back(
                {Operation::Convert, arg == "--top-down" ? kConvertTopDown : kConvertBottomUp});
            continue;
        }
        if (i + 1 >= args.size()) return Usage(err, "'" + arg + "' needs a value");
        const std::string& value = args[++i];
        Operation op{Operation::Convert};
        if (arg == "-o") {
            output = value;
        } else if (arg == "--select") {
            if (!ParseSelection(value, &selection)) return Usage(err, "bad list '" + value + "'");
        } else if (arg == "--background") {
            background = ParseColor(value);
            if (!background) return Usage(err, "bad colour '" + value + "'");
        } else if (arg == "--convert") {
            static const char* const kDepths[] = {"1", "4", "8", "16", "24", "32"};
            op.code = -1;
            for (int d = 0; d < 6; ++d)
                if (value == kDepths[d]) op.code = d;
            if (op.code < 0) return Usage(err, "bad depth '" + value + "'");
            operations.push_back(op);
        } else if (arg == "--rotate" || arg == "--flip") {
            op.kind = Operation::RotateFlip;
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
            else
                return Usage(err, "bad value '" + value + "' for " + arg);
            operations.push_back(op);
        } else if (arg == "--resize") {
            op.kind = Operation::Resize;
            if (!ParseSize(value, &op.width, &op.height))
                return Usage(err, "bad size '" + value + "'");
            operations.push_back(op);
        } else if (arg == "--canvas") {
            op.kind = Operation::Canvas;
            if (!ParseCanvas(value, &op)) return Usage(err, "bad canvas '" + value + "'");
            operations.push_back(op);
        } else {
            return Usage(err, "unknown option '" + arg + "'");
        }
    }
    if (files.empty()) return Usage(err, "no file given");
    if (output.empty()) return Usage(err, "no output given (-o OUT.bmp)");

    OpInteraction ui(err);
    ui.background = background;
    CIconmillApp app(ui);
    ui.pathsToChoose = files;
    if (!app.OpenFiles(false) || ui.failed) return 1;

    CItemList& list = app.Items();
    if (selection.empty()) {
        list.SelectAll();
    } else {
        for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, false);
        for (int index : selection) {
            if (index >= list.Count()) {
                err << "iconmill-cli op: no item " << index << " (the files hold " << list.Count()
                    << ")\n";
                return 2;
            }
            list.SetSelected(index, true);
        }
    }
    for (const Operation& op : operations)
        if (!RunOperation(app, ui, op)) return 1;

    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM& image = list.Item(i)->Image();
        const std::string name = SeriesName(output, static_cast<unsigned>(i + 1));
        const ImageResult result = WriteBmpFile(name.c_str(), image.header, image.bits);
        if (result != ImageOk)
            ReportImageResult(ui, false, result, result == ImageSystemError ? errno : 0,
                              name.c_str());
    }
    return ui.failed ? 1 : 0;
}
