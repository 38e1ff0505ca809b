// Helpers for driving the real widgets in the GUI tests.
#pragma once

#include <QMessageBox>
#include <QString>

// Arranges for the next message box not yet answered to be answered with
// `button`; its text is stored in *text when given. Answers are given in the
// order they were arranged, once the event loop runs (inside the box's own
// modal loop).
void AnswerNextMessageBox(QMessageBox::StandardButton button, QString* text = nullptr);

#include <QApplication>
#include <QTimer>

// Runs `inspect` on the next modal dialog of type T once it is the active modal
// widget (and, when `name` is given, has that object name); `inspect` must close
// it. Dialogs arranged for ahead of time wait their turn, so a flow's nested
// dialogs can be arranged in one go.
template <class T, class F>
void WhenModalOpens(F inspect, QString name = {}) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect, name] {
        auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!widget || widget->property("iconmillInspected").toBool()) return;
        if (!name.isEmpty() && widget->objectName() != name) return;
        widget->setProperty("iconmillInspected", true);
        timer->stop();
        timer->deleteLater();
        inspect(widget);
    });
    timer->start();
}
