// The image viewer ("Image Viewer"): a resizable dialog around one image
// control showing an image, or another dialog's preview of a result. It changes
// nothing.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

#include "platform/bitmap_types.h"

class CImageCtrl;
class QSizeGrip;

class CImageViewerDialog : public QDialog {
    Q_OBJECT

public:
    // Copies the image (header with colour table, pixel rows, optional mask). With
    // `preview` the caption says so.
    CImageViewerDialog(const DibHeader* header, const std::uint8_t* bits, const std::uint8_t* mask,
                       bool preview, QWidget* parent = nullptr);

    // "Image Viewer [%dx%d, %d-bit]" (width, stored height, bit count), followed
    // by " (Preview)" for a preview.
    static QString Caption(const DibHeader* header, bool preview);

    CImageCtrl* ImageControl() const { return image_; }
    QSizeGrip* SizeGrip() const { return grip_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CImageCtrl* image_;
    QSizeGrip* grip_;
};
