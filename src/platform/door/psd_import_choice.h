// What the PSD import asks of the user, and the answer: which layers, and how
// they become items. Plain records, so that any interface can answer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap_types.h"

// The composition modes of the import.
enum PsdImportMode : int {
    PsdModeMerged = 0,               // every chosen layer blended into one image
    PsdModeSeparate = 1,             // each chosen layer an image of its own
    PsdModeBlendWithBackground = 2,  // each layer blended with the background layer
    PsdModeBlendWithPrevious = 3,    // each layer blended with all layers before it
};

struct PsdImportChoice {
    // The chosen layers: indices into PsdImportRequest::layers, in list order.
    std::vector<int> layers;
    int mode = PsdModeMerged;
    bool keepBackground = false;       // modes 2: add the background layer alone first
    bool maintainCoordinates = false;  // mode 1: place each layer on a document-sized canvas
    bool topLeftAsPosition = false;    // mode 1: the layer's top, left becomes the position
};

// A layer the user can choose: one that has a picture.
struct PsdLayerEntry {
    std::string name;  // UTF-8
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool hasAlpha = false;  // 32-bit picture with a transparency channel
    std::uint8_t opacity = 255;
    const DibHeader* header = nullptr;  // the picture, for a preview; owned by the parser
    const std::uint8_t* bits = nullptr;
};

struct PsdImportRequest {
    std::int32_t width = 0;  // the document
    std::int32_t height = 0;
    int colorMode = 0;
    int depth = 0;
    std::vector<PsdLayerEntry> layers;  // in file order
    // The options last chosen, with every layer chosen: the answer of an interface
    // that asks nobody. A dialog starts from its options with no layer checked.
    PsdImportChoice initial;
};
