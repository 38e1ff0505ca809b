// The cursors of the image tools, shared by the dialogs that paint on or pick
// from a preview: the pen (alpha pencil, mask pens) and the picker (colour
// picks and mask sampling), drawn once with the hot spot at the tip; and the
// wait cursor over the dialogs' longer loops.
#pragma once

#include <QCursor>

const QCursor& PenCursor();
const QCursor& PickerCursor();

// Shows the wait cursor over the whole application while it lives.
class WaitCursorScope {
public:
    WaitCursorScope();
    ~WaitCursorScope();
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;
};
