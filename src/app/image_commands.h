// The Convert and Rotate commands of the Image menu, and the apply step of the
// Image Resize and Canvas Resize commands: they change items of the application's
// list in place, with their masks, and talk to the user only through its
// interaction.
#pragma once

#include <cstdint>

class CIconmillApp;

// What a command over pictures did.
struct PictureRunOutcome {
    // Convert and Rotate: the run went to its end; the resize steps: the item changed.
    bool done = false;
    // A failure was reported: the picture's (which ends the command) or a mask's
    // (which does not).
    bool failed = false;
    explicit operator bool() const { return done; }
};

// The eight ids of the Convert submenu.
enum ConvertCommandId : int {
    kConvert1Bit = 0,
    kConvert4Bit,
    kConvert8Bit,
    kConvert16Bit,
    kConvert24Bit,
    kConvert32Bit,
    kConvertTopDown,
    kConvertBottomUp,
};

// Converts every selected original to the depth of `id`, or stores its rows in the
// order of `id`, in list order inside a cancellable busy state. Items that already
// have the depth or order, and duplicates, are skipped. For the depths other than
// 32, SHIFT held down at the start asks for the colour 32-bit pictures are
// flattened onto (black otherwise); cancelling that question changes nothing.
// Depth conversion leaves masks alone; the row-order ids reverse them with the
// picture; a mask that cannot be reversed is reported and the run goes on. The
// first failure of a picture is reported and ends the run (earlier items stay
// converted); ESC ends it after the current item. Not done when the run ended
// early (cancelled question, failure or ESC).
PictureRunOutcome ConvertSelectedItems(CIconmillApp& app, ConvertCommandId id);

// Rotates or flips (RotateFlipOperation) every selected original except 1 x 1
// pictures, with its mask, in a cancellable busy state; a cursor hot spot moves
// with its pixel (for the duplicates showing the picture too). A failure of the
// picture is reported with "(Image Rotate)" and ends the run; a failure of the
// mask shows the mask message and the run goes on, the item keeping its old mask
// when the size did not change and no mask when it did. Not done when the run
// ended early.
PictureRunOutcome RotateFlipSelectedItems(CIconmillApp& app, int operation);

// The apply steps of Image Resize (stretch to width x height) and Canvas Resize
// (anchor placement with `fill`; the mask's border is opaque) on the original at
// `index`, after their dialogs: nothing when the size is unchanged; a failure is
// reported with "(Image Resize)" or "(Canvas Resize)"; a failed mask shows the
// mask message and the item keeps no mask (its size no longer fits). The hot
// spots of the item and of its duplicates follow the picture (scaled and
// truncated, or moved with the anchor's offset), clamped into it. Done when the
// item was changed. Image Resize takes the nearest pixel, or with `smooth` blends
// (SmoothResizeImage; the mask still takes the nearest pixel).
PictureRunOutcome ApplyImageResize(CIconmillApp& app, int index, int width, int height,
                                   bool smooth = false);
PictureRunOutcome ApplyCanvasResize(CIconmillApp& app, int index, int width, int height,
                                 std::uint32_t anchor, std::uint32_t fill);
