// "Image Resize" and "Canvas Resize": the new size of the first selected item,
// with the current and new sizes in pixels and bytes and a Preview in the image
// viewer. The forms of app/resize_dialogs.h decide every text and check; after OK
// the caller applies Width() x Height() with ApplyImageResize or
// ApplyCanvasResize (app/image_commands.h).
#pragma once

#include <QDialog>
#include <cstdint>

#include "app/resampling.h"
#include "app/resize_dialogs.h"

class CColorBoxWnd;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct tagILVITEM;

// What both dialogs show of the picture and how they preview it.
class CResizeDialogBase : public QDialog {
    Q_OBJECT

public:
    int NewWidth() const { return newWidth_; }
    int NewHeight() const { return newHeight_; }

    QGroupBox* CurrentGroup() const { return currentGroup_; }
    QLabel* CurrentWidthLabel() const { return currentWidth_; }
    QLabel* CurrentHeightLabel() const { return currentHeight_; }
    QGroupBox* NewGroup() const { return newGroup_; }
    QLineEdit* WidthEdit() const { return width_; }
    QLineEdit* HeightEdit() const { return height_; }
    QPushButton* PreviewButton() const { return preview_; }

protected:
    // The picture (an original's blocks) is read for previews, never changed.
    CResizeDialogBase(const tagILVITEM& item, bool digitsOnly, QWidget* parent);

    // Builds the layout with `options` (the aspect box, or the relative box,
    // anchors and colour) between the new size's edits and the buttons.
    void Arrange(QWidget* options);
    // Shows a rejection; true when the entries were accepted into the size.
    bool Check(const std::optional<FieldRejection<ResizeField>>& rejection);
    // Shows the picture at the accepted size in the image viewer.
    // With `smooth` the picture is blended as Image Resize's smooth choice does.
    void ShowPreview(std::uint32_t placement, std::uint32_t fill, bool previewCaption,
                     bool smooth = false);

    const DibHeader* header_;
    const std::uint8_t* bits_;
    const std::uint8_t* mask_;
    ResizePicture picture_;
    int newWidth_ = 0;
    int newHeight_ = 0;

    QGroupBox* currentGroup_;
    QLabel* currentWidth_;
    QLabel* currentHeight_;
    QGroupBox* newGroup_;
    QLineEdit* width_;
    QLineEdit* height_;
    QPushButton* preview_ = nullptr;
};

class CImageResizeDialog : public CResizeDialogBase {
    Q_OBJECT

public:
    // `resampling` is the choice the dialog opens on (the remembered one).
    explicit CImageResizeDialog(const tagILVITEM& item,
                                Resampling resampling = Resampling::NearestPixel,
                                QWidget* parent = nullptr);

    QCheckBox* AspectBox() const { return aspect_; }
    QComboBox* ResamplingList() const { return resampling_; }
    // The "Resampling:" choice.
    Resampling ChosenResampling() const;

    void accept() override;
    void Preview();

private:
    void Refresh();

    ImageResizeForm form_;
    QCheckBox* aspect_;
    QComboBox* resampling_;
};

class CCanvasResizeDialog : public CResizeDialogBase {
    Q_OBJECT

public:
    explicit CCanvasResizeDialog(const tagILVITEM& item, QWidget* parent = nullptr);

    // After OK: the anchor's placement code and the extension colour (0x00BBGGRR).
    std::uint32_t Anchor() const { return anchor_; }
    std::uint32_t Fill() const { return fill_; }

    QCheckBox* RelativeBox() const { return relative_; }
    QRadioButton* AnchorButton(AnchorRow row, AnchorColumn column) const;
    CColorBoxWnd* ColorBox() const { return color_; }

    void accept() override;
    void Preview();

private:
    void Refresh();
    std::uint32_t CheckedAnchor() const;
    std::uint32_t ChosenFill() const;

    CanvasResizeForm form_;
    QCheckBox* relative_;
    QButtonGroup* anchors_;
    CColorBoxWnd* color_;
    std::uint32_t anchor_ = 0;
    std::uint32_t fill_ = 0;
};
