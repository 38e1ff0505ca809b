// "PNG Options": grayscale, interlacing, the row filter and the compression a
// PNG series or an animated PNG is written with.
#pragma once

#include <QDialog>

#include "formats/png/png_save_options.h"

class QCheckBox;
class QComboBox;

class CPNGOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // Opens on `options`; a filter or compression the lists do not hold shows
    // as what the encoder makes of it (Paeth, Default).
    explicit CPNGOptionsDialog(const PngSaveOptions& options, QWidget* parent = nullptr);

    // The values held: those opened on, replaced by the controls' on OK.
    const PngSaveOptions& Options() const { return options_; }

    QCheckBox* GrayscaleBox() const { return grayscale_; }
    QCheckBox* InterlacedBox() const { return interlaced_; }
    QComboBox* FilterList() const { return filter_; }
    QComboBox* CompressionList() const { return compression_; }

    void accept() override;

private:
    PngSaveOptions options_;
    QCheckBox* grayscale_;
    QCheckBox* interlaced_;
    QComboBox* filter_;
    QComboBox* compression_;
};
