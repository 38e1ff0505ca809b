#include "ui/svg_size_dialog.h"
#include "ui/dialog_controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <iterator>

namespace {

// The sides offered besides the document's own: the size-set sizes.
constexpr int kSides[] = {16, 20, 24, 32, 40, 48, 64, 96, 128, 256, 512};
constexpr int kOwnRow = 0;
constexpr int kOtherRow = 1 + static_cast<int>(std::size(kSides));

}  // namespace

CSvgSizeDialog::CSvgSizeDialog(const SvgSizeRequest& request, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("svgSizeDialog"));
    setWindowTitle(QStringLiteral("SVG Import - %1").arg(QString::fromStdString(request.fileName)));
    sizes_ = new QComboBox(this);
    sizes_->setObjectName(QStringLiteral("renderSize"));
    sizes_->addItem(QStringLiteral("Document size (%1 × %2)").arg(request.ownWidth).arg(request.ownHeight));
    for (int side : kSides) sizes_->addItem(QStringLiteral("%1 × %1").arg(side));
    sizes_->addItem(QStringLiteral("Other"));
    other_ = new QSpinBox(this);
    other_->setObjectName(QStringLiteral("otherSize"));
    other_->setRange(1, 16384);
    other_->setSuffix(QStringLiteral(" pixels"));

    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("&Render size:"), sizes_, this), sizes_);
    form->addRow(BuddyLabel(QStringLiteral("&Other size:"), other_, this), other_);
    QDialogButtonBox* buttons = OkCancelBox(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    int row = kOwnRow;
    if (request.initial > 0) {
        row = kOtherRow;
        for (int i = 0; i < static_cast<int>(std::size(kSides)); ++i)
            if (kSides[i] == request.initial) row = 1 + i;
    }
    other_->setValue(request.initial > 0 ? request.initial : 256);
    sizes_->setCurrentIndex(row);
    other_->setEnabled(row == kOtherRow);
    connect(sizes_, &QComboBox::currentIndexChanged, this,
            [this](int index) { other_->setEnabled(index == kOtherRow); });
}

int CSvgSizeDialog::Side() const {
    const int row = sizes_->currentIndex();
    if (row == kOwnRow) return 0;
    if (row == kOtherRow) return other_->value();
    return kSides[row - 1];
}
