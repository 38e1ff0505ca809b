// The texts of the PSD Import Options dialog, from the import's request.
#pragma once

#include <array>
#include <string>

#include "platform/door/psd_import_choice.h"

// The document line: "%ux%u px, %s/%u Bits per Channel" (width, height, the
// colour mode's name - empty for a mode without one - and the depth).
std::string PsdDocumentLine(const PsdImportRequest& request);

// A layer's row: its name, "%dx%d" (width, height), "%d, %d, %d, %d" (left, top,
// right, bottom), "Yes" or "No" (a transparency channel), and "%u%%" of the
// opacity (opacity / 255 x 100 in single precision, truncated: 128 is 50%).
std::array<std::string, 5> PsdLayerRow(const PsdLayerEntry& layer);
