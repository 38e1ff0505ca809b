#include "ui/dialog_controls.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "ui/qt_interaction.h"

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove('&').remove(':'));
    return label;
}

void NameAfterText(QAbstractButton* button) {
    button->setAccessibleName(QString(button->text()).remove('&'));
}

QWidget* DialogButtons(QDialog* dialog, QPushButton** preview) {
    auto* row = new QWidget(dialog);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    if (preview) {
        *preview = new QPushButton(QStringLiteral("&Preview"), row);
        (*preview)->setAutoDefault(false);
        NameAfterText(*preview);
        layout->addWidget(*preview);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, row);
    for (QAbstractButton* button : buttons->buttons()) NameAfterText(button);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons, 1);
    return row;
}

void RejectEntry(QDialog* dialog, const MessageRequest& message, QLineEdit* edit) {
    QtInteraction door(dialog, nullptr);
    door.ShowMessage(message);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

QLineEdit* DigitsEdit(int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}
