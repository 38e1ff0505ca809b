// The cursors of the image tools, shared by the dialogs that paint on or pick
// from a preview: the pen (alpha pencil, mask pens) and the picker (colour
// picks and mask sampling). Drawn once, with the hot spot at the tip.
#pragma once

#include <QCursor>

const QCursor& PenCursor();
const QCursor& PickerCursor();
