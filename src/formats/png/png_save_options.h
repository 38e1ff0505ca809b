// The options a PNG or animated PNG is saved with: the "PNG Options" dialog's
// values and defaults, held by an animated PNG compilation and given to the
// encoder.
#pragma once

enum PngFilterOption : int {
    PngFilterOptionNone = 0,
    PngFilterOptionSub = 1,
    PngFilterOptionUp = 2,
    PngFilterOptionAverage = 3,
    PngFilterOptionPaeth = 4,
    PngFilterOptionBest = 5,  // chosen per row
};

enum PngCompressionOption : int {
    PngCompressionDefault = 0,  // zlib level -1
    PngCompressionNone = 1,     // level 0
    PngCompressionFast = 2,     // level 1 ("Best speed")
    PngCompressionBest = 3,     // level 9
};

// A filter outside 0-5 acts as Paeth, a compression outside 0-3 as Default.
struct PngSaveOptions {
    bool grayscale = false;
    bool interlaced = false;
    int filter = PngFilterOptionBest;
    int compression = PngCompressionDefault;
};
