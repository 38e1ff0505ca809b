// The selection commands of the Edit menu, on the items in list order. Each
// tells the application's listener once when it is done.
#pragma once

class CIconmillApp;

void SelectAllItems(CIconmillApp& app);
void SelectNoItems(CIconmillApp& app);
void InvertSelection(CIconmillApp& app);

// With exactly one selected item that is a duplicate: deselects it and selects
// its reference. Otherwise nothing.
void SelectReference(CIconmillApp& app);

// With exactly one selected original: selects every duplicate of it instead
// (the original ends deselected). Otherwise nothing.
void SelectDuplications(CIconmillApp& app);

// Selects every unselected item whose picture (a duplicate's reference's) has
// the width and absolute height of some selected item's picture, and with
// `sameBitCount` (SHIFT held down) also its bit count. Items selected during
// the pass take part in later comparisons, which gives the same result. Nothing
// when no item is selected.
void SelectAllSames(CIconmillApp& app, bool sameBitCount);
