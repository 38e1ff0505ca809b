#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>

#include "app/application.h"
#include "app/open_flows.h"
#include "cli/batch_interaction.h"
#include "cli/commands.h"
#include "cli/image_dump.h"
#include "cli/psd_cli_options.h"
#include "core/dib.h"

const char* const kInfoUsage =
    "info [--json] [--dump DIR] [--sequence once|follow] [--psd-mode M] [--psd-layers L]\n"
    "     [--psd-position P] [--psd-keep-background] FILE...\n"
    "    Opens the files as the editor's Open command does (one file: the compilation\n"
    "    type its extension gives; several: type none) and describes the compilation:\n"
    "    its type, path, play count and first-frame flag, then one line per item with\n"
    "    index, size (width x stored signed height), bit count, colour-table entries,\n"
    "    mask, hot spot, delay, blend, dispose, position and the item a duplicate\n"
    "    refers to. --json prints one JSON object instead; --dump DIR also writes each\n"
    "    item's picture as DIR/N.rgba (top-down R,G,B,A rows) and its mask as DIR/N.mask\n"
    "    (top-down rows, one byte per pixel, 1 transparent). After a failed file the\n"
    "    remaining files are read (the default answer).\n"
    "    PSD documents: the import dialog is answered by --psd-mode merged|separate|\n"
    "    blend-background|blend-all (default merged), --psd-layers all|N,N,... (positions\n"
    "    from 1 in the dialog's list of layers with pixels, file order; default all),\n"
    "    --psd-position canvas|topleft|none (separate mode; default canvas) and\n"
    "    --psd-keep-background (blend-background mode). --sequence answers the question\n"
    "    an animated cursor with a step sequence asks: once (the default, answering Yes)\n"
    "    adds each image once, follow (answering No) adds the images in the order of\n"
    "    the sequence, repeated images as duplicates.\n";

namespace {

const char* TypeName(CompilationType type) {
    switch (type) {
        case CompilationNone:
            return "none";
        case CompilationIcon:
            return "icon";
        case CompilationCursor:
            return "cursor";
        case CompilationAnimatedPng:
            return "animated PNG";
        case CompilationAnimatedCursor:
            return "animated cursor";
    }
    return "?";
}

nlohmann::json OptionsJson(CCompilation& compilation) {
    if (auto* png = compilation.AsAnimatedPng())
        return {{"interlaced", png->png.interlaced},
                {"grayscale", png->png.grayscale},
                {"filter", png->png.filter},
                {"compression", png->png.compression}};
    if (auto* ani = compilation.AsAnimatedCursor())
        return {{"name", ani->ani.name},
                {"artist", ani->ani.artist},
                {"perDirectory", ani->ani.imagesPerDirectory},
                {"individualRates", ani->ani.individualRates}};
    return nullptr;
}

nlohmann::json ItemJson(const CItemList& list, int index, bool withHashes) {
    const tagILVITEM& item = *list.Item(index);
    const tagILVITEM& image = item.Image();
    const DibHeader* header = image.header;
    nlohmann::json json = {
        {"index", index},
        {"width", header->biWidth},
        {"height", header->biHeight},
        {"bitCount", header->biBitCount},
        {"colors", DibColorCount(header)},
        {"mask", image.mask != nullptr},
        {"hotspot", {item.frameInfo.hotspotX, item.frameInfo.hotspotY}},
        {"delay", item.frameInfo.delay},
        {"blend", item.frameInfo.blendOp},
        {"dispose", item.frameInfo.disposeOp},
        {"x", item.x},
        {"y", item.y},
        {"duplicateOf", nullptr},
        {"rgbaSha256", nullptr},
        {"maskSha256", nullptr},
    };
    if (withHashes) {
        json["rgbaSha256"] = Sha256OfRows(
            [&](const RowSink& sink) { return ForEachRgbaRow(header, image.bits, sink); });
        if (image.mask)
            json["maskSha256"] = Sha256OfRows(
                [&](const RowSink& sink) { return ForEachMaskRow(header, image.mask, sink); });
    }
    if (item.IsDuplicate()) json["duplicateOf"] = list.IndexOf(item.reference);
    return json;
}

void PrintText(const nlohmann::json& info, std::ostream& out) {
    out << "type " << info["type"] << " (" << TypeName(info["type"].get<CompilationType>())
        << ")\n";
    out << "path " << (info["path"].is_null() ? "-" : info["path"].get<std::string>()) << '\n';
    out << "plays " << info["plays"] << '\n';
    out << "first frame excluded " << (info["firstFrameExcluded"].get<bool>() ? "yes" : "no")
        << '\n';
    if (!info["options"].is_null())
        out << "options "
            << info["options"].dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
            << '\n';
    out << "items " << info["items"].size() << '\n';
    for (const auto& item : info["items"]) {
        out << item["index"] << ": " << item["width"] << 'x' << item["height"] << ' '
            << item["bitCount"] << "-bit colors " << item["colors"] << " mask "
            << (item["mask"].get<bool>() ? "yes" : "no") << " hotspot " << item["hotspot"][0] << ','
            << item["hotspot"][1] << " delay " << item["delay"] << " blend " << item["blend"]
            << " dispose " << item["dispose"] << " position " << item["x"] << ',' << item["y"];
        if (!item["duplicateOf"].is_null()) out << " duplicate-of " << item["duplicateOf"];
        out << '\n';
    }
}

bool WriteRows(const std::filesystem::path& path, std::ostream& err,
               const std::function<bool(const RowSink&)>& produce) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    produce([&](const std::uint8_t* row, std::size_t size) {
        file.write(reinterpret_cast<const char*>(row), static_cast<std::streamsize>(size));
        return static_cast<bool>(file);
    });
    file.close();
    if (!file) err << "iconmill-cli: cannot write " << path.string() << '\n';
    return static_cast<bool>(file);
}

bool Dump(const CItemList& list, const std::filesystem::path& dir, std::ostream& err) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    for (int index = 0; index < list.Count(); ++index) {
        const tagILVITEM& image = list.Item(index)->Image();
        std::string stem = std::to_string(index);
        if (!WriteRows(dir / (stem + ".rgba"), err, [&](const RowSink& sink) {
                return ForEachRgbaRow(image.header, image.bits, sink);
            }))
            return false;
        if (image.mask && !WriteRows(dir / (stem + ".mask"), err, [&](const RowSink& sink) {
                return ForEachMaskRow(image.header, image.mask, sink);
            }))
            return false;
    }
    return true;
}

nlohmann::json InfoOf(CIconmillApp& app, bool withHashes) {
    CCompilation& compilation = app.Compilation();
    nlohmann::json info = {
        {"type", compilation.Type()},
        {"path", nullptr},
        {"plays", compilation.numPlays},
        {"firstFrameExcluded", compilation.firstFrameExcluded},
        {"options", OptionsJson(compilation)},
        {"items", nlohmann::json::array()},
    };
    if (const std::string* path = compilation.Path()) info["path"] = *path;
    for (int index = 0; index < app.Items().Count(); ++index)
        info["items"].push_back(ItemJson(app.Items(), index, withHashes));
    return info;
}

}  // namespace

std::string InfoJsonText(CIconmillApp& app) {
    return InfoOf(app, true).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

int RunInfoCommand(const CliArgs& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    std::string dumpDir;
    std::vector<std::string> files;
    bool optionsEnded = false;
    bool followSequence = false;
    BatchPsdOptions psd;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        if (!optionsEnded && ParsePsdOption(args, &i, &psd, &error)) {
            if (error.empty()) continue;
            err << "iconmill-cli info: " << error << '\n' << kInfoUsage;
            return 2;
        }
        if (optionsEnded || arg.empty() || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--dump" && i + 1 < args.size()) {
            dumpDir = args[++i];
        } else if (arg == "--sequence" && i + 1 < args.size() &&
                   (args[i + 1] == "once" || args[i + 1] == "follow")) {
            followSequence = args[++i] == "follow";
        } else {
            err << "iconmill-cli info: unknown option '" << arg << "'\n" << kInfoUsage;
            return 2;
        }
    }
    if (files.empty()) {
        err << "iconmill-cli info: no file given\n" << kInfoUsage;
        return 2;
    }

    BatchInteraction ui(err);
    ui.followAniSequence = followSequence;
    CIconmillApp app(ui);
    ui.psd = psd;
    const bool opened = OpenPaths(app, files, false).Succeeded();

    const nlohmann::json info = InfoOf(app, json);
    if (json) {
        out << info.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else {
        PrintText(info, out);
    }
    bool dumped = dumpDir.empty() || Dump(app.Items(), dumpDir, err);
    return opened && dumped ? 0 : 1;
}
