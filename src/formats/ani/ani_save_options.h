// The options an animated cursor is saved with: the animated cursor options
// dialog's values and defaults, held by an animated cursor compilation and given
// to the writer.
#pragma once

#include <string>

struct AniSaveOptions {
    std::string name;    // UTF-8; stored as Windows-1252, empty: not stored
    std::string artist;  // likewise
    int imagesPerDirectory = 1;  // images per icon directory, 1 to 99
    bool individualRates = true;  // a rate per step rather than one for all
};
