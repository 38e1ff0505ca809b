#include "ui/image_edit_dialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/image_view.h"
#include "core/dib.h"
#include "core/item.h"
#include "ops/mask_edit.h"
#include "ui/color_box.h"
#include "ui/image_ctrl.h"
#include "ui/palette_wnd.h"

namespace {

ColorRef ToColorRef(const QColor& c) {
    return RgbColor(c.red(), c.green(), c.blue());
}

QColor FromColorRef(ColorRef c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// The tools' cursors over the image.
QCursor ToolCursor(CImageEditDialog::Tool tool) {
    switch (tool) {
        case CImageEditDialog::kPencil:
            return QCursor(Qt::CrossCursor);
        case CImageEditDialog::kFill:
            return QCursor(Qt::PointingHandCursor);
        case CImageEditDialog::kPicker:
            return QCursor(Qt::WhatsThisCursor);
        case CImageEditDialog::kPointer:
            break;
    }
    return QCursor(Qt::ArrowCursor);
}

}  // namespace

CImageEditDialog::CImageEditDialog(const tagILVITEM& item, QWidget* parent)
    : QDialog(parent), chooser_(&CColorBoxWnd::ChooseWithColorDialog) {
    setWindowTitle(QStringLiteral("Image Editor"));
    const tagILVITEM& picture = item.Image();
    if (picture.header && picture.bits) {
        const auto* h = reinterpret_cast<const std::uint8_t*>(picture.header);
        header_.assign(h, h + picture.header->biSize + DibColorTableSize(picture.header));
        bits_.assign(picture.bits, picture.bits + DibImageSize(picture.header));
        if (picture.mask) mask_.assign(picture.mask, picture.mask + MaskBlockSize(picture.header));
        colorCount_ = static_cast<int>(DibColorTableSize(picture.header) / sizeof(RgbQuad));
    }
    const DibHeader* header =
        header_.empty() ? nullptr : reinterpret_cast<const DibHeader*>(header_.data());

    paletteGroup_ = new QGroupBox(QStringLiteral("&Palette (Linked to image)"), this);
    palette_ = new CPaletteWnd(paletteGroup_);
    palette_->setMinimumHeight(3 + 4 * CPaletteWnd::kPitch);
    paletteNote_ =
        new QLabel(QStringLiteral("Use double-click to set palette colors."), paletteGroup_);
    auto* paletteLayout = new QVBoxLayout(paletteGroup_);
    paletteLayout->addWidget(palette_);
    paletteLayout->addWidget(paletteNote_);
    if (colorCount_ > 0) {
        palette_->SetColors(DibColorTable(reinterpret_cast<DibHeader*>(header_.data())),
                            colorCount_);
    } else {
        palette_->SetColors(nullptr, 0);
        paletteGroup_->setEnabled(false);
    }
    connect(palette_, &CPaletteWnd::Clicked, this, &CImageEditDialog::OnPaletteClicked);
    connect(palette_, &CPaletteWnd::DoubleClicked, this, &CImageEditDialog::OnPaletteDoubleClicked);

    auto* imageGroup = new QGroupBox(QStringLiteral("&Image"), this);
    image_ = new CImageCtrl(imageGroup);
    image_->setMinimumSize(360, 280);
    image_->ShowBitmap(header, bits_.data(), mask_.empty() ? nullptr : mask_.data());
    image_->SetViewMode(0);
    image_->SetOverlays(kOverlayAll);
    image_->SetBackground(4);
    image_->SetLabel(QString::fromStdString(ImageSizeLabel(header)));
    CCanvasWnd* canvas = image_->Canvas();
    connect(canvas, &CCanvasWnd::Pressed, this, &CImageEditDialog::OnPressed);
    connect(canvas, &CCanvasWnd::Dragged, this, &CImageEditDialog::OnDragged);
    connect(canvas, &CCanvasWnd::Released, this, &CImageEditDialog::OnReleased);

    tools_ = new QToolBar(this);
    tools_->setOrientation(Qt::Vertical);
    tools_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools_->setAccessibleName(QStringLiteral("Tools"));
    const char* names[] = {"Pointer", "Pencil", "Fill with Color", "Color Picker"};
    for (int t = 0; t < 4; ++t) {
        QAction* action = tools_->addAction(QString::fromLatin1(names[t]));
        action->setToolTip(action->text());
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, t] { ChooseTool(static_cast<Tool>(t)); });
        toolActions_[t] = action;
    }
    tools_->addSeparator();
    invertAction_ = tools_->addAction(QStringLiteral("Invert"));
    invertAction_->setToolTip(invertAction_->text());
    connect(invertAction_, &QAction::triggered, this, &CImageEditDialog::Invert);
    tools_->addSeparator();
    swatch_ = new CColorBoxWnd(this);
    swatch_->setAccessibleName(QStringLiteral("Color"));
    swatch_->SetColor(color_);
    connect(swatch_, &CColorBoxWnd::ColorChosen, this, [this](const QColor& c) { color_ = c; });
    auto* toolColumn = new QVBoxLayout;
    toolColumn->addWidget(tools_);
    toolColumn->addWidget(swatch_);
    toolColumn->addStretch(1);
    auto* imageLayout = new QHBoxLayout(imageGroup);
    imageLayout->addWidget(image_, 1);
    imageLayout->addLayout(toolColumn);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paletteGroup_);
    layout->addWidget(imageGroup, 1);
    layout->addWidget(buttons);
    SelectTool(kPointer);
}

CImageEditDialog::~CImageEditDialog() = default;

std::span<const RgbQuad> CImageEditDialog::ColorTable() const {
    if (colorCount_ <= 0) return {};
    return {reinterpret_cast<const RgbQuad*>(
                header_.data() + reinterpret_cast<const DibHeader*>(header_.data())->biSize),
            static_cast<std::size_t>(colorCount_)};
}

std::optional<RasterSurface> CImageEditDialog::Surface() {
    if (header_.empty()) return std::nullopt;
    // Made afresh for each operation: the nearest-entry map follows the table.
    return RasterSurface::Over(reinterpret_cast<const DibHeader*>(header_.data()), bits_.data(),
                               bits_.size());
}

void CImageEditDialog::SelectTool(Tool tool) {
    if (tool == kPicker && tool_ != kPicker) beforePicker_ = tool_;
    tool_ = tool;
    stroke_.End();
    strokeSurface_.reset();
    for (int t = 0; t < 4; ++t) toolActions_[t]->setChecked(t == tool);
    image_->SetToolMode(tool != kPointer, ToolCursor(tool));
}

void CImageEditDialog::ChooseTool(Tool tool) {
    SelectTool(tool == tool_ && tool != kPointer ? kPointer : tool);
}

void CImageEditDialog::Changed() {
    modified_ = true;
    image_->Refresh();
    palette_->viewport()->update();
}

void CImageEditDialog::Invert() {
    SelectTool(kPointer);
    if (header_.empty()) return;
    if (InvertPixels(reinterpret_cast<const DibHeader*>(header_.data()), bits_.data(),
                     bits_.size()))
        Changed();
}

void CImageEditDialog::OnPressed(int x, int y) {
    switch (tool_) {
        case kPointer:
            return;
        case kPencil:
            strokeSurface_ = Surface();
            if (!strokeSurface_) return;
            stroke_.Begin(*strokeSurface_, x, y, ToColorRef(color_));
            Changed();
            return;
        case kFill:
            if (auto surface = Surface()) {
                FillArea(*surface, x, y, ToColorRef(color_));
                Changed();
            }
            return;
        case kPicker:
            if (auto surface = Surface()) {
                if (const auto picked = PickColor(surface->Image(), x, y)) {
                    color_ = FromColorRef(*picked);
                    swatch_->SetColor(color_);
                }
            }
            SelectTool(beforePicker_ == kPicker ? kPointer : beforePicker_);
            return;
    }
}

void CImageEditDialog::OnDragged(int x, int y) {
    if (tool_ != kPencil || !strokeSurface_) return;
    const bool wasActive = stroke_.Active();
    stroke_.MoveTo(*strokeSurface_, x, y, ToColorRef(color_));
    if (wasActive || stroke_.Active()) Changed();
}

void CImageEditDialog::OnReleased(int, int) {
    stroke_.End();
    strokeSurface_.reset();
}

void CImageEditDialog::OnPaletteClicked(int index) {
    if (index < 0 || index >= colorCount_) return;
    const RgbQuad& q = ColorTable()[static_cast<std::size_t>(index)];
    color_ = QColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
    swatch_->SetColor(color_);
}

void CImageEditDialog::OnPaletteDoubleClicked(int index) {
    if (index < 0 || index >= colorCount_ || !chooser_) return;
    RgbQuad* table = DibColorTable(reinterpret_cast<DibHeader*>(header_.data()));
    RgbQuad& q = table[index];
    const std::optional<QColor> chosen = chooser_(this, QColor(q.rgbRed, q.rgbGreen, q.rgbBlue));
    if (!chosen) return;
    q.rgbRed = static_cast<std::uint8_t>(chosen->red());
    q.rgbGreen = static_cast<std::uint8_t>(chosen->green());
    q.rgbBlue = static_cast<std::uint8_t>(chosen->blue());
    Changed();
}

void CImageEditDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && tool_ != kPointer) {
        SelectTool(kPointer);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
