// Turning a parsed Photoshop document into items: an Indexed document's merged
// image at once; the chosen layers of an RGB document one by one, blended into
// one image, or blended step by step.
#pragma once

#include <cstdint>

#include "formats/psd/psd_parser.h"
#include "platform/door/psd_import_choice.h"

class CItemList;
class Interaction;

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

// Adds the document's images to the list. An RGB document first asks through
// ui.ChoosePsdImport, starting from *selectionCode and storing the new code there
// on OK. True when the import ran to its end; false when the dialog was cancelled
// or memory ran out (after telling the user). Items added before a failure stay;
// *added counts every item added, so that the caller can mark its compilation
// modified.
bool ImportPsdDocument(Interaction& ui, const CPSDParser& parser, CItemList& list,
                       std::int32_t* selectionCode, int* added);
