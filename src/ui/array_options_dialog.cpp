#include "ui/array_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/export_command.h"
#include "formats/export/data_export.h"
#include "platform/door/string_table.h"
#include "ui/dialog_controls.h"
#include "ui/qt_interaction.h"
#include "ui/up_down_edit.h"

namespace {

std::string ToStd(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

CArrayOptionsDialog::CArrayOptionsDialog(const CArrayOptions& initial, QWidget* parent)
    : QDialog(parent), options_(initial) {
    setObjectName(QStringLiteral("arrayOptionsDialog"));
    setWindowTitle(QStringLiteral("Array Options"));
    const CArrayOptionsInput input = CArrayOptionsInputFrom(initial);

    name_ = new QLineEdit(QString::fromStdString(input.variableName), this);
    name_->setObjectName(QStringLiteral("variableName"));
    name_->setMaxLength(int(kMaxCArrayNameLength));
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("dataType"));
    for (int type = CArrayUInt8; type <= CArrayUInt64; ++type)
        type_->addItem(QString::fromUtf8(CArrayElementTypeText(type)));
    type_->setCurrentIndex(input.elementType);
    split_ = new QLineEdit(QString::fromStdString(input.splitCount), this);
    split_->setObjectName(QStringLiteral("splitCount"));
    split_->setMaxLength(64);
    split_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), split_));
    perLine_ = new CUpDownEdit(1, kMaxCArrayElementsPerLine, this);
    perLine_->setObjectName(QStringLiteral("elementsPerLine"));
    perLine_->Line()->setText(QString::fromStdString(input.elementsPerLine));
    reverse_ = new QCheckBox(QStringLiteral("&Reverse bytes order"), this);
    reverse_->setObjectName(QStringLiteral("reverseBytes"));
    reverse_->setAccessibleName(QStringLiteral("Reverse bytes order"));
    reverse_->setChecked(input.reverseBytes);

    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("&Variable Name:"), name_, this), name_);
    form->addRow(BuddyLabel(QStringLiteral("&Data Type:"), type_, this), type_);
    form->addRow(BuddyLabel(QStringLiteral("&Split, Element Count:"), split_, this), split_);
    form->addRow(BuddyLabel(QStringLiteral("&Elements per Line:"), perLine_, this), perLine_);
    form->addRow(reverse_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QAbstractButton* button : buttons->buttons())
        button->setAccessibleName(QString(button->text()).remove('&'));
    connect(buttons, &QDialogButtonBox::accepted, this, &CArrayOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(type_, &QComboBox::currentIndexChanged, this, [this] { FollowType(); });
    FollowType();
}

void CArrayOptionsDialog::FollowType() {
    // Byte order means something only for elements of more than one byte.
    const bool multiByte = type_->currentIndex() > CArrayUInt8;
    if (!multiByte) reverse_->setChecked(false);
    reverse_->setEnabled(multiByte);
}

void CArrayOptionsDialog::accept() {
    CArrayOptionsInput input;
    input.variableName = ToStd(name_->text());
    input.elementType = type_->currentIndex();
    input.splitCount = ToStd(split_->text());
    input.elementsPerLine = ToStd(perLine_->Line()->text());
    input.reverseBytes = reverse_->isChecked();
    CArrayOptions chosen;
    const std::optional<CArrayOptionsField> refused = ValidateCArrayOptions(input, &chosen);
    if (!refused) {
        options_ = chosen;
        QDialog::accept();
        return;
    }
    QtInteraction door(this, nullptr);
    door.ShowMessage(
        {*refused == CArrayOptionsField::VariableName ? kStrVariableNameEmpty : kStrValueRange,
         CArrayOptionsFailureText(*refused), MessageIcon::Exclamation});
    QLineEdit* field = *refused == CArrayOptionsField::VariableName ? name_
                       : *refused == CArrayOptionsField::SplitCount ? split_
                                                                    : perLine_->Line();
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}
