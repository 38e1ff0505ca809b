#include "anim/frame_edit.h"

namespace {

// Sets the values of one item; true when its position changed.
bool SetValues(tagILVITEM& item, const FrameEdit& edit) {
    FrameInfo& frame = item.frameInfo;
    if (edit.delay) frame.delay = *edit.delay;
    if (edit.blendOp) frame.blendOp = *edit.blendOp;
    if (edit.disposeOp) frame.disposeOp = *edit.disposeOp;
    if (edit.hotSpot) {
        frame.hotspotX = edit.hotSpot->x;
        frame.hotspotY = edit.hotSpot->y;
    }
    if (!edit.position) return false;
    item.x = edit.position->x;
    item.y = edit.position->y;
    return true;
}

}  // namespace

bool ApplyFrameEdit(CItemList& list, int index, const FrameEdit& edit) {
    tagILVITEM* item = list.Item(index);
    if (!item) return false;
    if (SetValues(*item, edit)) list.RecalcBounds(true);
    return true;
}

int ApplyFrameEditToSelection(CItemList& list, const FrameEdit& edit) {
    int changed = 0;
    bool moved = false;
    for (int i = 0; i < list.Count(); ++i) {
        tagILVITEM* item = list.Item(i);
        if (!item->IsSelected()) continue;
        moved = SetValues(*item, edit) || moved;
        ++changed;
    }
    if (moved) list.RecalcBounds(true);
    return changed;
}

int AppendDuplicateOf(CItemList& list, int index) {
    const tagILVITEM* item = list.Item(index);
    if (!item) return -1;
    const tagILVITEM* original = item->IsDuplicate() ? item->reference : item;
    return list.AddDuplicate(original->frameInfo, original->x, original->y,
                             list.IndexOf(original));
}
