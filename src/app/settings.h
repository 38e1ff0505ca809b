// The persisted settings of the application. The editor loads and stores them
// (QSettings, section "Settings"); the flows read them from here.
#pragma once

#include <cstdint>

struct CAppSettings {
    std::int32_t alignment = 0;               // "Alignment": 0 auto, 1 horizontal, 2 vertical
    std::int32_t background = 3;              // "Background": 0 black ... 5 custom
    std::int32_t customBackground = 0;        // "Custom Background": 0x00BBGGRR
    std::int32_t showBoundingBox = 0;         // "Show Image Bounding Box"
    std::int32_t displayQuickInfo = 1;        // "Display Quick Info"
    std::int32_t animatedCursorSequence = 0;  // "Animated Cursor Sequence": 0 ask, 1 once, 2 follow
    std::int32_t psdImportSelection = 0;      // "PSD Import Dialog Selection"
    std::int32_t resizeResampling = 0;        // "Resize Resampling": 0 nearest pixel, 1 smooth
    std::int32_t svgSize = 0;                 // "SVG Size": 0 the document's own, else a side
};
