#include "app/image_edit_commands.h"

#include <cstring>

#include "app/application.h"
#include "app/color_mask_commands.h"
#include "core/dib.h"
#include "ops/pixel_tools.h"

int ImageEditorItem(CIconmillApp& app) {
    return ImageDialogItem(app);
}

bool ApplyImageEdit(CIconmillApp& app, int index, std::span<const RgbQuad> colorTable,
                    std::span<const std::uint8_t> bits, bool changed) {
    tagILVITEM* item = app.Items().Item(index);
    if (!changed || !item || item->IsDuplicate() || !item->header || !item->bits) return false;
    if (colorTable.size() * sizeof(RgbQuad) != DibColorTableSize(item->header) ||
        bits.size() != DibImageSize(item->header))
        return false;
    if (!colorTable.empty())
        std::memcpy(DibColorTable(item->header), colorTable.data(),
                    colorTable.size() * sizeof(RgbQuad));
    std::memcpy(item->bits, bits.data(), bits.size());
    app.SetModified();
    app.NotifyPicturesChanged();
    return true;
}

int InvertSelectedItems(CIconmillApp& app) {
    int changed = 0;
    for (int i = 0; i < app.Items().Count(); ++i) {
        tagILVITEM* item = app.Items().Item(i);
        if (!item->IsSelected() || item->IsDuplicate()) continue;
        if (InvertPixels(item->header, item->bits, DibImageSize(item->header))) ++changed;
    }
    if (changed) {
        app.SetModified();
        app.NotifyPicturesChanged();
    }
    return changed;
}

int ViewerItem(const CIconmillApp& app) {
    const int index = app.Items().GetFirstSelected(nullptr);
    const tagILVITEM* item = app.Items().Item(index);
    if (!item) return -1;
    return item->IsDuplicate() ? app.Items().IndexOf(item->reference) : index;
}
