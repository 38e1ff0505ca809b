// The command-line forms of Merge, Split and New Empty Bitmap, shared by op and
// convert: their option syntax and their run through the dialogs' checks and the
// editor's apply steps.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/commands.h"

class CIconmillApp;
class OperationInteraction;
struct CliOperation;
enum class OperationOptionParse;

#define ICONMILL_COMPOSITION_OPTIONS_USAGE                                                 \
    "      --merge K[:horizontal|vertical][:fill=RRGGBB][:delete]\n"                       \
    "                                 Merge the selected items into a new one, K per\n"   \
    "                                 strip (default horizontal, background not\n"       \
    "                                 filled); :delete removes the sources\n"             \
    "      --split TXxTY[:delete]     Split the first selected item into TX x TY new\n"   \
    "                                 tiles; :delete removes the item\n"                  \
    "      --new-bitmap WxH:BITS      New Empty Bitmap, white; BITS 1 4 8 16 24 32\n"     \
    "      Values the editor's dialogs refuse are reported with their messages\n"         \
    "      (exit code 1).\n"

// Parses args[*i] when it is --merge, --split or --new-bitmap, as
// ParseOperationOption does (it is called from there).
OperationOptionParse ParseCompositionOption(const CliArgs& args, std::size_t* i,
                                            std::vector<CliOperation>* operations,
                                            std::string* problem);

// Runs a Merge, Split or NewBitmap operation; false when it was refused or failed
// (the messages are on the error stream).
bool RunCompositionOperation(CIconmillApp& app, OperationInteraction& ui, const CliOperation& op);
