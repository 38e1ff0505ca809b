#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <deque>

namespace {

struct PendingAnswer {
    QMessageBox::StandardButton button;
    QString* text;
};

// The answers still to give, in order, and the box answered last (a box takes
// a moment to close after its button is clicked).
std::deque<PendingAnswer>& Pending() {
    static std::deque<PendingAnswer> pending;
    return pending;
}

void AnswerOpenBox() {
    static QPointer<QMessageBox> answered;
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box == answered || Pending().empty()) return;
    const PendingAnswer next = Pending().front();
    Pending().pop_front();
    answered = box;
    if (next.text) *next.text = box->text();
    QAbstractButton* answer = box->button(next.button);
    ASSERT_NE(answer, nullptr) << "the box has no such button: " << box->text().toStdString();
    answer->click();
}

}  // namespace

void AnswerNextMessageBox(QMessageBox::StandardButton button, QString* text) {
    static QTimer* timer = [] {
        auto* t = new QTimer;
        t->setInterval(5);
        QObject::connect(t, &QTimer::timeout, [] { AnswerOpenBox(); });
        t->start();
        return t;
    }();
    (void)timer;
    Pending().push_back({button, text});
}
