// The save flows: Save, Save As and Save Selection, and the six ways a
// compilation is written - a series of BMP or PNG files, an animated PNG, an
// icon, a cursor or an animated cursor. The flows take each item's picture (its
// reference's for a duplicate) with the item's own position, timing and hot
// spot, ask for the target's options through the interaction, call the writer
// and report its failures. Every writer replaces a file only once the new one is
// complete, so a failed or cancelled save leaves the file that was there intact.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/ani/ani_save_options.h"
#include "formats/png/png_save_options.h"
#include "platform/door/save_choices.h"

class CIconmillApp;
class Interaction;
struct tagILVITEM;

// The save dialog's file types.
extern const char* const kSaveFileFilter;

// What a series wrote.
struct SeriesOutcome {
    unsigned written = 0;    // files written
    unsigned failed = 0;     // images whose file could not be written (reported)
    bool cancelled = false;  // the options, a per-item dialog or a replace question said Cancel
};

// Save: true when the compilation was written, or there was nothing to write
// (not modified). An empty list writes nothing and gives false. A compilation
// of type none or without a path goes through Save As. Icons and cursors are
// written to their path without a dialog; the animated types show their options
// dialog (filled from the compilation) while its ask-for-options flag is set and
// keep the values chosen. After a successful write the modified flag (and for
// the animated types the ask-for-options flag) is cleared.
bool SaveCompilation(CIconmillApp& app);

// Save As: the save dialog (initial name the title of the compilation's path,
// or "Untitled"), the target's options, the flow. After a successful write the
// compilation becomes one of the target's type with the new path (and the
// options chosen); after a series, whatever it wrote, a compilation of type
// none. True when the write succeeded, and always after a series; what the
// series wrote goes to *series when given (it is left alone for other targets).
bool SaveCompilationAs(CIconmillApp& app, SeriesOutcome* series = nullptr);

// Save Selection: as Save As for the selected items only, with the option
// dialogs at their defaults; the compilation is not changed. Nothing happens
// when nothing is selected. True when a file (every file of a series that was
// not skipped) was written.
bool SaveSelection(CIconmillApp& app);

// The save dialog for `itemCount` items opened on `fileName`.
std::optional<SaveDialogChoice> RunSaveDialog(Interaction& ui, const std::string& fileName,
                                              unsigned itemCount);

// Writes the items (or the selected ones) one file each, in list order: the
// first to `path`, the others named by the counter ("%s%s%03u.bmp" or ".png":
// folder, title, number from 2; an existing file asks "... already exists.\nDo
// you want to replace it?" - No skips the number, Cancel ends the series) or
// by a per-item dialog each (Cancel ends the series). PNG files first ask for
// the PNG options (Cancel writes nothing). Masks are not written. A file that
// cannot be written is reported and the series goes on.
SeriesOutcome SaveSeries(CIconmillApp& app, SaveTarget kind, const std::string& path,
                         bool selectedOnly, bool askForEachItem);

// Writes the items (or the selected ones) as an icon or cursor file, after the
// duplicated-resolutions warning (Cancel writes nothing). True when written.
bool SaveIconFile(CIconmillApp& app, bool cursor, const std::string& path, bool selectedOnly);

// The animated PNG flow's options: the dialog's values with the compilation's
// play count and first-frame setting.
struct AnimatedPngSaveOptions {
    PngSaveOptions png;
    std::uint32_t numPlays = 0;
    bool firstFrameExcluded = false;
};

// Writes the items (or the selected ones) as one animated PNG. Every picture
// must have the same bit count ("To perform this operation, the images
// bit-depth must be same."). The canvas is the largest width + x by the largest
// |height| + y; a first picture of another size is written as a canvas-sized
// copy with the picture at its item's place, and that frame then sits at
// (0, 0). True when written.
bool SaveAnimatedPng(CIconmillApp& app, const std::string& path, bool selectedOnly,
                     const AnimatedPngSaveOptions& options);

// Writes the items (or the selected ones) as an animated cursor with the options
// given (see MapItemsToAniInputs). True when written.
bool SaveAnimatedCursor(CIconmillApp& app, const std::string& path, bool selectedOnly,
                        const AniSaveOptions& options);

// The pieces the flows are made of, for the dialogs and the tests.

// The file name of image `number` (from 2) of a counter-named series.
std::string SeriesFileName(const std::string& folder, const std::string& title, unsigned number,
                           SaveTarget kind);
// The initial name of the per-item dialog: "%dx%d,%d-bit" (width, |height|, bits).
std::string SeriesItemInitialName(const tagILVITEM& picture);
// The naming panel's text "%u items to be save" and the per-item dialog's
// "%u item(s) remain" or "Final item".
std::string NamingPanelText(unsigned itemCount);
std::string SeriesItemDialogText(unsigned remaining);
// The lines of the duplicated-resolutions warning for these pictures: one
// "%dx%d, %d-bit" per pair with equal size (as stored) and bit count, at most 11,
// then "\n..."; empty when there is none.
std::string DuplicatedResolutions(const std::vector<const tagILVITEM*>& pictures);
// An item's delay in milliseconds as an animated PNG frame delay: milliseconds
// over 1000; a delay beyond 65535 ms, which that cannot hold, over the finest of
// 100, 10 and 1 that holds it (rounded to that unit; at most 65535 s).
struct PngFrameDelay {
    std::uint16_t numerator;
    std::uint16_t denominator;
};
PngFrameDelay PngDelayOf(std::uint32_t milliseconds);
