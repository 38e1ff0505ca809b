// The options that answer the PSD import's dialog on the command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

struct BatchPsdOptions {
    enum class Position { Canvas, TopLeft, None };

    int mode = 0;  // PsdImportMode
    // Positions (from 1) in the dialog's list of layers with pixels; nullopt: all.
    std::optional<std::vector<int>> layers;
    Position position = Position::Canvas;
    bool keepBackground = false;
};

// Reads the option at args[*i] (and its value, advancing *i) when it is one of
// --psd-mode, --psd-layers, --psd-position or --psd-keep-background. Returns
// false when args[*i] is another argument; sets *error for a bad value.
bool ParsePsdOption(const CliArgs& args, std::size_t* i, BatchPsdOptions* options,
                    std::string* error);
