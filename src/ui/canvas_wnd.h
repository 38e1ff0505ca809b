// The drawing surface of the image control: a zoomable, scrollable view of one
// image (or of the animation preview's composed canvas) that reports the pixels
// under the mouse. Painting goes through the raster layer into a client-sized
// buffer (platform/canvas_paint.h), so its cost follows the visible area.
//
// Image memory: SetDib copies the image; ShowBitmap shows memory the caller keeps
// alive (an editor's working image) and the caller calls Refresh after changing
// pixels. SetCanvasSize makes the canvas own a composition surface instead.
#pragma once

#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/canvas_paint.h"
#include "platform/raster.h"

class QPainter;

// The overlay bits of a canvas.
constexpr unsigned kOverlayCoordinates = 1;  // "%d, %d" of the pixel under the mouse
constexpr unsigned kOverlayPixelInfo = 2;    // its colour ("RGB: ..." / "RGBA: ...")
constexpr unsigned kOverlayZoom = 4;         // "%.1f x"
constexpr unsigned kOverlayLabel = 8;        // the owner's label text
constexpr unsigned kOverlayAll = 15;

// What the after-paint hook gets: the source rectangle in image pixels (scroll
// position to scroll position + image size), the picture's destination and the
// client rectangle in client coordinates, and the zoom.
struct CanvasPaintInfo {
    QRect source;
    QRect destination;
    QRect client;
    float zoom = 1.0f;
};

class CCanvasWnd : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CCanvasWnd(QWidget* parent = nullptr);
    ~CCanvasWnd() override;

    // --- The image -------------------------------------------------------
    // Copies an image: the header block (header and colour table), its pixel rows
    // and an optional 1-bit AND mask (the picture's size and row order). False,
    // and no image shown, for a header the raster layer cannot draw.
    bool SetDib(const DibHeader* header, const std::uint8_t* bits, const std::uint8_t* mask);
    // Shows image memory the caller owns, without copying; it must stay valid
    // (and keep its size) until the next image is set or the canvas is destroyed.
    bool ShowBitmap(const DibHeader* header, const std::uint8_t* bits, const std::uint8_t* mask);
    void ClearImage();
    // Repaints after the shown memory changed (pixels or colour table).
    void Refresh();

    bool HasImage() const { return image_.has_value(); }
    bool HasMask() const { return mask_ != nullptr; }
    int ImageWidth() const { return image_ ? image_->width : 0; }
    int ImageHeight() const { return image_ ? image_->height : 0; }
    unsigned BitCount() const { return image_ ? image_->bitCount : 0; }
    const DibHeader* Header() const { return header_; }
    const std::uint8_t* Bits() const { return bits_; }
    const std::uint8_t* Mask() const { return mask_; }

    // --- Settings --------------------------------------------------------
    // The zoom (1.0 at creation); any positive value. Scroll positions reset.
    float Zoom() const { return zoom_; }
    void SetZoom(float zoom);
    // FillViewBackground's kinds; the custom colour for kind 5.
    int Background() const { return look_.background; }
    ColorRef CustomColor() const { return look_.customColor; }
    void SetBackground(int kind, ColorRef customColor);
    // CanvasViewMode.
    int ViewMode() const { return look_.viewMode; }
    void SetViewMode(int mode);
    unsigned Overlays() const { return overlays_; }
    void SetOverlays(unsigned overlays);
    QString Label() const { return label_; }
    void SetLabel(const QString& label);
    // Tool mode: the mouse reports Pressed, Released and Dragged instead of
    // panning, and `cursor` shows over the image.
    bool ToolMode() const { return toolMode_; }
    void SetToolMode(bool on, const QCursor& cursor = QCursor(Qt::CrossCursor));
    // Whether AfterPaint is emitted (off at creation).
    void SetAfterPaintNotify(bool on) { afterPaint_ = on; }
    // Answers the pixel information of (x, y); without one the overlay is empty.
    void SetPixelTextProvider(std::function<QString(int x, int y)> provider);

    // --- Geometry --------------------------------------------------------
    CanvasGeometry Geometry() const;
    QRect PictureRect() const;
    // The image pixel under a viewport point, or (-1, -1).
    QPoint PixelAt(const QPoint& viewportPoint) const;
    // The pixel under the mouse, or (-1, -1), and its information text.
    QPoint HoverPixel() const { return hover_; }
    QString PixelText() const { return pixelText_; }
    QPoint ScrollPosition() const;

    // --- Frame composition (the animation preview) -----------------------
    // Makes a width x height canvas and saved canvas (24 bits, all black), owned
    // by this window, and shows the canvas without a mask. False when they
    // cannot be made (nothing shown then).
    bool SetCanvasSize(int width, int height);
    // 0 nothing; 1 fills the canvas with the current background; 2 copies the
    // saved canvas over it. Does not repaint.
    void ApplyDisposeOp(int op);
    // Saves the canvas, clears the frame's rectangle to the background when
    // `blendOp` is 0, then draws the frame unscaled at (x, y): 32 bits composited
    // source-over, fewer bits with a mask only where the mask bit is 0, others
    // copied; repaints. Nothing without a canvas or for an image it cannot read.
    void DrawFrame(const DibHeader* header, const std::uint8_t* bits, const std::uint8_t* mask,
                   int x, int y, int blendOp);
    // The composed canvas's pixels (24-bit rows as RasterImage), for tests.
    std::optional<RasterImage> CanvasImage() const;

    // The whole client as painted now (picture, after-paint drawing, overlays).
    QImage Render();

signals:
    // Tool mode only: the left button pressed on a pixel, released, and moved
    // while held ((-1, -1) outside the image).
    void Pressed(int x, int y);
    void Released(int x, int y);
    void Dragged(int x, int y);
    // The pixel under the mouse changed ((-1, -1) when none).
    void HoverChanged(int x, int y);
    // After every paint when asked for: the painter draws over the picture.
    void AfterPaint(QPainter* painter, const CanvasPaintInfo& info);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool Show(const DibHeader* header, const std::uint8_t* bits, const std::uint8_t* mask);
    void Paint(QImage& buffer);
    void DrawOverlays(QPainter& painter, const QRect& client);
    void UpdateScrollBars();
    void UpdateHover(const QPoint& viewportPoint);
    void UpdateCursor();
    void FillBackground(RasterSurface& surface, const RasterRect& rect);
    std::optional<RasterSurface> CanvasSurface(std::vector<std::uint8_t>& bits);

    // Copies made by SetDib, and the composition surfaces.
    std::vector<std::uint8_t> heldHeader_, heldBits_, heldMask_;
    std::vector<std::uint8_t> savedBits_;
    bool composing_ = false;

    const DibHeader* header_ = nullptr;
    const std::uint8_t* bits_ = nullptr;
    const std::uint8_t* mask_ = nullptr;
    std::optional<RasterImage> image_;

    float zoom_ = 1.0f;
    CanvasLook look_;
    unsigned overlays_ = 0;
    QString label_;
    bool toolMode_ = false;
    QCursor toolCursor_;
    bool afterPaint_ = false;
    std::function<QString(int, int)> pixelTextProvider_;

    QPoint hover_{-1, -1};
    QPoint mouse_{-1, -1};
    QString pixelText_;
    bool panning_ = false;
    bool dragging_ = false;
    QPoint panStart_;
    QPoint panScroll_;
    QImage buffer_;
};
