#include "ui/grayscale_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>
#include <new>

#include "core/dib.h"
#include "core/item.h"
#include "ui/color_box.h"
#include "ui/dialog_controls.h"
#include "ui/image_ctrl.h"
#include "ui/tool_cursors.h"

namespace {

const char* const kMethodTexts[kGrayscaleMethodCount] = {"Lightness", "Average", "Luma (TV)",
                                                         "Luma (HDTV- BT.709)"};

}  // namespace

CGrayscaleDialog::CGrayscaleDialog(const tagILVITEM& item, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Grayscale"));
    const tagILVITEM& picture = item.Image();
    source_ = picture.header;
    sourceBits_ = picture.bits;
    sourceMask_ = picture.mask;
    if (source_ && sourceBits_) {
        try {
            const auto* h = reinterpret_cast<const std::uint8_t*>(source_);
            header_.assign(h, h + source_->biSize + DibColorTableSize(source_));
            bits_.assign(sourceBits_, sourceBits_ + DibImageSize(source_));
        } catch (const std::bad_alloc&) {
            header_.clear();
            bits_.clear();
        }
    }

    auto* previewGroup = new QGroupBox(QStringLiteral("Pre&view"), this);
    previewGroup->setAccessibleName(QStringLiteral("Preview"));
    image_ = new CImageCtrl(previewGroup);
    image_->setMinimumSize(300, 240);
    image_->SetOverlays(kOverlayAll);
    image_->SetBackground(4);
    auto* previewLayout = new QVBoxLayout(previewGroup);
    previewLayout->addWidget(image_);
    connect(image_->Canvas(), &CCanvasWnd::Pressed, this, &CGrayscaleDialog::OnPressed);

    auto* methodLabel = new QLabel(QStringLiteral("&Method:"), this);
    methods_ = new QListWidget(this);
    methods_->setAccessibleName(QStringLiteral("Method"));
    methodLabel->setBuddy(methods_);
    for (const char* text : kMethodTexts) methods_->addItem(QString::fromLatin1(text));
    methods_->setSelectionMode(QAbstractItemView::SingleSelection);
    methods_->setCurrentRow(kGrayLumaBt709);
    methods_->setMaximumHeight(methods_->sizeHintForRow(0) * kGrayscaleMethodCount +
                               2 * methods_->frameWidth() + 4);
    connect(methods_, &QListWidget::itemSelectionChanged, this, &CGrayscaleDialog::Apply);

    preserve_ = new QCheckBox(QStringLiteral("&Preserve one of colors"), this);
    preserve_->setAccessibleName(QStringLiteral("Preserve one of colors"));
    connect(preserve_, &QCheckBox::toggled, this, &CGrayscaleDialog::OnPreserveToggled);
    colorBox_ = new CColorBoxWnd(this);
    colorBox_->setFixedSize(18, 18);
    colorBox_->setAccessibleName(QStringLiteral("Preserved color"));
    colorBox_->SetColor(Qt::black);
    connect(colorBox_, &CColorBoxWnd::ColorChosen, this, [this](const QColor& c) {
        preserved_ = RgbColor(c.red(), c.green(), c.blue());
        Apply();
    });
    pick_ = new QPushButton(QStringLiteral("P&ick"), this);
    pick_->setAccessibleName(QStringLiteral("Pick"));
    pick_->setCheckable(true);
    connect(pick_, &QPushButton::toggled, this, &CGrayscaleDialog::OnPickToggled);
    auto* colorRow = new QHBoxLayout;
    colorRow->addSpacing(20);
    colorRow->addWidget(colorBox_);
    colorRow->addWidget(pick_);
    colorRow->addStretch(1);

    QDialogButtonBox* buttons = OkCancelBox(this);

    auto* side = new QVBoxLayout;
    side->addWidget(methodLabel);
    side->addWidget(methods_);
    side->addSpacing(8);
    side->addWidget(preserve_);
    side->addLayout(colorRow);
    side->addStretch(1);
    side->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(previewGroup, 1);
    layout->addLayout(side);

    colorBox_->setEnabled(false);
    pick_->setEnabled(false);
    Apply();
}

CGrayscaleDialog::~CGrayscaleDialog() = default;

GrayscaleChoice CGrayscaleDialog::Choice() const {
    GrayscaleChoice choice;
    const QList<QListWidgetItem*> selected = methods_->selectedItems();
    choice.method =
        selected.isEmpty() ? std::nullopt : std::optional<int>(methods_->row(selected.front()));
    choice.preserve = preserve_->isChecked();
    choice.preserved = preserved_;
    return choice;
}

bool CGrayscaleDialog::IsPicking() const {
    return pick_->isChecked();
}

void CGrayscaleDialog::Apply() {
    if (!IsValid()) return;
    std::memcpy(header_.data(), source_, header_.size());
    std::memcpy(bits_.data(), sourceBits_, bits_.size());
    const GrayscaleChoice choice = Choice();
    if (choice.method) {
        WaitCursorScope wait;
        HeaderBlock header;
        Block bits;
        // The conversion's blocks have the working copy's sizes.
        if (GrayscaleImage(source_, sourceBits_, choice, &header, &bits) == ImageOk) {
            std::memcpy(header_.data(), header.get(), header_.size());
            std::memcpy(bits_.data(), bits.get(), bits_.size());
        }
    }
    if (!IsPicking()) ShowWorking();
}

void CGrayscaleDialog::ShowWorking() {
    image_->ShowBitmap(reinterpret_cast<const DibHeader*>(header_.data()), bits_.data(),
                       sourceMask_);
    image_->Refresh();
}

void CGrayscaleDialog::OnPreserveToggled(bool on) {
    if (!on) pick_->setChecked(false);
    colorBox_->setEnabled(on);
    pick_->setEnabled(on);
    Apply();
}

void CGrayscaleDialog::OnPickToggled(bool down) {
    if (!IsValid()) return;
    if (down) {
        image_->ShowBitmap(source_, sourceBits_, sourceMask_);
        image_->SetToolMode(true, PickerCursor());
    } else {
        image_->SetToolMode(false);
        ShowWorking();
    }
}

void CGrayscaleDialog::OnPressed(int x, int y) {
    if (!IsPicking() || x < 0 || y < 0) return;
    preserved_ = GrayscalePickColor(source_, sourceBits_, x, y);
    colorBox_->SetColor(QColor(RedOf(preserved_), GreenOf(preserved_), BlueOf(preserved_)));
    pick_->setChecked(false);
    Apply();
}
