// "Frame Properties" - position, delay, blending and disposing of the selected
// items - and "Set Hot Spot" - the cursor hot spot of the first selected item,
// picked with the mouse on its image. Both check and apply through the
// application layer (app/frame_dialogs.h, app/frame_commands.h).
#pragma once

#include <QDialog>

#include "app/frame_dialogs.h"

class CIconmillApp;
class CImageCtrl;
class QComboBox;
class QLabel;
class QLineEdit;

class CFramePropertiesDialog : public QDialog {
    Q_OBJECT

public:
    CFramePropertiesDialog(const FramePropertiesForm& form, QWidget* parent = nullptr);

    // The values accepted with OK.
    const FrameEdit& Edit() const { return edit_; }

    QLineEdit* XEdit() const { return x_; }
    QLineEdit* YEdit() const { return y_; }
    QLineEdit* DelayEdit() const { return delay_; }
    QComboBox* BlendList() const { return blend_; }
    QComboBox* DisposeList() const { return dispose_; }

    void accept() override;

private:
    FrameEdit edit_;
    QLineEdit* x_;
    QLineEdit* y_;
    QLineEdit* delay_;
    QComboBox* blend_;
    QComboBox* dispose_;
};

class CHotSpotDialog : public QDialog {
    Q_OBJECT

public:
    // Shows the item's image (its reference's for a duplicate) from the list.
    CHotSpotDialog(const CIconmillApp& app, const HotSpotState& state, QWidget* parent = nullptr);

    const HotSpotState& State() const { return state_; }

    CImageCtrl* ImageControl() const { return image_; }
    QLabel* HotSpotLabel() const { return label_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HotSpotState state_;
    CImageCtrl* image_;
    QLabel* label_;
};

// The Frame Properties and Set Hot Spot commands: nothing without a selected
// item; the dialog, and on OK the application layer's apply step.
void RunFrameProperties(CIconmillApp& app, QWidget* parent);
void RunSetHotSpot(CIconmillApp& app, QWidget* parent);
