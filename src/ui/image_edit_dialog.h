// The pixel and palette editor ("Image Editor") on a private copy of one item's
// image: the palette group, the image group with the image control, the tool bar
// ("Pointer", "Pencil", "Fill with Color", "Color Picker", "Invert") and the
// colour swatch. The dialog changes only its working copy; after OK the caller
// writes it back with ApplyImageEdit (app/image_edit_commands.h) when
// IsModified().
#pragma once

#include <QColor>
#include <QDialog>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "ops/pixel_tools.h"
#include "platform/bitmap_types.h"

class CColorBoxWnd;
class CImageCtrl;
class CPaletteWnd;
class QAction;
class QGroupBox;
class QLabel;
class QToolBar;
struct tagILVITEM;

class CImageEditDialog : public QDialog {
    Q_OBJECT

public:
    enum Tool { kPointer = 0, kPencil = 1, kFill = 2, kPicker = 3 };
    using ColorChooser =
        std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)>;

    // Copies the picture of `item` (an original); the mask is shown, never changed.
    explicit CImageEditDialog(const tagILVITEM& item, QWidget* parent = nullptr);
    ~CImageEditDialog() override;

    bool IsModified() const { return modified_; }
    // The working colour table (empty above 8 bits) and pixels.
    std::span<const RgbQuad> ColorTable() const;
    std::span<const std::uint8_t> Bits() const { return bits_; }

    Tool CurrentTool() const { return tool_; }
    QColor CurrentColor() const { return color_; }
    // Acts as the tool bar's button of `tool` does (a second press: the Pointer).
    void ChooseTool(Tool tool);
    void Invert();

    // The dialog a palette double click opens; by default the colour dialog.
    void SetColorChooser(ColorChooser chooser) { chooser_ = std::move(chooser); }

    CImageCtrl* ImageControl() const { return image_; }
    CPaletteWnd* PaletteWindow() const { return palette_; }
    QGroupBox* PaletteGroup() const { return paletteGroup_; }
    QLabel* PaletteNote() const { return paletteNote_; }
    CColorBoxWnd* Swatch() const { return swatch_; }
    QAction* ToolAction(Tool tool) const { return toolActions_[tool]; }
    QAction* InvertAction() const { return invertAction_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::optional<RasterSurface> Surface();
    void SelectTool(Tool tool);
    void OnPressed(int x, int y);
    void OnDragged(int x, int y);
    void OnReleased(int x, int y);
    void OnPaletteClicked(int index);
    void OnPaletteDoubleClicked(int index);
    void Changed();

    std::vector<std::uint8_t> header_;  // header and working colour table
    std::vector<std::uint8_t> bits_;
    std::vector<std::uint8_t> mask_;
    int colorCount_ = 0;
    QColor color_ = Qt::black;
    Tool tool_ = kPointer;
    Tool beforePicker_ = kPointer;
    bool modified_ = false;
    std::optional<RasterSurface> strokeSurface_;
    PencilStroke stroke_;
    ColorChooser chooser_;

    QGroupBox* paletteGroup_;
    CPaletteWnd* palette_;
    QLabel* paletteNote_;
    CImageCtrl* image_;
    QToolBar* tools_;
    QAction* toolActions_[4] = {};
    QAction* invertAction_;
    CColorBoxWnd* swatch_;
};
