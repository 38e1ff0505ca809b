// "SVG Import": the size an SVG document is rendered at, its own or a square
// side (the size-set sizes offered, any other typed).
#pragma once

#include <QDialog>

#include "platform/door/svg_size_request.h"

class QComboBox;
class QSpinBox;

class CSvgSizeDialog : public QDialog {
    Q_OBJECT

public:
    explicit CSvgSizeDialog(const SvgSizeRequest& request, QWidget* parent = nullptr);

    // 0 for the document's own size, else the side chosen.
    int Side() const;

    QComboBox* SizeList() const { return sizes_; }
    QSpinBox* OtherEdit() const { return other_; }

private:
    QComboBox* sizes_;
    QSpinBox* other_;
};
