// "PSD Import Options": which layers of an RGB document become items, and how -
// merged into one image, one image per layer, or blended step by step - with a
// preview of the selected layer. It opens on the remembered choice.
#pragma once

#include <QDialog>

#include "platform/door/psd_import_choice.h"

class CImageCtrl;
class QAbstractButton;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class CPSDImportOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // `request` and the pictures it points at must outlive the dialog.
    explicit CPSDImportOptionsDialog(const PsdImportRequest& request, QWidget* parent = nullptr);

    // After OK: the checked layers in list order (indices of request.layers),
    // the mode and its flags as the buttons show them.
    const PsdImportChoice& Choice() const { return choice_; }

    QLabel* DocumentLine() const { return document_; }
    QTreeWidget* LayerList() const { return layers_; }
    QPushButton* SelectAllButton() const { return selectAll_; }
    CImageCtrl* Preview() const { return preview_; }
    // The option buttons, by the codes of the mode they stand for.
    QRadioButton* MergedButton() const { return merged_; }
    QRadioButton* SeparatedButton() const { return separated_; }
    QRadioButton* BlendBackgroundButton() const { return blendBackground_; }
    QCheckBox* KeepBackgroundBox() const { return keepBackground_; }
    QRadioButton* BlendPreviousButton() const { return blendPrevious_; }
    QRadioButton* NotBlendButton() const { return notBlend_; }
    QRadioButton* MaintainButton() const { return maintain_; }
    QRadioButton* TopLeftButton() const { return topLeft_; }
    QRadioButton* NoPositionButton() const { return noPosition_; }

    // With no layer checked: "No layer is selected." and the dialog stays open.
    void accept() override;

private:
    void ShowChoice(const PsdImportChoice& choice);
    void UpdateEnabling();
    void ShowPreview();

    const PsdImportRequest& request_;
    PsdImportChoice choice_;
    QLabel* document_;
    QTreeWidget* layers_;
    QPushButton* selectAll_;
    CImageCtrl* preview_;
    QRadioButton* merged_;
    QRadioButton* separated_;
    QRadioButton* blendBackground_;
    QCheckBox* keepBackground_;
    QRadioButton* blendPrevious_;
    QRadioButton* notBlend_;
    QRadioButton* maintain_;
    QRadioButton* topLeft_;
    QRadioButton* noPosition_;
};
