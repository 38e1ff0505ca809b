// What the save dialogs hand to the save flows, as plain values: the save file
// dialog with its target choice and naming panel, the per-item dialog of a
// series, and the option dialogs of the animated targets.
#pragma once

#include <string>

// The save dialog, opened on an initial file name for `itemCount` items; the
// naming panel is shown when more than one item is to be saved.
struct SaveDialogRequest {
    std::string fileName;
    unsigned itemCount = 0;
};

// The targets of the save dialog's file types, in filter order, as the file
// format codes they select.
enum SaveTarget : int {
    SaveTargetNone = -1,
    SaveTargetBmpSeries = 0,       // "Bitmap Files (*.bmp)"
    SaveTargetPngSeries = 2,       // "PNG Files (*.png)"
    SaveTargetAnimatedPng = 3,     // "Animated PNG (*.png)"
    SaveTargetIcon = 5,            // "Icon Files (*.ico)"
    SaveTargetCursor = 6,          // "Cursor Files (*.cur)"
    SaveTargetAnimatedCursor = 7,  // "Animated Cursor Files (*.ani)"
};

// The confirmed save dialog: the path, the chosen file type and the naming
// panel's choice ("Use counter", the default, or "Ask for each item").
struct SaveDialogChoice {
    std::string path;
    SaveTarget target = SaveTargetBmpSeries;
    bool askForEachItem = false;
};

// The per-item dialog of a series named item by item: the initial name, the
// items still to come after this one (its text: "%u item(s) remain", or "Final
// item" for none), and the series' default extension and filter.
struct SeriesItemRequest {
    std::string fileName;
    unsigned remaining = 0;
    std::string defaultExtension;
    std::string filter;
};
