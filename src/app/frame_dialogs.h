// The Frame Properties and Set Hot Spot commands: what their dialogs show, the
// checks their OK buttons make, and the apply steps (through frame_commands).
// The dialogs show the results; a rejected field is shown its message through
// the door and named, and the dialog focuses it with its whole text selected.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "anim/frame_edit.h"
#include "platform/bitmap_types.h"

class CIconmillApp;
class CItemList;
class Interaction;

// ---- Frame Properties ------------------------------------------------------

// The X, Y and Delay edits hold at most this many digits.
constexpr int kFramePropertiesEditLimit = 4;
// The Blending and Disposing lists; the index is the op value.
inline constexpr const char* kBlendListItems[] = {"Copy", "Over"};
inline constexpr const char* kDisposeListItems[] = {"None", "Background", "Previous"};

// The dialog's fields; a list index of -1 is no selection.
struct FramePropertiesForm {
    std::string x;
    std::string y;
    std::string delay;  // hundredths of a second
    int blendIndex = -1;
    int disposeIndex = -1;
};

// The fields the dialog opens with: with one selected item its position (as
// signed numbers), its delay in hundredths (truncated) and the list entries of
// its ops (none for a value outside a list); with several, all empty. Nullopt
// when nothing is selected (the command does nothing).
std::optional<FramePropertiesForm> FramePropertiesFormOf(const CItemList& list);

enum class FramePropertiesField { None, X, Y, Delay };

// OK: reads X, Y and Delay in this order as unsigned numbers; the first that is
// none (an empty field, a sign, a value the item cannot hold) shows "Please
// enter an integer value." and is returned, `edit` untouched. Otherwise `edit`
// gets the position, the delay x 10 milliseconds, blend op 1 for "Over" else
// 0, and dispose op 0 for "None", 2 for "Previous", else 1 (no selection is
// "Background"). None when `edit` was filled; ApplyFrameProperties
// (frame_commands.h) then sets it on every selected item.
FramePropertiesField AcceptFrameProperties(Interaction& ui, const FramePropertiesForm& form,
                                           FrameEdit* edit);

// ---- Set Hot Spot ----------------------------------------------------------

// The dialog's state: the item whose hot spot is set (the first selected one;
// a duplicate shows its reference's image but keeps its own hot spot), the hot
// spot shown and whether a pixel was picked.
struct HotSpotState {
    int item = -1;
    FrameEdit::HotSpot hotSpot;
    bool picked = false;
};

// The state the dialog opens with; nullopt when nothing is selected.
std::optional<HotSpotState> OpenHotSpot(const CIconmillApp& app);
// The hot spot label: "%d, %d".
std::string HotSpotText(const HotSpotState& state);
// The image control's label: "%dx%d, %u-bit" with the width, the stored height
// (negative for a top-down image) and the bit count.
std::string HotSpotImageLabel(const DibHeader& header);

// How the image control shows the image: its canvas size, the zoom and the
// scroll positions (image pixels), and the image size.
struct CanvasView {
    int clientWidth = 0;
    int clientHeight = 0;
    float zoom = 1.0f;
    int scrollX = 0;
    int scrollY = 0;
    int imageWidth = 0;
    int imageHeight = 0;  // |biHeight|
};

// The image pixel under a canvas point: the picture is the image scaled by the
// zoom (truncated), centred in each direction in which it is smaller than the
// canvas and starting at the scroll position; the pixel is ((point - picture
// edge) / zoom + scroll position), truncated. Nullopt when the point is outside
// the picture or the pixel outside the image.
struct CanvasPixel {
    int x = 0;
    int y = 0;
};
std::optional<CanvasPixel> CanvasPixelAt(const CanvasView& view, int pointX, int pointY);

// A left-button press on the canvas: picks the pixel under the point as the
// hot spot. False (nothing changes) for a point outside the image, or a pixel
// beyond what a hot spot holds (32767).
bool PickHotSpot(HotSpotState* state, const CanvasView& view, int pointX, int pointY);

// OK: with a pick, the item's hot spot becomes the picked point and the
// compilation is marked modified; without one nothing changes. True when set.
bool ApplyHotSpot(CIconmillApp& app, const HotSpotState& state);
