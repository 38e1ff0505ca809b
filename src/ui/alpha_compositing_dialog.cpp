#include "ui/alpha_compositing_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <new>

#include "app/image_view.h"
#include "core/dib.h"
#include "core/item.h"
#include "ui/dialog_controls.h"
#include "ui/image_ctrl.h"
#include "ui/tool_cursors.h"

namespace {

const char* const kOptionTexts[kAlphaOptionCount] = {
    "Ori&ginal", "&Flat &value:", "&Pencil tool:", "P&re-multiplied", "Base on &Mask"};

QSlider* NewTrackBar(QWidget* parent, const QString& name) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(0, 255);
    slider->setValue(255);
    slider->setPageStep(16);
    slider->setEnabled(false);
    slider->setAccessibleName(name);
    slider->setMinimumWidth(140);
    return slider;
}

}  // namespace

CAlphaCompositingDialog::CAlphaCompositingDialog(const tagILVITEM& item, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Alpha Compositing"));
    const tagILVITEM& picture = item.Image();
    header_ = picture.header;
    source_ = picture.bits;
    mask_ = picture.mask;
    if (header_ && source_ && header_->biBitCount == 32) {
        try {
            bits_.assign(source_, source_ + DibImageSize(header_));
        } catch (const std::bad_alloc&) {
            bits_.clear();
        }
    }

    auto* group = new QGroupBox(QStringLiteral("&Set to:"), this);
    group->setAccessibleName(QStringLiteral("Set to"));
    auto* grid = new QGridLayout(group);
    for (int option = 0; option < kAlphaOptionCount; ++option) {
        auto* button = new QRadioButton(QString::fromLatin1(kOptionTexts[option]), group);
        button->setAccessibleName(QString(button->text()).remove('&').remove(':'));
        // A click on the option already chosen runs it again, as any other click.
        connect(button, &QRadioButton::clicked, this, [this, option] { Choose(option); });
        grid->addWidget(button, option, 0);
        options_[option] = button;
    }
    flat_ = NewTrackBar(group, QStringLiteral("Flat value"));
    pencil_ = NewTrackBar(group, QStringLiteral("Pencil value"));
    grid->addWidget(flat_, kAlphaFlatValue, 1);
    grid->addWidget(pencil_, kAlphaPencil, 1);
    grid->setRowStretch(kAlphaOptionCount, 1);
    options_[kAlphaOriginal]->setChecked(true);
    options_[kAlphaBaseOnMask]->setEnabled(mask_ != nullptr);
    // A move ends on release of the handle, or with each key or page step.
    connect(flat_, &QSlider::sliderReleased, this, &CAlphaCompositingDialog::OnFlatMoved);
    connect(flat_, &QSlider::valueChanged, this, [this] {
        if (!flat_->isSliderDown()) OnFlatMoved();
    });
    connect(pencil_, &QSlider::sliderReleased, this, &CAlphaCompositingDialog::OnPencilMoved);
    connect(pencil_, &QSlider::valueChanged, this, [this] {
        if (!pencil_->isSliderDown()) OnPencilMoved();
    });

    auto* previewGroup = new QGroupBox(QStringLiteral("Pre&view"), this);
    previewGroup->setAccessibleName(QStringLiteral("Preview"));
    image_ = new CImageCtrl(previewGroup);
    image_->setMinimumSize(300, 240);
    image_->SetOverlays(kOverlayAll);
    image_->SetBackground(4);
    if (IsValid()) {
        // The alpha channel is what this dialog edits, so the preview shows it
        // rather than the mask.
        image_->ShowBitmap(header_, bits_.data());
        image_->SetViewMode(kCanvasViewAlpha);
        image_->SetLabel(QString::fromStdString(ImageSizeLabel(header_)));
    }
    auto* previewLayout = new QVBoxLayout(previewGroup);
    previewLayout->addWidget(image_);
    CCanvasWnd* canvas = image_->Canvas();
    connect(canvas, &CCanvasWnd::Pressed, this, &CAlphaCompositingDialog::OnPoint);
    connect(canvas, &CCanvasWnd::Dragged, this, &CAlphaCompositingDialog::OnPoint);

    QDialogButtonBox* buttons = OkCancelBox(this);

    auto* side = new QVBoxLayout;
    side->addWidget(group);
    side->addStretch(1);
    side->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(side);
    layout->addWidget(previewGroup, 1);
}

CAlphaCompositingDialog::~CAlphaCompositingDialog() = default;

void CAlphaCompositingDialog::Run(int option, int value) {
    if (!IsValid()) return;
    {
        // Pre-multiplying a large picture takes a moment.
        WaitCursorScope wait;
        if (ApplyAlphaOption(header_, source_, mask_, bits_.data(), option, value) != ImageOk)
            return;
    }
    changed_ = true;
    image_->Refresh();
}

void CAlphaCompositingDialog::Choose(int option) {
    option_ = option;
    options_[option]->setChecked(true);
    // Each track bar is live only while its own option is the chosen one.
    flat_->setEnabled(option == kAlphaFlatValue);
    pencil_->setEnabled(option == kAlphaPencil);
    if (option == kAlphaPencil) {
        pencilValue_ = pencil_->value();
        image_->SetToolMode(true, PenCursor());
        return;
    }
    image_->SetToolMode(false);
    Run(option, option == kAlphaFlatValue ? flat_->value() : 0);
}

void CAlphaCompositingDialog::OnFlatMoved() {
    if (option_ == kAlphaFlatValue) Run(kAlphaFlatValue, flat_->value());
}

void CAlphaCompositingDialog::OnPencilMoved() {
    if (option_ == kAlphaPencil) pencilValue_ = pencil_->value();
}

void CAlphaCompositingDialog::OnPoint(int x, int y) {
    if (!IsPencilArmed() || !IsValid()) return;
    if (!AlphaPencilPoint(header_, bits_.data(), x, y, pencilValue_)) return;
    changed_ = true;
    image_->Refresh();
}
