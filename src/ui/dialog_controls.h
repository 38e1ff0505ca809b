// Small pieces the command dialogs share: labelled controls carrying their
// accessible names, the OK / Cancel row with an optional "&Preview", and
// showing a rejected entry (its message, then the focus with the text selected).
#pragma once

#include <QString>

#include "platform/door/interaction.h"

class QAbstractButton;
class QDialog;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// A label for `buddy`; the buddy is named after the label's text without its
// mnemonic and colon.
QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);
// Names a button after its text without the mnemonic.
void NameAfterText(QAbstractButton* button);

// The row of OK and Cancel, wired to the dialog's accept and reject; with
// `preview`, a "&Preview" button first, stored there.
QWidget* DialogButtons(QDialog* dialog, QPushButton** preview = nullptr);

// The OK and Cancel box, named and wired to the dialog's accept and reject.
QDialogButtonBox* OkCancelBox(QDialog* dialog);

// Gives `edit` the focus with its whole text selected (a refused entry).
void FocusAndSelect(QLineEdit* edit);
// Shows `message` over `dialog`, then focuses `edit` with its whole text selected.
void RejectEntry(QDialog* dialog, const MessageRequest& message, QLineEdit* edit);

// A digits-only line edit of at most `maxLength` characters.
QLineEdit* DigitsEdit(int maxLength, QWidget* parent);

// A line edit that takes at most `limit` typed characters (digits only when
// `digitsOnly`) while showing longer texts the dialog writes into it, as the
// aspect link does; such a text can be shortened but not lengthened.
QLineEdit* TypedLengthEdit(int limit, bool digitsOnly, QWidget* parent);
