#include "ui/artwork.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace {

// How one of our pictures is drawn: a shape on a 16 x 16 grid.
enum class Glyph {
    NewDocument, Open, Add, Save, SaveSelection, Cut, Copy, Paste, Delete, Duplicate,
    SelectAll, SelectNone, InvertSelection, ZoomIn, ZoomOut, ActualSize, QuickInfo, Edit,
    Alpha, ImageResize, CanvasResize, Rotate180, RotateCw, RotateCcw, FlipVertical,
    FlipHorizontal, Mask, Merge, Split, Timing, HotSpot, Help, SortBy, Rotate, App, Undo, Redo,
};

const QColor kInk(52, 73, 94);
const QColor kAccent(41, 128, 185);
const QColor kPaper(250, 250, 250);

void Page(QPainter& p, QRectF r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(path);
}

void Arrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QPointF d = to - from;
    const qreal length = std::hypot(d.x(), d.y());
    if (length == 0) return;
    const QPointF u = d / length, n(-u.y(), u.x());
    p.drawLine(to, to - 3 * u + 2.5 * n);
    p.drawLine(to, to - 3 * u - 2.5 * n);
}

void Arc(QPainter& p, QRectF box, int startDegrees, int spanDegrees) {
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, startDegrees * 16, spanDegrees * 16);
}

void Magnifier(QPainter& p) {
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(2, 2, 9, 9));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
}

void Picture(QPainter& p, QRectF r) {
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(kAccent);
    QPainterPath hill;
    hill.moveTo(r.left() + 1, r.bottom() - 1);
    hill.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.45);
    hill.lineTo(r.right() - 1, r.bottom() - 1);
    hill.closeSubpath();
    p.drawPath(hill);
}

void Draw(QPainter& p, Glyph glyph) {
    QPen pen(kInk, 1.2);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
        case Glyph::NewDocument:
            Page(p, {3, 1.5, 10, 13});
            break;
        case Glyph::Open:
            p.setBrush(QColor(241, 196, 15));
            p.drawRect(QRectF(1.5, 4, 13, 9.5));
            p.drawLine(QPointF(1.5, 4), QPointF(5, 2.5));
            break;
        case Glyph::Add:
            Page(p, {2, 1.5, 9, 12});
            p.setPen(QPen(kAccent, 2));
            p.drawLine(QPointF(12, 9), QPointF(12, 15));
            p.drawLine(QPointF(9, 12), QPointF(15, 12));
            break;
        case Glyph::Save:
        case Glyph::SaveSelection:
            p.setBrush(kAccent);
            p.drawRect(QRectF(2, 2, 12, 12));
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 2, 7, 4.5));
            p.drawRect(QRectF(4, 9, 8, 5));
            if (glyph == Glyph::SaveSelection) {
                p.setPen(QPen(kInk, 1, Qt::DotLine));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(0.5, 0.5, 15, 15));
            }
            break;
        case Glyph::Cut:
            p.drawEllipse(QRectF(2, 10, 4, 4));
            p.drawEllipse(QRectF(10, 10, 4, 4));
            p.drawLine(QPointF(5, 10.5), QPointF(11, 1.5));
            p.drawLine(QPointF(11, 10.5), QPointF(5, 1.5));
            break;
        case Glyph::Copy:
        case Glyph::Duplicate:
            Page(p, {2, 1.5, 8, 10});
            Page(p, {6, 4.5, 8, 10});
            if (glyph == Glyph::Duplicate) {
                p.setBrush(kAccent);
                p.drawEllipse(QRectF(8.5, 8, 3, 3));
            }
            break;
        case Glyph::Paste:
            p.setBrush(QColor(211, 166, 110));
            p.drawRect(QRectF(2.5, 2.5, 11, 12));
            Page(p, {6, 6, 7.5, 8.5});
            p.setBrush(kInk);
            p.drawRect(QRectF(5.5, 1, 5, 2.5));
            break;
        case Glyph::Delete:
            p.setPen(QPen(QColor(192, 57, 43), 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
            p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
            break;
        case Glyph::SelectAll:
        case Glyph::SelectNone:
        case Glyph::InvertSelection:
            p.setPen(QPen(kInk, 1, Qt::DashLine));
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setPen(pen);
            if (glyph == Glyph::SelectAll) {
                p.setBrush(kAccent);
                p.drawRect(QRectF(4, 4, 8, 8));
            } else if (glyph == Glyph::InvertSelection) {
                p.setBrush(kAccent);
                p.drawPolygon(QPolygonF({QPointF(4, 4), QPointF(12, 4), QPointF(4, 12)}));
            }
            break;
        case Glyph::ZoomIn:
        case Glyph::ZoomOut:
        case Glyph::ActualSize:
            Magnifier(p);
            if (glyph == Glyph::ActualSize) {
                p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
            } else {
                p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
                if (glyph == Glyph::ZoomIn) p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
            }
            break;
        case Glyph::QuickInfo:
            p.setBrush(QColor(255, 255, 225));
            p.drawRoundedRect(QRectF(1.5, 2.5, 13, 9), 2, 2);
            p.drawLine(QPointF(4, 11.5), QPointF(3, 14.5));
            p.drawLine(QPointF(4.5, 5.5), QPointF(11.5, 5.5));
            p.drawLine(QPointF(4.5, 8.5), QPointF(9.5, 8.5));
            break;
        case Glyph::Edit:
            Picture(p, {1.5, 4.5, 10, 10});
            p.setPen(QPen(QColor(230, 126, 34), 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(7, 9), QPointF(14, 2));
            break;
        case Glyph::Alpha: {
            QLinearGradient fade(0, 0, 16, 0);
            fade.setColorAt(0, kAccent);
            fade.setColorAt(1, QColor(41, 128, 185, 0));
            p.setBrush(fade);
            p.drawRect(QRectF(1.5, 3.5, 13, 9));
            break;
        }
        case Glyph::ImageResize:
            Picture(p, {1.5, 6.5, 8, 8});
            Arrow(p, {8, 8}, {14, 2});
            break;
        case Glyph::CanvasResize:
            p.setPen(QPen(kInk, 1, Qt::DashLine));
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setPen(pen);
            Picture(p, {4.5, 4.5, 7, 7});
            break;
        case Glyph::Rotate180:
        case Glyph::RotateCw:
        case Glyph::Rotate:
            Arc(p, {2.5, 2.5, 11, 11}, 180, glyph == Glyph::Rotate180 ? -300 : -270);
            Arrow(p, {10.5, 3.5}, {13, 6.5});
            break;
        case Glyph::Undo:
            Arc(p, {5, 4, 8, 8}, 90, -180);
            Arrow(p, {9, 4}, {2.5, 4});
            p.drawLine(QPointF(9, 12), QPointF(4, 12));
            break;
        case Glyph::Redo:
            Arc(p, {3, 4, 8, 8}, 90, 180);
            Arrow(p, {7, 4}, {13.5, 4});
            p.drawLine(QPointF(7, 12), QPointF(12, 12));
            break;
        case Glyph::RotateCcw:
            Arc(p, {2.5, 2.5, 11, 11}, 0, 270);
            Arrow(p, {5.5, 3.5}, {3, 6.5});
            break;
        case Glyph::FlipVertical:
            p.setBrush(kAccent);
            p.drawPolygon(QPolygonF({QPointF(3, 7), QPointF(13, 7), QPointF(8, 2)}));
            p.setBrush(kPaper);
            p.drawPolygon(QPolygonF({QPointF(3, 9), QPointF(13, 9), QPointF(8, 14)}));
            break;
        case Glyph::FlipHorizontal:
            p.setBrush(kAccent);
            p.drawPolygon(QPolygonF({QPointF(7, 3), QPointF(7, 13), QPointF(2, 8)}));
            p.setBrush(kPaper);
            p.drawPolygon(QPolygonF({QPointF(9, 3), QPointF(9, 13), QPointF(14, 8)}));
            break;
        case Glyph::Mask:
            p.setBrush(kInk);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(4, 4, 8, 8));
            break;
        case Glyph::Merge:
            Picture(p, {1.5, 4.5, 6, 7});
            Picture(p, {8.5, 4.5, 6, 7});
            break;
        case Glyph::Split:
            Picture(p, {1.5, 1.5, 13, 13});
            p.setPen(QPen(Qt::white, 1.5));
            p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
            p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
            break;
        case Glyph::Timing:
            p.setBrush(kPaper);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.drawLine(QPointF(8, 8), QPointF(8, 4));
            p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
            break;
        case Glyph::HotSpot:
            p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
            p.drawLine(QPointF(8, 0.5), QPointF(8, 15.5));
            p.drawLine(QPointF(0.5, 8), QPointF(15.5, 8));
            break;
        case Glyph::Help: {
            p.setBrush(kAccent);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(1, 1, 14, 14));
            QFont font;
            font.setPixelSize(11);
            font.setBold(true);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case Glyph::SortBy:
            for (int i = 0; i < 3; ++i)
                p.drawLine(QPointF(2, 3.5 + 4.5 * i), QPointF(6 + 3 * i, 3.5 + 4.5 * i));
            Arrow(p, {13, 2}, {13, 14});
            break;
        case Glyph::App:
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
            p.setPen(QPen(Qt::white, 1.2));
            p.setBrush(QColor(255, 255, 255, 80));
            p.drawRect(QRectF(3.5, 3.5, 5, 5));
            p.drawRect(QRectF(7.5, 7.5, 5, 5));
            break;
    }
}

class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(Glyph glyph) : glyph_(glyph) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled) painter->setOpacity(0.35);
        Draw(*painter, glyph_);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QIconEngine* clone() const override { return new GlyphEngine(glyph_); }

private:
    Glyph glyph_;
};

struct Picture_ {
    CommandId id;
    const char* themeName;  // the freedesktop name, or null
    Glyph glyph;
};

// The menu image table, in its order, with the standard icon names.
const Picture_ kPictures[] = {
    {kCmdNewCompilation, "document-new", Glyph::NewDocument},
    {kCmdOpen, "document-open", Glyph::Open},
    {kCmdAdd, "list-add", Glyph::Add},
    {kCmdSave, "document-save", Glyph::Save},
    {kCmdSaveSelection, "document-save-as", Glyph::SaveSelection},
    {kCmdUndo, "edit-undo", Glyph::Undo},
    {kCmdRedo, "edit-redo", Glyph::Redo},
    {kCmdCut, "edit-cut", Glyph::Cut},
    {kCmdCopy, "edit-copy", Glyph::Copy},
    {kCmdPaste, "edit-paste", Glyph::Paste},
    {kCmdDelete, "edit-delete", Glyph::Delete},
    {kCmdDuplicate, nullptr, Glyph::Duplicate},
    {kCmdSelectAll, "edit-select-all", Glyph::SelectAll},
    {kCmdSelectNone, nullptr, Glyph::SelectNone},
    {kCmdInvertSelection, nullptr, Glyph::InvertSelection},
    {kCmdZoomIn, "zoom-in", Glyph::ZoomIn},
    {kCmdZoomOut, "zoom-out", Glyph::ZoomOut},
    {kCmdDisplayQuickInfo, nullptr, Glyph::QuickInfo},
    {kCmdEdit, nullptr, Glyph::Edit},
    {kCmdAlphaCompositing, nullptr, Glyph::Alpha},
    {kCmdImageResize, nullptr, Glyph::ImageResize},
    {kCmdCanvasResize, nullptr, Glyph::CanvasResize},
    {kCmdRotate180, nullptr, Glyph::Rotate180},
    {kCmdRotateClockwise, "object-rotate-right", Glyph::RotateCw},
    {kCmdRotateCounterClockwise, "object-rotate-left", Glyph::RotateCcw},
    {kCmdFlipVertical, "object-flip-vertical", Glyph::FlipVertical},
    {kCmdFlipHorizontal, "object-flip-horizontal", Glyph::FlipHorizontal},
    {kCmdCreateEditMask, nullptr, Glyph::Mask},
    {kCmdMerge, nullptr, Glyph::Merge},
    {kCmdSplit, nullptr, Glyph::Split},
    {kCmdAnimationTiming, nullptr, Glyph::Timing},
    {kCmdSetHotSpot, nullptr, Glyph::HotSpot},
    {kCmdViewHelp, "help-contents", Glyph::Help},
    // Toolbar buttons outside the menu table.
    {kCmdZoom100, "zoom-original", Glyph::ActualSize},
    {kCmdSortByButton, nullptr, Glyph::SortBy},
    {kCmdRotateButton, nullptr, Glyph::Rotate},
};

}  // namespace

QIcon CommandIcon(CommandId id) {
    for (const Picture_& picture : kPictures) {
        if (picture.id != id) continue;
        const QIcon ours(new GlyphEngine(picture.glyph));
        if (picture.themeName && QIcon::hasThemeIcon(picture.themeName))
            return QIcon::fromTheme(picture.themeName, ours);
        return ours;
    }
    return {};
}

QIcon ApplicationIcon() {
    return QIcon(new GlyphEngine(Glyph::App));
}
