#include "ui/size_set_dialog.h"

#include <QCheckBox>
#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/dib.h"
#include "core/item.h"
#include "ops/smooth_resize.h"
#include "ui/dialog_controls.h"
#include "ui/image_ctrl.h"

namespace {

QCheckBox* CheckBox(const QString& text, const char* name, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString(text).remove('&'));
    return box;
}

}  // namespace

CSizeSetDialog::CSizeSetDialog(const tagILVITEM& source, SizeSetPreset preset, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("sizeSetDialog"));
    setWindowTitle(QStringLiteral("Create Size Set"));
    const tagILVITEM& picture = source.Image();
    // The preview scales the picture alone; the set itself also reads the mask.
    if (CopyDib(picture.header, picture.bits, &sourceHeader_, &sourceBits_) != ImageOk)
        sourceHeader_.reset();

    preset_ = new QComboBox(this);
    preset_->setObjectName(QStringLiteral("preset"));
    preset_->addItems({QStringLiteral("Windows icon (16, 20, 24, 32, 40, 48, 64, 256)"),
                       QStringLiteral("Windows cursor (32, 48, 64, 96, 128)"),
                       QStringLiteral("Favicon (16, 32, 48)"), QStringLiteral("Custom")});
    custom_ = new QLineEdit(this);
    custom_->setObjectName(QStringLiteral("customSizes"));
    custom_->setPlaceholderText(QStringLiteral("e.g. 16, 24, 32, 48"));

    depth32_ = CheckBox(QStringLiteral("32-bit with alpha"), "depth32", this);
    depth32_->setChecked(true);
    depth32_->setEnabled(false);
    depth8_ = CheckBox(QStringLiteral("&8-bit (halftone palette)"), "depth8", this);
    depth4_ = CheckBox(QStringLiteral("&4-bit (16 colours)"), "depth4", this);
    keep_ = CheckBox(QStringLiteral("&Keep the source image"), "keepSource", this);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00020"));
    problem_->hide();

    sizes_ = new QListWidget(this);
    sizes_->setObjectName(QStringLiteral("sizes"));
    sizes_->setAccessibleName(QStringLiteral("Sizes of the set"));
    sizes_->setMaximumWidth(110);
    preview_ = new CImageCtrl(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setAccessibleName(QStringLiteral("Preview"));
    preview_->setMinimumSize(280, 280);

    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("&Sizes:"), preset_, this), preset_);
    form->addRow(BuddyLabel(QStringLiteral("C&ustom sizes:"), custom_, this), custom_);
    auto* depths = new QGroupBox(QStringLiteral("Depths"), this);
    depths->setAccessibleName(QStringLiteral("Depths"));
    auto* depthLayout = new QVBoxLayout(depths);
    depthLayout->addWidget(depth32_);
    depthLayout->addWidget(depth8_);
    depthLayout->addWidget(depth4_);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(depths);
    left->addWidget(keep_);
    left->addWidget(problem_);
    left->addStretch();
    auto* previewRow = new QHBoxLayout;
    previewRow->addWidget(sizes_);
    previewRow->addWidget(preview_, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(previewRow, 1);

    QDialogButtonBox* buttons = OkCancelBox(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    preset_->setCurrentIndex(static_cast<int>(preset));
    connect(preset_, &QComboBox::currentIndexChanged, this, [this] { UpdateSizes(); });
    connect(custom_, &QLineEdit::textChanged, this, [this] { UpdateSizes(); });
    connect(sizes_, &QListWidget::currentRowChanged, this, [this] { UpdatePreview(); });
    UpdateSizes();
}

CSizeSetDialog::~CSizeSetDialog() = default;

SizeSetDialogValues CSizeSetDialog::Values() const {
    SizeSetDialogValues values;
    values.preset = static_cast<SizeSetPreset>(preset_->currentIndex());
    values.custom = custom_->text().toStdString();
    values.depth8 = depth8_->isChecked();
    values.depth4 = depth4_->isChecked();
    values.keepSource = keep_->isChecked();
    return values;
}

void CSizeSetDialog::UpdateSizes() {
    problem_->hide();
    const bool custom = preset_->currentIndex() == static_cast<int>(SizeSetPreset::Custom);
    custom_->setEnabled(custom);
    const QString current = sizes_->currentItem() ? sizes_->currentItem()->text() : QString();
    sizes_->clear();
    const std::optional<SizeSetOptions> options = SizeSetOptionsOf(Values());
    if (options)
        for (int size : options->sizes) sizes_->addItem(QStringLiteral("%1 × %1").arg(size));
    const auto kept = sizes_->findItems(current, Qt::MatchExactly);
    // Open on 48 (or the largest size below it) when nothing was chosen yet.
    int row = kept.isEmpty() ? -1 : sizes_->row(kept.first());
    if (row < 0 && options)
        for (std::size_t i = 0; i < options->sizes.size(); ++i)
            if (options->sizes[i] <= 48 || row < 0) row = static_cast<int>(i);
    sizes_->setCurrentRow(row);
    UpdatePreview();
}

void CSizeSetDialog::UpdatePreview() {
    const std::optional<SizeSetOptions> options = SizeSetOptionsOf(Values());
    const int row = sizes_->currentRow();
    if (!options || row < 0 || !sourceHeader_ ||
        static_cast<std::size_t>(row) >= options->sizes.size()) {
        preview_->ClearImage();
        return;
    }
    const int side = options->sizes[static_cast<std::size_t>(row)];
    HeaderBlock header;
    Block bits;
    if (SmoothResizeImage(sourceHeader_.get(), sourceBits_.get(), side, side, &header, &bits) !=
        ImageOk) {
        preview_->ClearImage();
        return;
    }
    previewHeader_ = std::move(header);
    previewBits_ = std::move(bits);
    preview_->SetImage(previewHeader_.get(), previewBits_.get());
}

void CSizeSetDialog::accept() {
    const std::optional<SizeSetOptions> options = SizeSetOptionsOf(Values());
    if (!options) {
        problem_->setText(QString::fromUtf8(kSizeSetListMessage));
        problem_->setAccessibleName(problem_->text());
        problem_->show();
        custom_->setFocus();
        custom_->selectAll();
        return;
    }
    options_ = *options;
    QDialog::accept();
}
