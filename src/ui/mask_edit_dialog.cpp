#include "ui/mask_edit_dialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>
#include <cstring>
#include <new>

#include "core/dib.h"
#include "core/item.h"
#include "ui/dialog_controls.h"
#include "ui/image_ctrl.h"
#include "ui/tool_cursors.h"

namespace {

const char* const kToolTexts[CMaskEditDialog::kToolCount] = {
    "Pointer", "Black Pen", "White Pen", "Color Picker", "Add to Sample", "Subtract from Sample"};

bool IsSampler(CMaskEditDialog::Tool tool) {
    return tool >= CMaskEditDialog::kColorPicker;
}

CImageCtrl* NewPane(QGroupBox* group) {
    auto* pane = new CImageCtrl(group);
    pane->setMinimumSize(240, 220);
    pane->SetOverlays(kOverlayAll);
    pane->SetBackground(4);
    pane->SetViewModeButtonAllowed(false);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(pane);
    return pane;
}

}  // namespace

CMaskEditDialog::CMaskEditDialog(const tagILVITEM& item, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Mask Editor"));
    const tagILVITEM& picture = item.Image();
    const std::size_t maskSize = MaskBlockSize(picture.header);
    if (picture.header && picture.bits && maskSize) {
        try {
            const auto* h = reinterpret_cast<const std::uint8_t*>(picture.header);
            header_.assign(h, h + picture.header->biSize + DibColorTableSize(picture.header));
            bits_.assign(picture.bits, picture.bits + DibImageSize(picture.header));
            if (picture.mask)
                mask_.assign(picture.mask, picture.mask + maskSize);
            else
                mask_.assign(maskSize, 0);
            maskHeader_.emplace(*picture.header);
        } catch (const std::bad_alloc&) {
            header_.clear();
            bits_.clear();
            mask_.clear();
        }
    }

    auto* maskGroup = new QGroupBox(QStringLiteral("&Mask"), this);
    maskGroup->setAccessibleName(QStringLiteral("Mask"));
    maskPane_ = NewPane(maskGroup);
    // White (transparent) and black mask pixels both stand out from gray.
    maskPane_->SetBackground(2);
    CCanvasWnd* canvas = maskPane_->Canvas();
    connect(canvas, &CCanvasWnd::Pressed, this, &CMaskEditDialog::OnPressed);
    connect(canvas, &CCanvasWnd::Dragged, this, &CMaskEditDialog::OnDragged);
    connect(canvas, &CCanvasWnd::Released, this, [this] { stroke_.reset(); });

    tools_ = new QToolBar(this);
    tools_->setOrientation(Qt::Vertical);
    tools_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools_->setAccessibleName(QStringLiteral("Tools"));
    for (int t = 0; t < kToolCount; ++t) {
        QAction* action = tools_->addAction(QString::fromLatin1(kToolTexts[t]));
        action->setToolTip(action->text());
        action->setCheckable(true);
        tools_->widgetForAction(action)->setAccessibleName(action->text());
        connect(action, &QAction::triggered, this, [this, t] { ChooseTool(static_cast<Tool>(t)); });
        toolActions_[t] = action;
    }
    tools_->addSeparator();
    invertAction_ = tools_->addAction(QStringLiteral("Invert"));
    invertAction_->setToolTip(invertAction_->text());
    tools_->widgetForAction(invertAction_)->setAccessibleName(invertAction_->text());
    connect(invertAction_, &QAction::triggered, this, &CMaskEditDialog::Invert);

    auto* previewGroup = new QGroupBox(QStringLiteral("&Preview"), this);
    previewGroup->setAccessibleName(QStringLiteral("Preview"));
    preview_ = NewPane(previewGroup);
    if (IsValid()) {
        preview_->ShowBitmap(Picture(), bits_.data(), mask_.data());
        preview_->SetViewMode(kCanvasViewMask);
    }

    QDialogButtonBox* buttons = OkCancelBox(this);

    auto* toolColumn = new QVBoxLayout;
    toolColumn->addWidget(tools_);
    toolColumn->addStretch(1);
    auto* panes = new QHBoxLayout;
    panes->addWidget(maskGroup, 1);
    panes->addLayout(toolColumn);
    panes->addWidget(previewGroup, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addWidget(buttons);
    SelectTool(kPointer);
}

CMaskEditDialog::~CMaskEditDialog() = default;

const DibHeader* CMaskEditDialog::Picture() const {
    return header_.empty() ? nullptr : reinterpret_cast<const DibHeader*>(header_.data());
}

void CMaskEditDialog::SelectTool(Tool tool) {
    tool_ = tool;
    stroke_.reset();
    for (int t = 0; t < kToolCount; ++t) toolActions_[t]->setChecked(t == tool);
    if (!IsValid()) return;
    // The sampling tools pick from the picture, so the left pane shows it while
    // they are active; the pens draw on the mask.
    if (IsSampler(tool)) {
        maskPane_->ShowBitmap(Picture(), bits_.data());
        maskPane_->SetViewMode(kCanvasViewPure);
    } else {
        maskPane_->ShowBitmap(&maskHeader_->header, mask_.data());
        maskPane_->SetViewMode(kCanvasViewPure);
    }
    maskPane_->SetToolMode(tool != kPointer, IsSampler(tool) ? PickerCursor() : PenCursor());
}

void CMaskEditDialog::ChooseTool(Tool tool) {
    SelectTool(tool == tool_ ? kPointer : tool);
}

void CMaskEditDialog::Changed() {
    changed_ = true;
    maskPane_->Refresh();
    preview_->Refresh();
}

void CMaskEditDialog::Invert() {
    if (IsValid() && InvertMask(Picture(), mask_.data()) == ImageOk) changed_ = true;
    SelectTool(kPointer);
    preview_->Refresh();
}

void CMaskEditDialog::Pen(int x0, int y0, int x1, int y1) {
    if (MaskPenLine(Picture(), mask_.data(), x0, y0, x1, y1, tool_ == kWhitePen) != ImageOk) return;
    stroke_.emplace(x1, y1);
    Changed();
}

void CMaskEditDialog::OnPressed(int x, int y) {
    if (!IsValid() || x < 0 || y < 0) return;
    switch (tool_) {
        case kPointer:
            return;
        case kBlackPen:
        case kWhitePen:
            Pen(x, y, x, y);
            return;
        case kColorPicker:
        case kAddToSample:
        case kSubtractFromSample: {
            const ColorRef color = SampleColorAt(Picture(), bits_.data(), x, y);
            if (color != kInvalidColor) {
                WaitCursorScope wait;
                if (ApplyColorSample(Picture(), bits_.data(), mask_.data(), color,
                                     tool_ - kColorPicker) == ImageOk)
                    changed_ = true;
            }
            SelectTool(kPointer);
            preview_->Refresh();
            return;
        }
    }
}

void CMaskEditDialog::OnDragged(int x, int y) {
    if (tool_ != kBlackPen && tool_ != kWhitePen) return;
    // Leaving the picture ends the stroke; coming back in starts a new one.
    if (x < 0 || y < 0) {
        stroke_.reset();
        return;
    }
    if (stroke_)
        Pen(stroke_->first, stroke_->second, x, y);
    else
        Pen(x, y, x, y);
}

void CMaskEditDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && tool_ != kPointer) {
        SelectTool(kPointer);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CMaskEditDialog::event(QEvent* event) {
    // Losing the mouse to another window ends whatever tool was in use.
    if (event->type() == QEvent::WindowDeactivate && tool_ != kPointer) SelectTool(kPointer);
    return QDialog::event(event);
}
