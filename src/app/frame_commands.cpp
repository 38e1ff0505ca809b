#include "app/frame_commands.h"

#include "app/application.h"

bool ApplyFrameProperties(CIconmillApp& app, const FrameEdit& edit) {
    if (ApplyFrameEditToSelection(app.Items(), edit) == 0) return false;
    app.SetModified();
    return true;
}

bool ApplyItemFrameEdit(CIconmillApp& app, int index, const FrameEdit& edit) {
    if (!ApplyFrameEdit(app.Items(), index, edit)) return false;
    app.SetModified();
    return true;
}

int AppendItemDuplicate(CIconmillApp& app, int index) {
    const int added = AppendDuplicateOf(app.Items(), index);
    if (added >= 0) app.SetModified();
    return added;
}
