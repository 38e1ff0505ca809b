// The apply steps of the Frame Properties and Set Hot Spot dialogs and the item
// edits of the command-line tool: the frame edits of src/anim on the
// application's list, marking the compilation modified.
#pragma once

#include "anim/frame_edit.h"

class CIconmillApp;

// Frame Properties OK: the values on every selected item. False (nothing
// marked) when none is selected.
bool ApplyFrameProperties(CIconmillApp& app, const FrameEdit& edit);

// The values on the item at `index` (Set Hot Spot OK gives only a hot spot).
// False when there is no such item.
bool ApplyItemFrameEdit(CIconmillApp& app, int index, const FrameEdit& edit);

// Appends a duplicate of the item's original; the new index, or -1.
int AppendItemDuplicate(CIconmillApp& app, int index);
