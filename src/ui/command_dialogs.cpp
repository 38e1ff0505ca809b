#include "ui/command_dialogs.h"

#include <QApplication>
#include <QCursor>

#include "app/application.h"
#include "app/image_commands.h"
#include "app/merge_split_commands.h"
#include "app/new_bitmap.h"
#include "app/resampling.h"
#include "app/resize_dialogs.h"
#include "ui/bitmap_attributes_dialog.h"
#include "ui/image_resize_dialogs.h"
#include "ui/merge_split_dialogs.h"

namespace {

// The wait cursor while an apply step runs.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void RunNewEmptyBitmapCommand(CIconmillApp& app, QWidget* parent) {
    CBitmapAttributesDialog dialog(BitmapAttributes{}, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    AppendEmptyBitmap(app, dialog.Values());
}

void RunImageResizeCommand(CIconmillApp& app, QWidget* parent) {
    const int index = ResizeCommandTarget(app);
    const tagILVITEM* item = app.Items().Item(index);
    if (!item) return;
    CImageResizeDialog dialog(*item, RememberedResampling(app.settings), parent);
    if (dialog.exec() != QDialog::Accepted) return;
    const WaitCursor wait;
    ApplyImageResizeWith(app, index, dialog.NewWidth(), dialog.NewHeight(),
                         dialog.ChosenResampling());
}

void RunCanvasResizeCommand(CIconmillApp& app, QWidget* parent) {
    const int index = ResizeCommandTarget(app);
    const tagILVITEM* item = app.Items().Item(index);
    if (!item) return;
    CCanvasResizeDialog dialog(*item, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    const WaitCursor wait;
    ApplyCanvasResize(app, index, dialog.NewWidth(), dialog.NewHeight(), dialog.Anchor(),
                      dialog.Fill());
}

void RunMergeCommand(CIconmillApp& app, QWidget* parent) {
    if (app.Items().GetSelectedCount() < 2) return;
    CMergeDialog dialog(DescribeMergeSelection(app.Items()), SelectedMergeSources(app.Items()),
                        parent);
    if (dialog.exec() != QDialog::Accepted) return;
    const WaitCursor wait;
    ApplyMerge(app, dialog.Options());
}

void RunSplitCommand(CIconmillApp& app, QWidget* parent) {
    const int index = app.Items().GetFirstSelected(nullptr);
    const tagILVITEM* item = app.Items().Item(index);
    if (!item) return;
    const tagILVITEM& picture = item->Image();
    CSplitDialog dialog(DescribeSplitItem(app.Items(), index), picture.header, picture.bits,
                        parent);
    if (dialog.exec() != QDialog::Accepted) return;
    const WaitCursor wait;
    ApplySplit(app, index, dialog.Options());
}
