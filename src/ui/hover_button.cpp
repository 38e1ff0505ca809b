#include "ui/hover_button.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

CHoverButton::CHoverButton(Glyph glyph, QWidget* parent)
    : QAbstractButton(parent),
      glyph_(glyph),
      themeIcon_(QIcon::fromTheme(glyph == Glyph::Minus ? QStringLiteral("zoom-out")
                                                        : QStringLiteral("zoom-in"))) {
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
}

CHoverButton::Look CHoverButton::CurrentLook() const {
    if (!isEnabled()) return Look::Disabled;
    if (isDown()) return Look::Pressed;
    if (hovered_) return Look::Hover;
    return Look::Normal;
}

QSize CHoverButton::sizeHint() const {
    return {kImageSize + 2 * kImageOffset, kImageSize + 2 * kImageOffset};
}

QPixmap CHoverButton::ImageFor(Look look, qreal devicePixelRatio) const {
    if (!themeIcon_.isNull()) {
        const QIcon::Mode mode = look == Look::Disabled  ? QIcon::Disabled
                                 : look == Look::Pressed ? QIcon::Selected
                                 : look == Look::Hover   ? QIcon::Active
                                                         : QIcon::Normal;
        return themeIcon_.pixmap(QSize(kImageSize, kImageSize), devicePixelRatio, mode);
    }
    // Bars of whole device pixels, centred on the device grid.
    const int side = static_cast<int>(std::lround(kImageSize * devicePixelRatio));
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    const QPalette& pal = palette();
    QColor ink = look == Look::Disabled ? pal.color(QPalette::Disabled, QPalette::ButtonText)
                 : look == Look::Normal ? pal.color(QPalette::Active, QPalette::ButtonText)
                                        : pal.color(QPalette::Active, QPalette::Highlight);
    if (look == Look::Pressed) ink = ink.darker(130);
    const int thickness = std::max(2, static_cast<int>(std::lround(2 * devicePixelRatio)));
    const int length =
        std::max(thickness + 2, static_cast<int>(std::lround(10 * devicePixelRatio)));
    // Same parity as the side keeps the bars exactly centred.
    const int bar = length - ((side - length) % 2);
    const int thick = thickness - ((side - thickness) % 2 != 0 ? 1 : 0);
    const int lengthStart = (side - bar) / 2;
    const int thickStart = (side - thick) / 2;
    QPainter painter(&pixmap);
    painter.fillRect(lengthStart, thickStart, bar, thick, ink);
    if (glyph_ == Glyph::Plus) painter.fillRect(thickStart, lengthStart, thick, bar, ink);
    return pixmap;
}

void CHoverButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Look look = CurrentLook();
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (look == Look::Hover || look == Look::Pressed) {
        QColor wash = palette().color(QPalette::Highlight);
        wash.setAlpha(look == Look::Pressed ? 70 : 35);
        painter.fillRect(rect(), wash);
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    QPixmap image = ImageFor(look, devicePixelRatioF());
    image.setDevicePixelRatio(devicePixelRatioF());
    painter.drawPixmap(kImageOffset, kImageOffset, image);
}

void CHoverButton::SetHovered(bool hovered) {
    if (hovered_ == hovered) return;
    hovered_ = hovered;
    update();
}

void CHoverButton::enterEvent(QEnterEvent* event) {
    SetHovered(rect().contains(event->position().toPoint()));
    QAbstractButton::enterEvent(event);
}

void CHoverButton::leaveEvent(QEvent* event) {
    SetHovered(false);
    QAbstractButton::leaveEvent(event);
}

void CHoverButton::mouseMoveEvent(QMouseEvent* event) {
    // While a button is held Qt keeps sending moves from outside the button.
    SetHovered(rect().contains(event->position().toPoint()));
    QAbstractButton::mouseMoveEvent(event);
}

void CHoverButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) hovered_ = false;
        update();
    }
    QAbstractButton::changeEvent(event);
}

void CHoverButton::hideEvent(QHideEvent* event) {
    hovered_ = false;
    QAbstractButton::hideEvent(event);
}
