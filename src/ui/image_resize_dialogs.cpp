#include "ui/image_resize_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/item.h"
#include "ops/resize_image.h"
#include "ui/color_box.h"
#include "ui/dialog_controls.h"
#include "ui/image_viewer_dialog.h"
#include "ui/qt_interaction.h"

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// An edit with "(Pixels)" after it.
QWidget* WithUnit(QLineEdit* edit, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(new QLabel(QStringLiteral("(Pixels)"), row));
    return row;
}

}  // namespace

// ---- Shared ----

CResizeDialogBase::CResizeDialogBase(const tagILVITEM& item, bool digitsOnly, QWidget* parent)
    : QDialog(parent),
      header_(item.header),
      bits_(item.bits),
      mask_(item.mask),
      picture_(ResizePictureOf(item.header)) {
    currentGroup_ = new QGroupBox(Text(CurrentSizeText(picture_)), this);
    currentGroup_->setAccessibleName(QStringLiteral("Current Size"));
    currentWidth_ = new QLabel(Text(PixelCountText(picture_.width)), currentGroup_);
    currentWidth_->setAccessibleName(QStringLiteral("Current width"));
    currentHeight_ = new QLabel(Text(PixelCountText(picture_.height)), currentGroup_);
    currentHeight_->setAccessibleName(QStringLiteral("Current height"));
    auto* current = new QFormLayout(currentGroup_);
    current->addRow(QStringLiteral("Width:"), currentWidth_);
    current->addRow(QStringLiteral("Height:"), currentHeight_);

    newGroup_ = new QGroupBox(QStringLiteral("&New Size:"), this);
    newGroup_->setAccessibleName(QStringLiteral("New Size"));
    width_ = TypedLengthEdit(kResizeEditLimit, digitsOnly, newGroup_);
    height_ = TypedLengthEdit(kResizeEditLimit, digitsOnly, newGroup_);
    width_->setObjectName(QStringLiteral("width"));
    height_->setObjectName(QStringLiteral("height"));
    width_->setText(QString::number(picture_.width));
    height_->setText(QString::number(picture_.height));
}

void CResizeDialogBase::Arrange(QWidget* options) {
    auto* edits = new QFormLayout;
    edits->addRow(BuddyLabel(QStringLiteral("&Width:"), width_, newGroup_),
                  WithUnit(width_, newGroup_));
    edits->addRow(BuddyLabel(QStringLiteral("&Height:"), height_, newGroup_),
                  WithUnit(height_, newGroup_));
    auto* newLayout = new QVBoxLayout(newGroup_);
    newLayout->addLayout(edits);
    options->setParent(newGroup_);
    newLayout->addWidget(options);

    QWidget* buttons = DialogButtons(this, &preview_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(currentGroup_);
    layout->addWidget(newGroup_);
    layout->addWidget(buttons);
    width_->setFocus();
    width_->selectAll();
}

bool CResizeDialogBase::Check(const std::optional<FieldRejection<ResizeField>>& rejection) {
    if (!rejection) return true;
    RejectEntry(this, rejection->message,
                rejection->field == ResizeField::Width ? width_ : height_);
    return false;
}

void CResizeDialogBase::ShowPreview(std::uint32_t placement, std::uint32_t fill,
                                    bool previewCaption, bool smooth) {
    QtInteraction door(this, nullptr);
    ResizePreview preview;
    if (!BuildResizePreview(door, header_, bits_, mask_, newWidth_, newHeight_, placement, fill,
                            &preview, smooth))
        return;
    CImageViewerDialog viewer(preview.header.get(), preview.bits.get(), preview.mask.get(),
                              previewCaption, this);
    viewer.exec();
}

// ---- Image Resize ----

CImageResizeDialog::CImageResizeDialog(const tagILVITEM& item, Resampling resampling,
                                       QWidget* parent)
    : CResizeDialogBase(item, true, parent), form_(picture_) {
    setObjectName(QStringLiteral("imageResizeDialog"));
    setWindowTitle(QStringLiteral("Image Resize"));
    auto* options = new QWidget;
    aspect_ = new QCheckBox(QStringLiteral("&Maintain aspect ratio"), options);
    aspect_->setObjectName(QStringLiteral("maintainAspect"));
    NameAfterText(aspect_);
    aspect_->setChecked(form_.MaintainAspect());
    resampling_ = new QComboBox(options);
    resampling_->setObjectName(QStringLiteral("resampling"));
    for (const char* choice : kResamplingChoices) resampling_->addItem(QString::fromUtf8(choice));
    resampling_->setCurrentIndex(static_cast<int>(resampling));
    auto* optionLayout = new QGridLayout(options);
    optionLayout->setContentsMargins(0, 0, 0, 0);
    optionLayout->addWidget(aspect_, 0, 0, 1, 2);
    optionLayout->addWidget(BuddyLabel(QString::fromUtf8(kResamplingLabel), resampling_, options),
                            1, 0);
    optionLayout->addWidget(resampling_, 1, 1);
    optionLayout->setColumnStretch(1, 1);
    Arrange(options);

    connect(width_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (const auto other = form_.WidthEdited(text.toStdString())) {
            const ImageResizeForm::WriteGuard guard(form_);
            height_->setText(Text(*other));
        }
        Refresh();
    });
    connect(height_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (const auto other = form_.HeightEdited(text.toStdString())) {
            const ImageResizeForm::WriteGuard guard(form_);
            width_->setText(Text(*other));
        }
        Refresh();
    });
    connect(aspect_, &QCheckBox::toggled, this, [this](bool checked) {
        form_.SetMaintainAspect(checked);
        if (checked) {  // back to the current size
            const ImageResizeForm::WriteGuard guard(form_);
            width_->setText(Text(form_.WidthText()));
            height_->setText(Text(form_.HeightText()));
        }
        Refresh();
    });
    connect(preview_, &QPushButton::clicked, this, &CImageResizeDialog::Preview);
    Refresh();
}

void CImageResizeDialog::Refresh() {
    newGroup_->setTitle(Text(form_.NewSizeLabel()));
}

Resampling CImageResizeDialog::ChosenResampling() const {
    return resampling_->currentIndex() == static_cast<int>(Resampling::Smooth)
               ? Resampling::Smooth
               : Resampling::NearestPixel;
}

void CImageResizeDialog::Preview() {
    if (Check(form_.Accept(&newWidth_, &newHeight_)))
        ShowPreview(kPlaceStretch, 0, false, ChosenResampling() == Resampling::Smooth);
}

void CImageResizeDialog::accept() {
    if (Check(form_.Accept(&newWidth_, &newHeight_))) QDialog::accept();
}

// ---- Canvas Resize ----

CCanvasResizeDialog::CCanvasResizeDialog(const tagILVITEM& item, QWidget* parent)
    : CResizeDialogBase(item, false, parent), form_(picture_) {
    setObjectName(QStringLiteral("canvasResizeDialog"));
    setWindowTitle(QStringLiteral("Canvas Resize"));
    auto* options = new QWidget;
    relative_ = new QCheckBox(QStringLiteral("&Relative"), options);
    relative_->setObjectName(QStringLiteral("relative"));
    NameAfterText(relative_);

    auto* anchorGrid = new QWidget(options);
    anchorGrid->setAccessibleName(QStringLiteral("Anchor"));
    auto* grid = new QGridLayout(anchorGrid);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    anchors_ = new QButtonGroup(this);
    static const char* const kRows[] = {"Top", "Middle", "Bottom"};
    static const char* const kColumns[] = {"left", "center", "right"};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            auto* button = new QRadioButton(anchorGrid);
            button->setAccessibleName(QStringLiteral("%1 %2").arg(QLatin1String(kRows[row]),
                                                                  QLatin1String(kColumns[column])));
            button->setToolTip(button->accessibleName());
            grid->addWidget(button, row, column);
            anchors_->addButton(
                button, static_cast<int>(CanvasAnchorCode(static_cast<AnchorRow>(row),
                                                          static_cast<AnchorColumn>(column))));
        }
    }
    AnchorButton(AnchorRow::Middle, AnchorColumn::Center)->setChecked(true);
    auto* anchorLabel = new QLabel(QStringLiteral("&Anchor:"), options);
    anchorLabel->setBuddy(AnchorButton(AnchorRow::Middle, AnchorColumn::Center));

    color_ = new CColorBoxWnd(options);
    color_->setFixedSize(18, 18);
    color_->SetColor(Qt::black);
    auto* colorLabel = BuddyLabel(QStringLiteral("Canvas &extention color:"), color_, options);

    auto* optionLayout = new QGridLayout(options);
    optionLayout->setContentsMargins(0, 0, 0, 0);
    optionLayout->addWidget(relative_, 0, 0, 1, 2);
    optionLayout->addWidget(anchorLabel, 1, 0, Qt::AlignTop);
    optionLayout->addWidget(anchorGrid, 1, 1, Qt::AlignLeft);
    optionLayout->addWidget(colorLabel, 2, 0);
    optionLayout->addWidget(color_, 2, 1, Qt::AlignLeft);
    optionLayout->setColumnStretch(1, 1);
    Arrange(options);

    connect(width_, &QLineEdit::textChanged, this, [this](const QString& text) {
        form_.SetWidthText(text.toStdString());
        Refresh();
    });
    connect(height_, &QLineEdit::textChanged, this, [this](const QString& text) {
        form_.SetHeightText(text.toStdString());
        Refresh();
    });
    connect(relative_, &QCheckBox::toggled, this, [this](bool checked) {
        form_.SetRelative(checked);
        // The form holds the texts already: writing them back changes nothing there.
        width_->setText(Text(form_.WidthText()));
        height_->setText(Text(form_.HeightText()));
        Refresh();
    });
    connect(preview_, &QPushButton::clicked, this, &CCanvasResizeDialog::Preview);
    Refresh();
}

QRadioButton* CCanvasResizeDialog::AnchorButton(AnchorRow row, AnchorColumn column) const {
    return qobject_cast<QRadioButton*>(
        anchors_->button(static_cast<int>(CanvasAnchorCode(row, column))));
}

std::uint32_t CCanvasResizeDialog::CheckedAnchor() const {
    return static_cast<std::uint32_t>(anchors_->checkedId());
}

std::uint32_t CCanvasResizeDialog::ChosenFill() const {
    const QColor c = color_->Color();
    return RgbColor(c.red(), c.green(), c.blue());
}

void CCanvasResizeDialog::Refresh() {
    newGroup_->setTitle(Text(form_.NewSizeLabel()));
}

void CCanvasResizeDialog::Preview() {
    if (Check(form_.Accept(&newWidth_, &newHeight_)))
        ShowPreview(CheckedAnchor(), ChosenFill(), true);
}

void CCanvasResizeDialog::accept() {
    if (!Check(form_.Accept(&newWidth_, &newHeight_))) return;
    anchor_ = CheckedAnchor();
    fill_ = ChosenFill();
    QDialog::accept();
}
