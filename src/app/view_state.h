// What the image list view shows and the frame's toggles, as plain state: the
// view commands change it, the list view paints from it. Alignment, background,
// bounding box and quick info persist through the settings; these do not.
#pragma once

#include <cstdint>

// The background kinds of the list view ("Background" setting).
enum ViewBackground : int {
    ViewBackgroundBlack = 0,
    ViewBackgroundWhite = 1,
    ViewBackgroundGray = 2,
    ViewBackgroundWindow = 3,
    ViewBackgroundTransparent = 4,  // the checkerboard
    ViewBackgroundCustom = 5,
};

// The item layout of the list view ("Alignment" setting).
enum ListAlignment : int {
    ListAlignmentAuto = 0,
    ListAlignmentHorizontal = 1,
    ListAlignmentVertical = 2,
};

constexpr unsigned kPreviewMask = 1;   // draw masked pictures through their mask
constexpr unsigned kPreviewAlpha = 2;  // draw 32-bit pictures through their alpha

struct CViewState {
    double zoom = 1.0;      // the view's scale factor
    int zoomPosition = 7;   // the zoom control's track position (100 %)
    int zoomMark = 32787;   // the View > Zoom level command with the radio mark
    bool sortAscending = true;
    unsigned previewFlags = kPreviewMask | kPreviewAlpha;
    std::uint32_t customColor = 0;  // the view's custom background, 0x00BBGGRR
    bool standardToolbar = true;
    bool imageEditorToolbar = true;
    bool typeToolbar = true;
};
