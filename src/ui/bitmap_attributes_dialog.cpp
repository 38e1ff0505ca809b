#include "ui/bitmap_attributes_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/dialog_controls.h"
#include "ui/qt_interaction.h"

CBitmapAttributesDialog::CBitmapAttributesDialog(const BitmapAttributes& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setObjectName(QStringLiteral("bitmapAttributesDialog"));
    setWindowTitle(QStringLiteral("Bitmap Attributes"));
    width_ = DigitsEdit(kBitmapAttributesEditLimit, this);
    width_->setObjectName(QStringLiteral("width"));
    width_->setText(QString::number(values_.width));
    height_ = DigitsEdit(kBitmapAttributesEditLimit, this);
    height_->setObjectName(QStringLiteral("height"));
    height_->setText(QString::number(values_.height));
    depth_ = new QComboBox(this);
    depth_->setObjectName(QStringLiteral("bitDepth"));
    for (const char* item : kBitDepthListItems) depth_->addItem(QString::fromLatin1(item));
    depth_->setCurrentIndex(BitDepthListIndex(values_.bitCount));

    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("&Width:"), width_, this), width_);
    form->addRow(BuddyLabel(QStringLiteral("&Height:"), height_, this), height_);
    form->addRow(BuddyLabel(QStringLiteral("&Bit-depth:"), depth_, this), depth_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(DialogButtons(this));
    width_->setFocus();
    width_->selectAll();
}

void CBitmapAttributesDialog::accept() {
    QtInteraction door(this, nullptr);
    const BitmapAttributesField refused =
        AcceptBitmapAttributes(door, width_->text().toStdString(), height_->text().toStdString(),
                               depth_->currentIndex(), &values_);
    if (refused == BitmapAttributesField::None) {
        QDialog::accept();
        return;
    }
    QLineEdit* edit = refused == BitmapAttributesField::Width ? width_ : height_;
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}
