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
#include "app/open_flows.h"
#include "app/report.h"
#include "app/text_format.h"
#include "cli/batch_interaction.h"
#include "cli/commands.h"
#include "cli/operation_options.h"
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
    "    series: OUT.bmp, OUT002.bmp, OUT003.bmp, ... (existing files are "
    "replaced).\n" ICONMILL_OPERATION_OPTIONS_USAGE
    "    --background RRGGBB, wherever it stands, is the colour 32-bit pictures are\n"
    "    flattened onto by every conversion (as SHIFT in the editor; default black).\n"
    "    A failing operation stops the run before anything is written.\n";

namespace {

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
    std::vector<CliOperation> operations;
    std::vector<int> selection;
    std::optional<ColorRef> background;
    std::optional<int> svgSize;
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
        std::string problem;
        switch (ParseOperationOption(args, &i, &operations, &problem)) {
            case OperationOptionParse::Parsed:
                continue;
            case OperationOptionParse::Bad:
                return Usage(err, problem);
            case OperationOptionParse::NotAnOperation:
                break;
        }
        if (i + 1 >= args.size()) return Usage(err, "'" + arg + "' needs a value");
        const std::string& value = args[++i];
        if (arg == "-o") {
            output = value;
        } else if (arg == "--select") {
            if (!ParseCliSelection(value, &selection))
                return Usage(err, "bad list '" + value + "'");
        } else if (arg == "--background") {
            background = ParseCliColor(value);
            if (!background) return Usage(err, "bad colour '" + value + "'");
        } else if (arg == "--svg-size") {
            svgSize = ParseCliSvgSize(value);
            if (!svgSize) return Usage(err, "bad size '" + value + "'");
        } else {
            return Usage(err, "unknown option '" + arg + "'");
        }
    }
    if (files.empty()) return Usage(err, "no file given");
    if (output.empty()) return Usage(err, "no output given (-o OUT.bmp)");

    OperationInteraction ui(err);
    ui.background = background;
    ui.svgSize = svgSize;
    CIconmillApp app(ui);
    if (!OpenPaths(app, files, false).Succeeded()) return 1;

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
    for (const CliOperation& op : operations)
        if (!RunCliOperation(app, ui, op)) return 1;

    bool written = true;
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM& image = list.Item(i)->Image();
        const std::string name = SeriesName(output, static_cast<unsigned>(i + 1));
        const ImageResult result = WriteBmpFile(name.c_str(), image.header, image.bits);
        if (result == ImageOk) continue;
        ReportImageResult(ui, false, result, result == ImageSystemError ? errno : 0, name.c_str());
        written = false;
    }
    return written ? 0 : 1;
}
