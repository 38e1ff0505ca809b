// Helpers for driving the real widgets in the GUI tests.
#pragma once

#include <QMessageBox>
#include <QString>

// Arranges for the next message box not yet answered to be answered with
// `button`; its text is stored in *text when given. Answers are given in the
// order they were arranged, once the event loop runs (inside the box's own
// modal loop).
void AnswerNextMessageBox(QMessageBox::StandardButton button, QString* text = nullptr);
