#include "app/export_command.h"

#include <ostream>

#include "app/application.h"
#include "app/open_flows.h"
#include "cli/batch_interaction.h"
#include "cli/commands.h"
#include "formats/export/data_export.h"

const char* const kExportUsage =
    "export dib|bits FILE [--item N] -o OUT [--c-array [--type u8|u16|u32|u64] [--name NAME]\n"
    "       [--split N] [--per-line N] [--reverse]] [--psd-... as for info]\n"
    "    Opens FILE as info does and runs the Export DIB (dib: header, colour table and\n"
    "    pixel rows) or Export Bitmap Bits (bits: the pixel rows) command on item N\n"
    "    (default 0; a duplicate exports its reference's picture). Without --c-array\n"
    "    OUT gets the raw bytes; with it, C source arrays laid out by the Array Options:\n"
    "    element type (default u32), variable name (default dataChunk), largest number\n"
    "    of elements per array (default 2147483647), elements per line (default 8) and\n"
    "    reverse byte order (16-bit and wider elements). A file already at OUT is\n"
    "    replaced only when the new one is complete.\n";

namespace {

int Usage(std::ostream& err, const std::string& problem) {
    err << "iconmill-cli export: " << problem << '\n' << kExportUsage;
    return 2;
}

}  // namespace

int RunExportCommand(const CliArgs& args, std::ostream& out, std::ostream& err) {
    (void)out;
    std::vector<std::string> positional;
    std::string output;
    std::string itemText = "0";
    bool cArray = false;
    bool layoutGiven = false;
    CArrayOptionsInput layout = CArrayOptionsInputFrom(CArrayOptions{});
    BatchPsdOptions psd;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        if (ParsePsdOption(args, &i, &psd, &error)) {
            if (!error.empty()) return Usage(err, error);
            continue;
        }
        if (arg.empty() || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        const bool takesValue = arg == "--item" || arg == "-o" || arg == "--type" ||
                                arg == "--name" || arg == "--split" || arg == "--per-line";
        if (takesValue && i + 1 >= args.size()) return Usage(err, arg + " needs a value");
        if (arg == "--item") {
            itemText = args[++i];
        } else if (arg == "-o") {
            output = args[++i];
        } else if (arg == "--c-array") {
            cArray = true;
        } else if (arg == "--type") {
            const std::string& type = args[++i];
            const char* names[] = {"u8", "u16", "u32", "u64"};
            layout.elementType = -2;
            for (int t = 0; t < 4; ++t)
                if (type == names[t]) layout.elementType = t;
            if (layout.elementType < 0) return Usage(err, "--type: unknown type '" + type + "'");
            layoutGiven = true;
        } else if (arg == "--name") {
            layout.variableName = args[++i];
            layoutGiven = true;
        } else if (arg == "--split") {
            layout.splitCount = args[++i];
            layoutGiven = true;
        } else if (arg == "--per-line") {
            layout.elementsPerLine = args[++i];
            layoutGiven = true;
        } else if (arg == "--reverse") {
            layout.reverseBytes = true;
            layoutGiven = true;
        } else {
            return Usage(err, "unknown option '" + arg + "'");
        }
    }
    if (positional.size() != 2 || (positional[0] != "dib" && positional[0] != "bits"))
        return Usage(err, "expected dib or bits and one FILE");
    if (output.empty()) return Usage(err, "no output file (-o OUT)");
    if (layoutGiven && !cArray) return Usage(err, "array options need --c-array");
    if (itemText.empty() || itemText.size() > 9 ||
        itemText.find_first_not_of("0123456789") != std::string::npos)
        return Usage(err, "--item: expected an item index from 0");
    const int itemIndex = std::stoi(itemText);

    CArrayOptions options;
    if (cArray) {
        if (layout.variableName.size() > kMaxCArrayNameLength)
            return Usage(err, "--name: at most 64 characters");
        // The dialog's own check, with its messages.
        if (auto field = ValidateCArrayOptions(layout, &options))
            return Usage(err, CArrayOptionsFailureText(*field));
    }

    BatchInteraction ui(err);
    CIconmillApp app(ui);
    ui.psd = psd;
    if (!OpenPaths(app, {positional[1]}, false).Succeeded()) return 1;
    if (itemIndex >= app.Items().Count()) {
        err << "iconmill-cli export: no item " << itemIndex << " (" << positional[1] << " has "
            << app.Items().Count() << " items)\n";
        return 1;
    }
    for (int i = 0; i < app.Items().Count(); ++i) app.Items().SetSelected(i, i == itemIndex);

    const bool written =
        ExportItemDataTo(app, positional[0] == "dib" ? ExportKind::Dib : ExportKind::Bits, output,
                         cArray ? std::optional<CArrayOptions>(options) : std::nullopt);
    return written ? 0 : 1;
}
