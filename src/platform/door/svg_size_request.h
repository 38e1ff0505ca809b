// What the SVG import asks before it renders a document: the size.
#pragma once

#include <string>

struct SvgSizeRequest {
    std::string fileName;  // shown in the dialog's title
    int ownWidth = 0;      // the document's own size in pixels
    int ownHeight = 0;
    // The side offered first: 0 for the document's own size, else a square side.
    int initial = 0;
};
