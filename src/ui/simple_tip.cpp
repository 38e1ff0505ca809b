#include "ui/simple_tip.h"

#include <QPainter>
#include <QStringList>

#include "ui/fonts.h"

namespace {

// The text sits 4 pixels in from the sides and 2 from top and bottom of a client
// area 8 pixels wider than the text on each side and 4 higher at top and bottom;
// the border is one pixel outside it.
constexpr int kPadX = 8;
constexpr int kPadY = 4;
constexpr int kTextInsetX = 4;
constexpr int kTextInsetY = 2;
constexpr int kBorder = 1;

}  // namespace

CSimpleTip::CSimpleTip(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("Korvath_SimpleTip_WndClass"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(MakeUiFont(9));
    hide();
}

void CSimpleTip::SetText(const QString& text) {
    text_ = text;
    setAccessibleName(text.section(QLatin1Char('\n'), 0, 0));
    setAccessibleDescription(text);
    resize(sizeHint());
    update();
}

void CSimpleTip::ShowAt(const QPoint& globalPosition) {
    move(globalPosition);
    if (!isVisible()) show();
}

QSize CSimpleTip::sizeHint() const {
    const QSize extent = fontMetrics().boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop, text_).size();
    return extent + QSize(2 * (kPadX + kBorder), 2 * (kPadY + kBorder));
}

void CSimpleTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colors = palette();
    painter.fillRect(rect(), colors.color(QPalette::ToolTipText));
    const QRect client = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    painter.fillRect(client, colors.color(QPalette::ToolTipBase));
    painter.setPen(colors.color(QPalette::ToolTipText));
    const QRect textRect = client.adjusted(kTextInsetX, kTextInsetY, -kTextInsetX, -kTextInsetY);
    // Each line ends in an ellipsis when it does not fit.
    QStringList lines = text_.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = fontMetrics().elidedText(line, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, lines.join(QLatin1Char('\n')));
}
