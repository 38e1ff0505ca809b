// Turning a parsed Photoshop document into items: an Indexed document's merged
// image at once; the chosen layers of an RGB document one by one, blended into
// one image, or blended step by step.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/psd/psd_parser.h"
#include "platform/door/psd_import_choice.h"

class CItemList;

// The remembered dialog choice ("PSD Import Dialog Selection"): 0 merged image;
// 2 blend with the background layer; 3 the same, keeping the background layer as
// an image; 4 blend with all previous layers; 6, 7, 8 not blended with the layer's
// coordinates kept on the document canvas, its top-left as the frame position, or
// no position. Any other code reads as 0.
PsdImportChoice PsdChoiceFromSelectionCode(std::int32_t code);
std::int32_t PsdSelectionCodeFromChoice(const PsdImportChoice& choice);

// The name of a header colour mode for the dialog's document line, or null.
const char* PsdColorModeName(int colorMode);

// What the options dialog shows for an RGB document: the layers that have a
// picture, in file order, and the remembered choice with every layer chosen.
PsdImportRequest MakePsdImportRequest(const CPSDParser& parser, std::int32_t selectionCode);

// What an import did. Items added before a failure stay.
struct PsdImportOutcome {
    int added = 0;          // items added, so that the caller can mark its compilation
    int outOfMemory = 0;    // images that could not be made for want of memory
    bool finished = false;  // ran to its end; false when memory ran out and it stopped
                            // or an Indexed document has no merged image
};

// An Indexed document: adds a copy of its merged image.
PsdImportOutcome ImportPsdMergedImage(const CPSDParser& parser, CItemList& list);

// The layers a choice names, in list order, each once; indices that
// PsdImportRequest::layers does not have are ignored.
std::vector<const CPSDLayer*> ChosenPsdLayers(const CPSDParser& parser,
                                              const PsdImportChoice& choice);

// An RGB document: adds the chosen layers (from ChosenPsdLayers) as the
// choice's mode says. Separate layers whose copy fails are counted and skipped;
// any other failed image stops the import. No layer: finished, nothing added.
PsdImportOutcome ImportPsdLayers(const CPSDParser& parser,
                                 const std::vector<const CPSDLayer*>& layers,
                                 const PsdImportChoice& choice, CItemList& list);
