// A flat button that knows whether the mouse is over it and draws one of four
// looks: normal, hover, pressed, disabled. Its image is a "-" or "+" glyph, the
// icon theme's zoom-out / zoom-in icon when the theme has one, else drawn here
// on the device pixel grid so that it stays crisp at any scale.
#pragma once

#include <QAbstractButton>
#include <QIcon>

class CHoverButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class Glyph { Minus, Plus };
    enum class Look { Normal, Hover, Pressed, Disabled };

    // The image's side and where it sits in the button, in device-independent pixels.
    static constexpr int kImageSize = 16;
    static constexpr int kImageOffset = 3;

    explicit CHoverButton(Glyph glyph, QWidget* parent = nullptr);

    // Whether the mouse is over the button.
    bool IsHovered() const { return hovered_; }
    // The look it paints now: disabled, else pressed, else hover, else normal.
    Look CurrentLook() const;
    // The image of a look at a device pixel ratio (the theme's icon when present).
    QPixmap ImageFor(Look look, qreal devicePixelRatio) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetHovered(bool hovered);

    Glyph glyph_;
    QIcon themeIcon_;
    bool hovered_ = false;
};
