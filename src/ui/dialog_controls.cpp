#include "ui/dialog_controls.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>

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

QDialogButtonBox* OkCancelBox(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    for (QAbstractButton* button : buttons->buttons()) NameAfterText(button);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void FocusAndSelect(QLineEdit* edit) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void RejectEntry(QDialog* dialog, const MessageRequest& message, QLineEdit* edit) {
    QtInteraction door(dialog, nullptr);
    door.ShowMessage(message);
    FocusAndSelect(edit);
}

namespace {

// Refuses typing that makes the text longer than the limit or than the text
// last shown, whichever is longer; a written text is never checked.
class TypedLengthValidator : public QValidator {
public:
    TypedLengthValidator(int limit, bool digitsOnly, QLineEdit* edit)
        : QValidator(edit), limit_(limit), digitsOnly_(digitsOnly) {
        shown_ = static_cast<int>(edit->text().size());
        QObject::connect(edit, &QLineEdit::textChanged, this,
                         [this](const QString& text) { shown_ = static_cast<int>(text.size()); });
    }

    State validate(QString& input, int&) const override {
        if (input.size() > std::max(limit_, shown_)) return Invalid;
        if (digitsOnly_)
            for (const QChar c : input)
                if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Invalid;
        return Acceptable;
    }

private:
    int limit_;
    bool digitsOnly_;
    int shown_ = 0;
};

}  // namespace

QLineEdit* TypedLengthEdit(int limit, bool digitsOnly, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new TypedLengthValidator(limit, digitsOnly, edit));
    return edit;
}

QLineEdit* DigitsEdit(int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}
