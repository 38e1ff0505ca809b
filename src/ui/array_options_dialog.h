// "Array Options": the layout of a C source export - variable name, element
// type, elements per array and per line, byte order - checked on OK by the
// application layer's rule.
#pragma once

#include <QDialog>

#include "platform/door/c_array_options.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class CUpDownEdit;

class CArrayOptionsDialog : public QDialog {
    Q_OBJECT

public:
    explicit CArrayOptionsDialog(const CArrayOptions& initial, QWidget* parent = nullptr);

    // The layout confirmed with OK (the opening values until then).
    const CArrayOptions& Options() const { return options_; }

    QLineEdit* NameEdit() const { return name_; }
    QComboBox* TypeList() const { return type_; }
    QLineEdit* SplitEdit() const { return split_; }
    CUpDownEdit* PerLineEdit() const { return perLine_; }
    QCheckBox* ReverseBox() const { return reverse_; }

    // Checks the fields in order; the first refused one gets the message, the
    // focus and its text selected, and the dialog stays open.
    void accept() override;

private:
    void FollowType();

    CArrayOptions options_;
    QLineEdit* name_;
    QComboBox* type_;
    QLineEdit* split_;
    CUpDownEdit* perLine_;
    QCheckBox* reverse_;
};
