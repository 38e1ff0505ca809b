// "Bitmap Attributes": the width, height and bit depth of the New Empty Bitmap
// command. OK checks the entries through AcceptBitmapAttributes
// (app/new_bitmap.h); the caller appends the picture with AppendEmptyBitmap.
#pragma once

#include <QDialog>

#include "app/new_bitmap.h"

class QComboBox;
class QLineEdit;

class CBitmapAttributesDialog : public QDialog {
    Q_OBJECT

public:
    explicit CBitmapAttributesDialog(const BitmapAttributes& values, QWidget* parent = nullptr);

    // The values opened on, replaced by the entries once OK accepted them.
    const BitmapAttributes& Values() const { return values_; }

    QLineEdit* WidthEdit() const { return width_; }
    QLineEdit* HeightEdit() const { return height_; }
    QComboBox* BitDepthList() const { return depth_; }

    void accept() override;

private:
    BitmapAttributes values_;
    QLineEdit* width_;
    QLineEdit* height_;
    QComboBox* depth_;
};
