#include "ui/canvas_wnd.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>
#include <cstring>

#include "core/dib.h"
#include "core/image_limits.h"

namespace {

ColorRef ToColorRef(const QColor& c) {
    return RgbColor(c.red(), c.green(), c.blue());
}

// A top-down 32-bit header over a QImage of format RGB32, for the raster layer.
DibHeader BufferHeader(const QImage& image) {
    DibHeader h{};
    h.biSize = kBitmapInfoHeaderSize;
    h.biWidth = image.width();
    h.biHeight = -image.height();
    h.biPlanes = 1;
    h.biBitCount = 32;
    return h;
}

DibHeader CanvasHeader(int width, int height) {
    DibHeader h{};
    h.biSize = kBitmapInfoHeaderSize;
    h.biWidth = width;
    h.biHeight = height;  // bottom-up
    h.biPlanes = 1;
    h.biBitCount = 24;
    return h;
}

}  // namespace

CCanvasWnd::CCanvasWnd(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("Iconmill_Canvas_ClsWnd"));
    setAccessibleName(QStringLiteral("Image"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::ArrowCursor);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    look_.windowColor = ToColorRef(QApplication::palette().color(QPalette::Button));
    UpdateScrollBars();
}

CCanvasWnd::~CCanvasWnd() = default;

bool CCanvasWnd::Show(const DibHeader* header, const std::uint8_t* bits, const std::uint8_t* mask) {
    header_ = nullptr;
    bits_ = nullptr;
    mask_ = nullptr;
    image_.reset();
    if (header && bits) {
        const std::size_t size = DibImageSize(header);
        image_ = RasterImage::Describe(header, bits, size);
    }
    if (image_) {
        header_ = header;
        bits_ = bits;
        mask_ = mask;
    }
    hover_ = {-1, -1};
    pixelText_.clear();
    UpdateScrollBars();
    UpdateCursor();
    viewport()->update();
    return image_.has_value();
}

bool CCanvasWnd::SetDib(const DibHeader* header, const std::uint8_t* bits,
                        const std::uint8_t* mask) {
    composing_ = false;
    savedBits_.clear();
    if (!header || !bits || !RasterImage::Describe(header, bits, DibImageSize(header))) {
        ClearImage();
        return false;
    }
    const std::size_t headerSize = header->biSize + DibColorTableSize(header);
    const std::size_t bitsSize = DibImageSize(header);
    heldHeader_.assign(reinterpret_cast<const std::uint8_t*>(header),
                       reinterpret_cast<const std::uint8_t*>(header) + headerSize);
    heldBits_.assign(bits, bits + bitsSize);
    if (mask) {
        const std::size_t maskSize =
            RasterStride(header->biWidth, 1) * static_cast<std::size_t>(DibAbsHeight(header));
        heldMask_.assign(mask, mask + maskSize);
    } else {
        heldMask_.clear();
    }
    return Show(reinterpret_cast<const DibHeader*>(heldHeader_.data()), heldBits_.data(),
                mask ? heldMask_.data() : nullptr);
}

bool CCanvasWnd::ShowBitmap(const DibHeader* header, const std::uint8_t* bits,
                            const std::uint8_t* mask) {
    composing_ = false;
    savedBits_.clear();
    heldHeader_.clear();
    heldBits_.clear();
    heldMask_.clear();
    return Show(header, bits, mask);
}

void CCanvasWnd::ClearImage() {
    composing_ = false;
    heldHeader_.clear();
    heldBits_.clear();
    heldMask_.clear();
    savedBits_.clear();
    Show(nullptr, nullptr, nullptr);
}

void CCanvasWnd::Refresh() {
    if (header_ && bits_) image_ = RasterImage::Describe(header_, bits_, DibImageSize(header_));
    if (hover_.x() >= 0 && pixelTextProvider_)
        pixelText_ = pixelTextProvider_(hover_.x(), hover_.y());
    viewport()->update();
}

void CCanvasWnd::SetZoom(float zoom) {
    if (!(zoom > 0)) return;
    zoom_ = zoom;
    UpdateScrollBars();
    viewport()->update();
}

void CCanvasWnd::SetBackground(int kind, ColorRef customColor) {
    look_.background = kind;
    look_.customColor = customColor;
    viewport()->update();
}

void CCanvasWnd::SetViewMode(int mode) {
    look_.viewMode = mode;
    viewport()->update();
}

void CCanvasWnd::SetOverlays(unsigned overlays) {
    overlays_ = overlays;
    viewport()->update();
}

void CCanvasWnd::SetLabel(const QString& label) {
    label_ = label;
    viewport()->update();
}

void CCanvasWnd::SetToolMode(bool on, const QCursor& cursor) {
    toolMode_ = on;
    toolCursor_ = cursor;
    dragging_ = false;
    UpdateCursor();
}

void CCanvasWnd::SetPixelTextProvider(std::function<QString(int, int)> provider) {
    pixelTextProvider_ = std::move(provider);
}

CanvasGeometry CCanvasWnd::Geometry() const {
    CanvasGeometry g;
    g.imageWidth = ImageWidth();
    g.imageHeight = ImageHeight();
    g.clientWidth = viewport()->width();
    g.clientHeight = viewport()->height();
    g.zoom = zoom_;
    g.scrollX = horizontalScrollBar()->value();
    g.scrollY = verticalScrollBar()->value();
    return g;
}

QRect CCanvasWnd::PictureRect() const {
    const RasterRect r = CanvasPictureRect(Geometry());
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

QPoint CCanvasWnd::PixelAt(const QPoint& p) const {
    if (!image_) return {-1, -1};
    int x, y;
    CanvasPixelAt(Geometry(), p.x(), p.y(), &x, &y);
    return {x, y};
}

QPoint CCanvasWnd::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CCanvasWnd::UpdateScrollBars() {
    auto apply = [](QScrollBar* bar, const CanvasScrollRange& range) {
        bar->setValue(0);
        bar->setRange(0, range.active ? range.maximum : 0);
        bar->setPageStep(range.active ? std::max(range.page, 1) : 1);
        bar->setEnabled(range.active);
    };
    apply(horizontalScrollBar(), CanvasScrollRangeFor(ImageWidth(), viewport()->width(), zoom_));
    apply(verticalScrollBar(), CanvasScrollRangeFor(ImageHeight(), viewport()->height(), zoom_));
}

void CCanvasWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CCanvasWnd::scrollContentsBy(int, int) {
    viewport()->update();
}

void CCanvasWnd::Paint(QImage& buffer) {
    DibHeader header = BufferHeader(buffer);
    auto surface =
        RasterSurface::Over(&header, buffer.bits(), static_cast<std::size_t>(buffer.sizeInBytes()));
    if (!surface) return;
    PaintCanvas(*surface, Geometry(), image_ ? &*image_ : nullptr, mask_, look_);
    // The raster layer leaves alpha as the colours bring it; the buffer is opaque.
    for (int y = 0; y < buffer.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(buffer.scanLine(y));
        for (int x = 0; x < buffer.width(); ++x) row[x] |= 0xFF000000u;
    }
    QPainter painter(&buffer);
    const QRect client(0, 0, buffer.width(), buffer.height());
    if (afterPaint_ && image_) {
        CanvasPaintInfo info;
        const QPoint scroll = ScrollPosition();
        info.source = QRect(scroll, QSize(ImageWidth(), ImageHeight()));
        info.destination = PictureRect();
        info.client = client;
        info.zoom = zoom_;
        emit AfterPaint(&painter, info);
    }
    DrawOverlays(painter, client);
}

QImage CCanvasWnd::Render() {
    QImage buffer(viewport()->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    Paint(buffer);
    return buffer;
}

void CCanvasWnd::paintEvent(QPaintEvent*) {
    const QSize size = viewport()->size();
    if (size.isEmpty()) return;
    if (buffer_.size() != size) buffer_ = QImage(size, QImage::Format_RGB32);
    Paint(buffer_);
    QPainter painter(viewport());
    painter.drawImage(0, 0, buffer_);
}

void CCanvasWnd::DrawOverlays(QPainter& painter, const QRect& client) {
    if (!overlays_ || !image_) return;
    QFont font = painter.font();
    font.setPointSizeF(std::max(6.0, font.pointSizeF() * 0.85));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QPalette& pal = palette();
    auto box = [&](const QString& text, bool right, bool bottom, bool avoidMouse) {
        if (text.isEmpty()) return;
        const QSize size(metrics.horizontalAdvance(text) + 6, metrics.height() + 2);
        auto place = [&](bool atBottom) {
            const int x = right ? client.right() + 1 - size.width() : client.left();
            const int y = atBottom ? client.bottom() + 1 - size.height() : client.top();
            return QRect(QPoint(x, y), size);
        };
        QRect r = place(bottom);
        if (avoidMouse && r.contains(mouse_)) r = place(true);
        painter.fillRect(r, pal.color(QPalette::Shadow));
        painter.setPen(pal.color(QPalette::Light));
        painter.drawText(r, Qt::AlignCenter, text);
    };
    if (hover_.x() < 0) {
        if (overlays_ & kOverlayZoom)
            box(QString::asprintf("%.1f x", static_cast<double>(zoom_)), false, true, false);
        if (overlays_ & kOverlayLabel) box(label_, true, true, false);
    } else {
        if (overlays_ & kOverlayCoordinates)
            box(QString::asprintf("%d, %d", hover_.x(), hover_.y()), false, false, true);
        if (overlays_ & kOverlayPixelInfo) box(pixelText_, true, false, true);
    }
}

void CCanvasWnd::UpdateHover(const QPoint& p) {
    mouse_ = p;
    const QPoint pixel = PixelAt(p);
    if (pixel != hover_) {
        hover_ = pixel;
        pixelText_ = pixel.x() >= 0 && pixelTextProvider_ ? pixelTextProvider_(pixel.x(), pixel.y())
                                                          : QString();
        setAccessibleDescription(pixelText_);
        emit HoverChanged(pixel.x(), pixel.y());
    }
    UpdateCursor();
    viewport()->update();
}

void CCanvasWnd::UpdateCursor() {
    viewport()->setCursor(toolMode_ && hover_.x() >= 0 ? toolCursor_ : QCursor(Qt::ArrowCursor));
}

void CCanvasWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    UpdateHover(p);
    if (toolMode_) {
        dragging_ = true;
        if (hover_.x() >= 0) emit Pressed(hover_.x(), hover_.y());
        return;
    }
    if (horizontalScrollBar()->isEnabled() || verticalScrollBar()->isEnabled()) {
        panning_ = true;
        panStart_ = p;
        panScroll_ = ScrollPosition();
    }
}

void CCanvasWnd::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (panning_) {
        const QPoint delta = p - panStart_;
        horizontalScrollBar()->setValue(panScroll_.x() -
                                        static_cast<int>(static_cast<float>(delta.x()) / zoom_));
        verticalScrollBar()->setValue(panScroll_.y() -
                                      static_cast<int>(static_cast<float>(delta.y()) / zoom_));
    }
    UpdateHover(p);
    if (toolMode_ && dragging_ && (event->buttons() & Qt::LeftButton))
        emit Dragged(hover_.x(), hover_.y());
}

void CCanvasWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    panning_ = false;
    UpdateHover(event->position().toPoint());
    if (toolMode_ && dragging_) {
        dragging_ = false;
        emit Released(hover_.x(), hover_.y());
    }
}

void CCanvasWnd::leaveEvent(QEvent* event) {
    QAbstractScrollArea::leaveEvent(event);
    mouse_ = {-1, -1};
    if (hover_.x() >= 0) {
        hover_ = {-1, -1};
        pixelText_.clear();
        emit HoverChanged(-1, -1);
    }
    UpdateCursor();
    viewport()->update();
}

std::optional<RasterSurface> CCanvasWnd::CanvasSurface(std::vector<std::uint8_t>& bits) {
    if (!composing_ || heldHeader_.size() < sizeof(DibHeader)) return std::nullopt;
    return RasterSurface::Over(reinterpret_cast<const DibHeader*>(heldHeader_.data()), bits.data(),
                               bits.size());
}

std::optional<RasterImage> CCanvasWnd::CanvasImage() const {
    if (!composing_) return std::nullopt;
    return image_;
}

bool CCanvasWnd::SetCanvasSize(int width, int height) {
    ClearImage();
    if (width <= 0 || height <= 0) return false;
    const std::size_t size = DibImageSizeFor(width, height, 24);
    if (size == 0 || size > kMaxImageBytes) return false;
    const DibHeader header = CanvasHeader(width, height);
    heldHeader_.assign(reinterpret_cast<const std::uint8_t*>(&header),
                       reinterpret_cast<const std::uint8_t*>(&header) + sizeof header);
    heldBits_.assign(size, 0);
    savedBits_.assign(size, 0);
    Show(reinterpret_cast<const DibHeader*>(heldHeader_.data()), heldBits_.data(), nullptr);
    composing_ = image_.has_value();
    return composing_;
}

void CCanvasWnd::FillBackground(RasterSurface& surface, const RasterRect& rect) {
    FillViewBackground(surface, rect, look_.background, look_.customColor, look_.windowColor);
}

void CCanvasWnd::ApplyDisposeOp(int op) {
    auto surface = CanvasSurface(heldBits_);
    if (!surface) return;
    if (op == 1) FillBackground(*surface, {0, 0, surface->Width(), surface->Height()});
    if (op == 2) std::memcpy(heldBits_.data(), savedBits_.data(), heldBits_.size());
}

void CCanvasWnd::DrawFrame(const DibHeader* header, const std::uint8_t* bits,
                           const std::uint8_t* mask, int x, int y, int blendOp) {
    auto surface = CanvasSurface(heldBits_);
    if (!surface || !header || !bits) return;
    const auto frame = RasterImage::Describe(header, bits, DibImageSize(header));
    if (!frame) return;
    std::memcpy(savedBits_.data(), heldBits_.data(), heldBits_.size());
    if (blendOp == 0)
        FillBackground(
            *surface,
            {x, y,
             static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + frame->width, 2147483647)),
             static_cast<int>(
                 std::min<std::int64_t>(std::int64_t{y} + frame->height, 2147483647))});
    if (frame->bitCount == 32)
        RasterCompositeOver(*surface, x, y, *frame);
    else if (mask)
        RasterDrawMasked(*surface, x, y, *frame, mask);
    else
        RasterDrawImage(*surface, x, y, *frame);
    viewport()->update();
}
