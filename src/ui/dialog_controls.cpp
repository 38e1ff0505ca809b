#include "ui/dialog_controls.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
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

QDialogButtonBox* DialogButtons(QDialog* dialog, QPushButton** preview) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    if (preview) {
        *preview = new QPushButton(QStringLiteral("&Preview"), buttons);
        (*preview)->setAutoDefault(false);
        buttons->addButton(*preview, QDialogButtonBox::ActionRole);
    }
    for (QAbstractButton* button : buttons->buttons()) NameAfterText(button);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
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
