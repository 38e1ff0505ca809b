// The colour field of the dialogs and the editor: a swatch that opens the colour
// dialog on its colour when clicked (or on Space / Enter when focused). OK takes
// the chosen colour, repaints and emits ColorChosen; Cancel changes nothing.
#pragma once

#include <QColor>
#include <QWidget>

#include <functional>
#include <optional>

class CColorBoxWnd : public QWidget {
    Q_OBJECT

public:
    // Asks the user for a colour starting from `initial`; nullopt when cancelled.
    using ColorChooser =
        std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)>;

    explicit CColorBoxWnd(QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    // Shows a colour without telling anyone.
    void SetColor(const QColor& color);

    // The dialog the box opens; by default the colour dialog.
    void SetColorChooser(ColorChooser chooser);
    static std::optional<QColor> ChooseWithColorDialog(QWidget* parent, const QColor& initial);

    // Opens the dialog as a click does.
    void Choose();

    QSize sizeHint() const override { return {40, 20}; }

signals:
    void ColorChosen(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QColor color_ = Qt::black;
    ColorChooser chooser_;
};
