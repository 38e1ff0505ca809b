// The view commands of the View menu and the zoom control's steps, on the
// application's view state and settings. Each tells the application's listener
// (OnViewChanged) when it changed something the window shows.
#pragma once

#include <string>

#include "core/item_list.h"

class CIconmillApp;

// The zoom control's track: positions 0 to 14 and the percent each stands for;
// 0 for the gap (3 to 6) that puts 100 % in the middle.
constexpr int kZoomPositions = 15;
constexpr double kZoomTable[kZoomPositions] = {12.5, 25, 50, 0, 0, 0, 0, 100,
                                               200,  300, 400, 500, 600, 700, 800};

// The first position whose value is exactly `percent`, or the last one.
int ZoomPositionOf(double percent);
// One valid step up or down from `position`; `position` itself at the end.
int ZoomInPosition(int position);
int ZoomOutPosition(int position);
// Where the track lands when dragged to `position`: a gap position snaps to 50 %
// when the last valid position was below 100 %, else to 100 %.
int SnapZoomPosition(int position, int lastValidPosition);
// The control's label: "12.5%", "25%", "800%".
std::string ZoomLabel(double percent);

// Puts the zoom control at `position`; the view takes its value when that lies
// in 12.5 to 800 % and differs from the view's, and the View > Zoom radio mark
// follows an exact match among the levels (without one it stays).
void SetZoomPosition(CIconmillApp& app, int position);
void ZoomIn(CIconmillApp& app);
void ZoomOut(CIconmillApp& app);
// A View > Zoom level command (12.5 % to 800 %).
void SetZoomLevel(CIconmillApp& app, int levelCommand);
// The view changed its zoom itself (factor, 1.0 = 100 %): the control and the
// radio mark follow.
void OnViewZoomed(CIconmillApp& app, double zoom);

void SetAlignment(CIconmillApp& app, int alignment);

// Sorts by the key, descending when the sort order is not ascending.
void SortItemsBy(CIconmillApp& app, SortKey key);
void SetSortAscending(CIconmillApp& app, bool ascending);

// Background kinds 0 to 4; the view's custom colour goes back to 0.
void SetBackground(CIconmillApp& app, int kind);
// The colour dialog, opened on black: OK makes the chosen colour the view's
// custom background (kind 5) and the "Custom Background" setting; Cancel
// changes nothing. False when cancelled.
bool ChooseCustomBackground(CIconmillApp& app);

void ToggleBoundingBox(CIconmillApp& app);
void TogglePreview(CIconmillApp& app, unsigned previewFlag);
void ToggleQuickInfo(CIconmillApp& app);
// Shows or hides a toolbar (its command id).
void ToggleToolbar(CIconmillApp& app, int toolbarCommand);
