// "Create Size Set": the sizes (a preset or a custom list), the depths and
// whether the source stays, with a preview of the source at each size.
#pragma once

#include <QDialog>

#include "app/size_set.h"
#include "platform/block.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class CImageCtrl;
struct tagILVITEM;

class CSizeSetDialog : public QDialog {
    Q_OBJECT

public:
    // `source` is the item previewed (its picture is copied; the dialog never
    // changes it); `preset` the one the list opens on.
    CSizeSetDialog(const tagILVITEM& source, SizeSetPreset preset, QWidget* parent = nullptr);
    ~CSizeSetDialog() override;

    // The options chosen, valid after OK.
    const SizeSetOptions& Options() const { return options_; }

    QComboBox* PresetList() const { return preset_; }
    QLineEdit* CustomEdit() const { return custom_; }
    QCheckBox* Depth8Box() const { return depth8_; }
    QCheckBox* Depth4Box() const { return depth4_; }
    QCheckBox* KeepBox() const { return keep_; }
    QListWidget* SizeList() const { return sizes_; }
    CImageCtrl* Preview() const { return preview_; }
    // The line that says why OK was refused (hidden until then).
    QLabel* ProblemLabel() const { return problem_; }

    void accept() override;

private:
    SizeSetDialogValues Values() const;
    void UpdateSizes();
    void UpdatePreview();

    SizeSetOptions options_;
    HeaderBlock sourceHeader_;
    Block sourceBits_;
    HeaderBlock previewHeader_;
    Block previewBits_;
    QComboBox* preset_;
    QLineEdit* custom_;
    QCheckBox* depth32_;
    QCheckBox* depth8_;
    QCheckBox* depth4_;
    QCheckBox* keep_;
    QLabel* problem_;
    QListWidget* sizes_;
    CImageCtrl* preview_;
};
