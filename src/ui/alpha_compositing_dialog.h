// The Alpha Compositing dialog ("Alpha Compositing") of a 32-bit item: the
// options of "&Set to:" (AlphaOption order), the flat value and pencil track
// bars, and the preview of the working copy, where the armed pencil sets single
// alpha bytes. After OK the caller writes the working pixels back with
// ApplyAlphaCompositing(Bits(), IsChanged()) (app/color_mask_commands.h).
#pragma once

#include <QDialog>
#include <cstdint>
#include <span>
#include <vector>

#include "ops/alpha_compositing.h"
#include "platform/bitmap_types.h"

class CImageCtrl;
class QRadioButton;
class QSlider;
struct tagILVITEM;

class CAlphaCompositingDialog : public QDialog {
    Q_OBJECT

public:
    // Keeps pointers to the picture of `item` (an original of 32 bits), which must
    // outlive the dialog, and copies its pixels into the working copy.
    explicit CAlphaCompositingDialog(const tagILVITEM& item, QWidget* parent = nullptr);
    ~CAlphaCompositingDialog() override;

    // False when the item is not a 32-bit picture or the working copy could not
    // be made: the command then does nothing.
    bool IsValid() const { return !bits_.empty(); }

    // Set by every option but the arming of the pencil, and by every pencil point.
    bool IsChanged() const { return changed_; }
    std::span<const std::uint8_t> Bits() const { return bits_; }
    // The option last chosen (Original at start) and whether the pencil is armed.
    int CurrentOption() const { return option_; }
    bool IsPencilArmed() const { return option_ == kAlphaPencil; }
    int PencilValue() const { return pencilValue_; }

    CImageCtrl* ImageControl() const { return image_; }
    QRadioButton* OptionButton(int option) const { return options_[option]; }
    QSlider* FlatSlider() const { return flat_; }
    QSlider* PencilSlider() const { return pencil_; }

private:
    void Choose(int option);
    void OnFlatMoved();
    void OnPencilMoved();
    void OnPoint(int x, int y);
    void Run(int option, int value);

    const DibHeader* header_ = nullptr;
    const std::uint8_t* source_ = nullptr;
    const std::uint8_t* mask_ = nullptr;
    std::vector<std::uint8_t> bits_;
    int option_ = kAlphaOriginal;
    int pencilValue_ = 255;
    bool changed_ = false;

    QRadioButton* options_[kAlphaOptionCount] = {};
    QSlider* flat_;
    QSlider* pencil_;
    CImageCtrl* image_;
};
