// The image control: the canvas (CCanvasWnd) over a bottom row with the
// "&Background:" list and the zoom toolbar ("Zoom In", "Zoom Out", "Actual
// Size" and, for 32-bit images, the "See more" view-mode menu). Every preview of
// the dialogs is one of these; the owner sets the image and the settings and
// listens to the canvas's signals (Canvas()) and to BackgroundChanged.
//
// A new control shows background 1 (white), view mode 4 (automatic), no
// overlays, tool mode off and no image.
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui/canvas_wnd.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

class CImageCtrl : public QWidget {
    Q_OBJECT

public:
    // Asks for a custom background colour; nullopt when cancelled.
    using ColorChooser =
        std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)>;

    explicit CImageCtrl(QWidget* parent = nullptr);

    // --- The image (see CCanvasWnd) ---------------------------------------
    // A copy of the image with an optional mask; the pixel information reads
    // the copy. False for a header the canvas cannot draw.
    bool SetImage(const DibHeader* header, const std::uint8_t* bits,
                  const std::uint8_t* mask = nullptr);
    // Shows memory the caller owns (kept alive and of the same size); call
    // Refresh after changing it.
    bool ShowBitmap(const DibHeader* header, const std::uint8_t* bits,
                    const std::uint8_t* mask = nullptr);
    void ClearImage();
    void Refresh();

    // --- Settings ----------------------------------------------------------
    // Background kind 0-5 (FillViewBackground), the colour for kind 5.
    int Background() const { return canvas_->Background(); }
    void SetBackground(int kind, const QColor& custom = QColor());
    // CanvasViewMode 0-4.
    int ViewMode() const { return canvas_->ViewMode(); }
    void SetViewMode(int mode);
    // kOverlay* bits.
    void SetOverlays(unsigned overlays) { canvas_->SetOverlays(overlays); }
    unsigned Overlays() const { return canvas_->Overlays(); }
    // The label overlay's text, e.g. ImageSizeLabel(header) (app/image_view.h).
    void SetLabel(const QString& label) { canvas_->SetLabel(label); }
    // Removes "Transparent" from the list (choosing kind 4 then shows white).
    void SetNoTransparency(bool on);
    void SetToolMode(bool on, const QCursor& cursor = QCursor(Qt::CrossCursor)) {
        canvas_->SetToolMode(on, cursor);
    }
    // Shows or hides "See more" (it shows only for 32-bit images in any case).
    void SetViewModeButtonAllowed(bool allowed);
    // The dialog "Custom..." opens; by default the colour dialog.
    void SetColorChooser(ColorChooser chooser) { chooser_ = std::move(chooser); }

    // --- Zoom ---------------------------------------------------------------
    float Zoom() const { return canvas_->Zoom(); }
    void SetZoom(float zoom) { canvas_->SetZoom(zoom); }
    void ZoomIn();
    void ZoomOut();
    void ActualSize();

    // --- Parts, for owners and tests ---------------------------------------
    CCanvasWnd* Canvas() const { return canvas_; }
    QComboBox* BackgroundList() const { return backgroundList_; }
    QToolBar* ZoomBar() const { return zoomBar_; }
    QAction* ZoomInAction() const { return zoomIn_; }
    QAction* ZoomOutAction() const { return zoomOut_; }
    QAction* ActualSizeAction() const { return actualSize_; }
    QToolButton* SeeMoreButton() const { return seeMore_; }
    // The toolbar entry holding the button: visible while "See more" is offered.
    QAction* SeeMoreAction() const { return seeMoreAction_; }
    QMenu* ViewModeMenu() const { return viewMenu_; }
    // The menu's items: Pure Image, Enable Mask, Enable Alpha-channel, Enable
    // Pre-multiplied Alpha (modes 0 to 3).
    QAction* ViewModeAction(int mode) const;

signals:
    // The user chose another background in the list.
    void BackgroundChanged(int kind);

private:
    void FillBackgroundList();
    void SelectBackgroundEntry();
    void OnBackgroundActivated(int row);
    void UpdateViewModeMenu();
    void ImageChanged();

    CCanvasWnd* canvas_;
    QLabel* backgroundLabel_;
    QComboBox* backgroundList_;
    QToolBar* zoomBar_;
    QAction* zoomIn_;
    QAction* zoomOut_;
    QAction* actualSize_;
    QToolButton* seeMore_;
    QAction* seeMoreAction_ = nullptr;
    QMenu* viewMenu_;
    QActionGroup* viewGroup_;
    QAction* viewActions_[4] = {};
    bool noTransparency_ = false;
    bool seeMoreAllowed_ = true;
    QColor custom_;
    ColorChooser chooser_;
};
