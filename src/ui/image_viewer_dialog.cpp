#include "ui/image_viewer_dialog.h"

#include <QResizeEvent>
#include <QSizeGrip>

#include "ui/artwork.h"
#include "ui/image_ctrl.h"

namespace {
constexpr int kGripSize = 17;
}

CImageViewerDialog::CImageViewerDialog(const DibHeader* header, const std::uint8_t* bits,
                                       const std::uint8_t* mask, bool preview, QWidget* parent)
    : QDialog(parent) {
    setSizeGripEnabled(false);  // our own grip sits in the reserved bottom strip
    setWindowIcon(ApplicationIcon());
    image_ = new CImageCtrl(this);
    grip_ = new QSizeGrip(this);
    grip_->setAccessibleName(QStringLiteral("Size grip"));
    image_->SetViewMode(kCanvasViewAuto);
    image_->SetOverlays(kOverlayCoordinates | kOverlayPixelInfo | kOverlayZoom);
    image_->SetImage(header, bits, mask);
    setWindowTitle(Caption(header, preview));
    resize(520, 440);
}

QString CImageViewerDialog::Caption(const DibHeader* header, bool preview) {
    QString caption = header ? QString::asprintf("Image Viewer [%dx%d, %d-bit]", header->biWidth,
                                                 header->biHeight, int{header->biBitCount})
                             : QStringLiteral("Image Viewer");
    if (preview) caption += QStringLiteral(" (Preview)");
    return caption;
}

void CImageViewerDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (isMinimized()) return;
    const QSize size = event->size();
    image_->setGeometry(0, 0, size.width(), std::max(0, size.height() - kGripSize));
    grip_->setGeometry(size.width() - kGripSize, size.height() - kGripSize, kGripSize, kGripSize);
}
