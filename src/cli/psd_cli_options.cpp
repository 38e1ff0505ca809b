#include "cli/psd_cli_options.h"

#include "platform/door/psd_import_choice.h"

namespace {

std::optional<std::vector<int>> ParseLayerList(const std::string& text) {
    std::vector<int> layers;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string item = text.substr(start, comma - start);
        if (item.empty() || item.size() > 6 ||
            item.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        layers.push_back(std::stoi(item));
        start = comma + 1;
    }
    return layers;
}

}  // namespace

bool ParsePsdOption(const CliArgs& args, std::size_t* i, BatchPsdOptions* options,
                    std::string* error) {
    const std::string& arg = args[*i];
    if (arg == "--psd-keep-background") {
        options->keepBackground = true;
        return true;
    }
    if (arg != "--psd-mode" && arg != "--psd-layers" && arg != "--psd-position") return false;
    if (*i + 1 >= args.size()) {
        *error = arg + " needs a value";
        return true;
    }
    const std::string& value = args[++*i];
    if (arg == "--psd-mode") {
        if (value == "merged")
            options->mode = PsdModeMerged;
        else if (value == "separate")
            options->mode = PsdModeSeparate;
        else if (value == "blend-background")
            options->mode = PsdModeBlendWithBackground;
        else if (value == "blend-all")
            options->mode = PsdModeBlendWithPrevious;
        else
            *error = "--psd-mode: unknown mode '" + value + "'";
    } else if (arg == "--psd-layers") {
        if (value == "all") {
            options->layers.reset();
        } else if (auto layers = ParseLayerList(value)) {
            options->layers = std::move(layers);
        } else {
            *error = "--psd-layers: expected all or numbers such as 1,3 ('" + value + "')";
        }
    } else {
        using Position = BatchPsdOptions::Position;
        if (value == "canvas")
            options->position = Position::Canvas;
        else if (value == "topleft")
            options->position = Position::TopLeft;
        else if (value == "none")
            options->position = Position::None;
        else
            *error = "--psd-position: unknown position '" + value + "'";
    }
    return true;
}
