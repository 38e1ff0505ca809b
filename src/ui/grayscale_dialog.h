// The Grayscale dialog ("Grayscale"): the method list, the preserved colour
// (check box, colour box and the "P&ick" button that picks it from the source
// in the preview) and the preview of the converted working copy. The dialog
// converts only its copy; after OK the caller writes the item back with
// ApplyGrayscale(Choice()) (app/color_mask_commands.h), always.
#pragma once

#include <QDialog>
#include <cstdint>
#include <span>
#include <vector>

#include "ops/grayscale.h"
#include "platform/bitmap_types.h"

class CColorBoxWnd;
class CImageCtrl;
class QCheckBox;
class QListWidget;
class QPushButton;
struct tagILVITEM;

class CGrayscaleDialog : public QDialog {
    Q_OBJECT

public:
    // Keeps pointers to the picture of `item` (an original), which must outlive
    // the dialog, and makes its working copy; converts it by the default method.
    explicit CGrayscaleDialog(const tagILVITEM& item, QWidget* parent = nullptr);
    ~CGrayscaleDialog() override;

    // False when the working copy could not be allocated: the caller shows the
    // out-of-memory message instead of opening the dialog.
    bool IsValid() const { return !bits_.empty(); }

    // The method selected in the list (none: nullopt) and the preserved colour.
    GrayscaleChoice Choice() const;
    // The converted working copy: header with colour table, pixels.
    std::span<const std::uint8_t> WorkingHeader() const { return header_; }
    std::span<const std::uint8_t> WorkingBits() const { return bits_; }
    // True while "P&ick" is down and the preview shows the source.
    bool IsPicking() const;

    CImageCtrl* ImageControl() const { return image_; }
    QListWidget* MethodList() const { return methods_; }
    QCheckBox* PreserveCheck() const { return preserve_; }
    CColorBoxWnd* ColorBox() const { return colorBox_; }
    QPushButton* PickButton() const { return pick_; }

private:
    void Apply();
    void ShowWorking();
    void OnPreserveToggled(bool on);
    void OnPickToggled(bool down);
    void OnPressed(int x, int y);

    const DibHeader* source_ = nullptr;
    const std::uint8_t* sourceBits_ = nullptr;
    const std::uint8_t* sourceMask_ = nullptr;
    std::vector<std::uint8_t> header_;
    std::vector<std::uint8_t> bits_;
    ColorRef preserved_ = 0;

    CImageCtrl* image_;
    QListWidget* methods_;
    QCheckBox* preserve_;
    CColorBoxWnd* colorBox_;
    QPushButton* pick_;
};
