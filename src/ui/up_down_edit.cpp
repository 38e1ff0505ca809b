#include "ui/up_down_edit.h"

#include <QLineEdit>
#include <algorithm>

CUpDownEdit::CUpDownEdit(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
}

void CUpDownEdit::SetMaxLength(int length) {
    lineEdit()->setMaxLength(length);
}

void CUpDownEdit::stepBy(int steps) {
    bool ok = false;
    const qlonglong current = text().toLongLong(&ok);
    // Text outside the range, or none, steps from the nearer end.
    qlonglong next = ok ? current + steps : (steps > 0 ? minimum_ : maximum_);
    next = std::clamp<qlonglong>(next, minimum_, maximum_);
    lineEdit()->setText(QString::number(next));
    lineEdit()->selectAll();
}

QValidator::State CUpDownEdit::validate(QString& input, int&) const {
    for (const QChar c : input)
        if (!c.isDigit() || c.unicode() > '9') return QValidator::Invalid;
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled CUpDownEdit::stepEnabled() const {
    if (!isEnabled()) return StepNone;
    bool ok = false;
    const qlonglong current = text().toLongLong(&ok);
    if (!ok) return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (current < maximum_) enabled |= StepUpEnabled;
    if (current > minimum_) enabled |= StepDownEnabled;
    return enabled;
}
