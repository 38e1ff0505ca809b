#include "ui/frame_properties_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/frame_commands.h"
#include "core/item.h"
#include "ui/canvas_wnd.h"
#include "ui/dialog_controls.h"
#include "ui/image_ctrl.h"
#include "ui/qt_interaction.h"

namespace {

// Digits only, at most four; a negative position shows as it is stored.
QLineEdit* NumberEdit(const std::string& text, const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(kFramePropertiesEditLimit);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setText(QString::fromStdString(text));
    return edit;
}

template <std::size_t N>
QComboBox* OpList(const char* const (&items)[N], int index, const QString& name, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    for (const char* text : items) list->addItem(QString::fromLatin1(text));
    list->setCurrentIndex(index);
    return list;
}

std::string ToStd(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

CFramePropertiesDialog::CFramePropertiesDialog(const FramePropertiesForm& form, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("framePropertiesDialog"));
    setWindowTitle(QStringLiteral("Frame Properties"));
    x_ = NumberEdit(form.x, QStringLiteral("x"), this);
    y_ = NumberEdit(form.y, QStringLiteral("y"), this);
    delay_ = NumberEdit(form.delay, QStringLiteral("delay"), this);
    blend_ = OpList(kBlendListItems, form.blendIndex, QStringLiteral("blending"), this);
    dispose_ = OpList(kDisposeListItems, form.disposeIndex, QStringLiteral("disposing"), this);

    auto* fields = new QFormLayout;
    fields->addRow(BuddyLabel(QStringLiteral("&X:"), x_, this), x_);
    fields->addRow(BuddyLabel(QStringLiteral("&Y:"), y_, this), y_);
    fields->addRow(BuddyLabel(QStringLiteral("&Delay (1/100 s):"), delay_, this), delay_);
    fields->addRow(BuddyLabel(QStringLiteral("&Blending:"), blend_, this), blend_);
    fields->addRow(BuddyLabel(QStringLiteral("D&isposing:"), dispose_, this), dispose_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(OkCancelBox(this));
}

void CFramePropertiesDialog::accept() {
    const FramePropertiesForm form{ToStd(x_->text()), ToStd(y_->text()), ToStd(delay_->text()),
                                   blend_->currentIndex(), dispose_->currentIndex()};
    QtInteraction door(this, nullptr);
    FrameEdit edit;
    const FramePropertiesField refused = AcceptFrameProperties(door, form, &edit);
    QLineEdit* field = refused == FramePropertiesField::X       ? x_
                       : refused == FramePropertiesField::Y     ? y_
                       : refused == FramePropertiesField::Delay ? delay_
                                                                : nullptr;
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return;
    }
    edit_ = edit;
    QDialog::accept();
}

CHotSpotDialog::CHotSpotDialog(const CIconmillApp& app, const HotSpotState& state,
                               QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("hotSpotDialog"));
    setWindowTitle(QStringLiteral("Set Hot Spot"));
    image_ = new CImageCtrl(this);
    image_->setAccessibleName(QStringLiteral("Image"));
    image_->setMinimumSize(320, 240);
    const tagILVITEM* item = app.Items().Item(state.item);
    if (item) {
        const tagILVITEM& picture = item->Image();
        image_->SetImage(picture.header, picture.bits, picture.mask);
        if (picture.header)
            image_->SetLabel(QString::fromStdString(HotSpotImageLabel(*picture.header)));
    }
    image_->SetViewMode(4);
    image_->SetOverlays(kOverlayCoordinates | kOverlayZoom | kOverlayLabel);
    image_->SetToolMode(true, QCursor(Qt::CrossCursor));
    image_->Canvas()->viewport()->installEventFilter(this);
    label_ = new QLabel(QString::fromStdString(HotSpotText(state_)), this);
    label_->setObjectName(QStringLiteral("hotSpot"));
    label_->setAccessibleName(QStringLiteral("Hot spot"));

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Hot spot:"), this));
    row->addWidget(label_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(image_, 1);
    layout->addLayout(row);
    layout->addWidget(OkCancelBox(this));
}

bool CHotSpotDialog::eventFilter(QObject* watched, QEvent* event) {
    // A press picks; moving with the button held does not.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const CanvasGeometry geometry = image_->Canvas()->Geometry();
        const CanvasView view{geometry.clientWidth, geometry.clientHeight, geometry.zoom,
                              geometry.scrollX,     geometry.scrollY,      geometry.imageWidth,
                              geometry.imageHeight};
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (PickHotSpot(&state_, view, point.x(), point.y()))
            label_->setText(QString::fromStdString(HotSpotText(state_)));
    }
    return QDialog::eventFilter(watched, event);
}

void RunFrameProperties(CIconmillApp& app, QWidget* parent) {
    const std::optional<FramePropertiesForm> form = FramePropertiesFormOf(app.Items());
    if (!form) return;
    CFramePropertiesDialog dialog(*form, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyFrameProperties(app, dialog.Edit());
}

void RunSetHotSpot(CIconmillApp& app, QWidget* parent) {
    const std::optional<HotSpotState> state = OpenHotSpot(app);
    if (!state) return;
    CHotSpotDialog dialog(app, *state, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyHotSpot(app, dialog.State());
}
