// A digits-only edit with up and down arrows: the arrows step within a range,
// while typing may leave any number of digits for the dialog's OK check to
// judge (a spin box would silently clamp what was typed).
#pragma once

#include <QAbstractSpinBox>

class QLineEdit;

class CUpDownEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    CUpDownEdit(int minimum, int maximum, QWidget* parent = nullptr);

    // The edit's own line, for selecting its text when a check refuses it.
    QLineEdit* Line() const { return lineEdit(); }
    void SetMaxLength(int length);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int minimum_;
    int maximum_;
};
