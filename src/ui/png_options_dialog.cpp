#include "ui/png_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialog_controls.h"

CPNGOptionsDialog::CPNGOptionsDialog(const PngSaveOptions& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName(QStringLiteral("pngOptionsDialog"));
    setWindowTitle(QStringLiteral("PNG Options"));
    grayscale_ = new QCheckBox(QStringLiteral("&Grayscale"), this);
    grayscale_->setObjectName(QStringLiteral("grayscale"));
    grayscale_->setAccessibleName(QStringLiteral("Grayscale"));
    interlaced_ = new QCheckBox(QStringLiteral("&Interlaced"), this);
    interlaced_->setObjectName(QStringLiteral("interlaced"));
    interlaced_->setAccessibleName(QStringLiteral("Interlaced"));
    filter_ = new QComboBox(this);
    filter_->setObjectName(QStringLiteral("filtering"));
    filter_->addItems({QStringLiteral("None"), QStringLiteral("Sub"), QStringLiteral("Up"),
                       QStringLiteral("Average"), QStringLiteral("Paeth"), QStringLiteral("Best")});
    compression_ = new QComboBox(this);
    compression_->setObjectName(QStringLiteral("compression"));
    compression_->addItems({QStringLiteral("Default"), QStringLiteral("No compression"),
                            QStringLiteral("Best speed"), QStringLiteral("Best compression")});

    auto* form = new QFormLayout;
    form->addRow(grayscale_);
    form->addRow(interlaced_);
    form->addRow(BuddyLabel(QStringLiteral("&Filtering:"), filter_, this), filter_);
    form->addRow(BuddyLabel(QStringLiteral("&Compression:"), compression_, this), compression_);
    QDialogButtonBox* buttons = OkCancelBox(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    grayscale_->setChecked(options_.grayscale);
    interlaced_->setChecked(options_.interlaced);
    const int filter = options_.filter;
    filter_->setCurrentIndex(filter >= 0 && filter <= PngFilterOptionBest ? filter
                                                                          : PngFilterOptionPaeth);
    const int compression = options_.compression;
    compression_->setCurrentIndex(compression >= 0 && compression <= PngCompressionBest
                                      ? compression
                                      : PngCompressionDefault);
}

void CPNGOptionsDialog::accept() {
    options_.grayscale = grayscale_->isChecked();
    options_.interlaced = interlaced_->isChecked();
    options_.filter = filter_->currentIndex();
    options_.compression = compression_->currentIndex();
    QDialog::accept();
}
