// The commands that start with a dialog of their own: New Empty Bitmap, Image
// Resize, Canvas Resize, Merge and Split. Each takes its item (or items) from
// the application's selection, runs its dialog over `parent`, and on OK calls
// the application's apply step; Cancel changes nothing.
#pragma once

class CIconmillApp;
class QWidget;

void RunNewEmptyBitmapCommand(CIconmillApp& app, QWidget* parent);
void RunImageResizeCommand(CIconmillApp& app, QWidget* parent);
void RunCanvasResizeCommand(CIconmillApp& app, QWidget* parent);
// With fewer than two items selected nothing happens.
void RunMergeCommand(CIconmillApp& app, QWidget* parent);
// The first selected item; without a selection nothing happens.
void RunSplitCommand(CIconmillApp& app, QWidget* parent);
