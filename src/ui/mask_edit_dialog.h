// The mask editor ("Mask Editor") of one item: the "&Mask" pane (the working
// mask, or the picture while a sampling tool is active), the tool bar
// ("Pointer", "Black Pen", "White Pen", "Color Picker", "Add to Sample",
// "Subtract from Sample", then "Invert") and the "&Preview" pane with the
// picture through the working mask. After OK the caller writes the mask back
// with ApplyMaskEdit(Mask(), IsChanged()) (app/color_mask_commands.h).
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "ops/mask_edit.h"
#include "platform/bitmap_types.h"

class CImageCtrl;
class QAction;
class QGroupBox;
class QToolBar;
struct tagILVITEM;

class CMaskEditDialog : public QDialog {
    Q_OBJECT

public:
    enum Tool {
        kPointer = 0,
        kBlackPen = 1,
        kWhitePen = 2,
        kColorPicker = 3,
        kAddToSample = 4,
        kSubtractFromSample = 5,
    };
    static constexpr int kToolCount = 6;

    // Copies the picture of `item` (an original) and its mask, or starts from an
    // all-opaque mask when it has none.
    explicit CMaskEditDialog(const tagILVITEM& item, QWidget* parent = nullptr);
    ~CMaskEditDialog() override;

    // False when the working copies could not be made: the command does nothing.
    bool IsValid() const { return !mask_.empty(); }

    bool IsChanged() const { return changed_; }
    std::span<const std::uint8_t> Mask() const { return mask_; }
    Tool CurrentTool() const { return tool_; }
    bool InStroke() const { return stroke_.has_value(); }

    // Acts as the tool bar's button of `tool` does (the active tool again: the
    // Pointer).
    void ChooseTool(Tool tool);
    void Invert();

    CImageCtrl* MaskControl() const { return maskPane_; }
    CImageCtrl* PreviewControl() const { return preview_; }
    QToolBar* ToolBar() const { return tools_; }
    QAction* ToolAction(Tool tool) const { return toolActions_[tool]; }
    QAction* InvertAction() const { return invertAction_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    const DibHeader* Picture() const;
    void SelectTool(Tool tool);
    void OnPressed(int x, int y);
    void OnDragged(int x, int y);
    void Pen(int x0, int y0, int x1, int y1);
    void Changed();

    std::vector<std::uint8_t> header_;  // the picture's header and colour table
    std::vector<std::uint8_t> bits_;
    std::optional<MaskDibHeader> maskHeader_;
    std::vector<std::uint8_t> mask_;
    Tool tool_ = kPointer;
    // The last point of the pen stroke in progress.
    std::optional<std::pair<int, int>> stroke_;
    bool changed_ = false;

    CImageCtrl* maskPane_;
    QToolBar* tools_;
    QAction* toolActions_[kToolCount] = {};
    QAction* invertAction_;
    CImageCtrl* preview_;
};
