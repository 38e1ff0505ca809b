#include "ui/color_mask_dialogs.h"

#include "app/application.h"
#include "app/color_mask_commands.h"
#include "app/report.h"
#include "core/item.h"
#include "ui/alpha_compositing_dialog.h"
#include "ui/grayscale_dialog.h"
#include "ui/mask_edit_dialog.h"

void RunGrayscaleDialog(CIconmillApp& app, QWidget* parent) {
    const int index = ImageDialogItem(app);
    const tagILVITEM* item = app.Items().Item(index);
    if (!item) return;
    CGrayscaleDialog dialog(*item, parent);
    if (!dialog.IsValid()) {
        ReportOutOfMemory(app.Ui());
        return;
    }
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyGrayscale(app, index, dialog.Choice());
}

void RunAlphaCompositingDialog(CIconmillApp& app, QWidget* parent) {
    const int index = ImageDialogItem(app);
    const tagILVITEM* item = app.Items().Item(index);
    if (!item || !item->header || item->header->biBitCount != 32) return;
    CAlphaCompositingDialog dialog(*item, parent);
    if (!dialog.IsValid() || dialog.exec() != QDialog::Accepted) return;
    ApplyAlphaCompositing(app, index, dialog.Bits(), dialog.IsChanged());
}

void RunMaskEditDialog(CIconmillApp& app, QWidget* parent) {
    const int index = ImageDialogItem(app);
    const tagILVITEM* item = app.Items().Item(index);
    if (!item) return;
    CMaskEditDialog dialog(*item, parent);
    if (!dialog.IsValid() || dialog.exec() != QDialog::Accepted) return;
    ApplyMaskEdit(app, index, dialog.Mask(), dialog.IsChanged());
}
