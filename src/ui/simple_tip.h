// The quick-info tip of the list view: a small bordered popup, owned by the
// view, sized to its text and shown without taking the activation.
#pragma once

#include <QString>
#include <QWidget>

class CSimpleTip : public QWidget {
    Q_OBJECT

public:
    explicit CSimpleTip(QWidget* owner);

    // The text (lines separated by "\n"); the tip resizes itself to it.
    void SetText(const QString& text);
    QString Text() const { return text_; }
    // Shows the tip with its top-left corner at a global position.
    void ShowAt(const QPoint& globalPosition);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};
