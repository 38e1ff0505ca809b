#include "ui/zoom_control.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include "app/view_commands.h"
#include "platform/door/string_table.h"
#include "ui/hover_button.h"

namespace {

QString Text(int id) {
    return QString::fromUtf8(LoadStringText(id));
}

void Name(QWidget* widget, int id) {
    widget->setToolTip(Text(id));
    widget->setAccessibleName(Text(id));
}

}  // namespace

CZoomCtrl::CZoomCtrl(QWidget* parent)
    : QWidget(parent),
      label_(new QLabel(this)),
      minus_(new CHoverButton(CHoverButton::Glyph::Minus, this)),
      track_(new QSlider(Qt::Horizontal, this)),
      plus_(new CHoverButton(CHoverButton::Glyph::Plus, this)) {
    setFixedSize(kWidth, kHeight);
    // The "+" button ends at the control's right edge, so the track gives up
    // the 6 pixels it would otherwise overhang.
    label_->setGeometry(0, 0, 40, kHeight);
    minus_->setGeometry(46, 0, 22, kHeight);
    track_->setGeometry(68, 0, kWidth - 22 - 68, kHeight);
    plus_->setGeometry(kWidth - 22, 0, 22, kHeight);

    label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    track_->setRange(0, kZoomPositions - 1);
    track_->setTickPosition(QSlider::NoTicks);
    track_->setPageStep(1);
    track_->setValue(lastValidPosition_);

    Name(label_, kStrZoomLevel);
    Name(minus_, kStrZoomOut);
    Name(plus_, kStrZoomIn);
    Name(track_, kStrZoom);
    minus_->setText(QStringLiteral("-"));
    plus_->setText(QStringLiteral("+"));
    setAccessibleName(Text(kStrZoom));
    ShowZoom();

    connect(minus_, &QAbstractButton::clicked, this, &CZoomCtrl::ZoomOut);
    connect(plus_, &QAbstractButton::clicked, this, &CZoomCtrl::ZoomIn);
    connect(track_, &QAbstractSlider::actionTriggered, this, &CZoomCtrl::OnTrackAction);
    connect(track_, &QAbstractSlider::valueChanged, this, &CZoomCtrl::OnTrackMoved);
}

int CZoomCtrl::Position() const {
    return track_->value();
}

double CZoomCtrl::Zoom() const {
    return kZoomTable[track_->value()];
}

void CZoomCtrl::MoveTo(int position) {
    {
        const QSignalBlocker blocker(track_);
        track_->setValue(position);
    }
    lastValidPosition_ = track_->value();
    ShowZoom();
    emit ZoomChanged(Zoom());
}

void CZoomCtrl::ShowZoom() {
    const QString text = QString::fromStdString(ZoomLabel(Zoom()));
    label_->setText(text);
    // The names stay the parts' tooltips; the value is what a reader says next.
    label_->setAccessibleDescription(text);
    track_->setAccessibleDescription(text);
}

void CZoomCtrl::SetZoom(double percent) {
    MoveTo(ZoomPositionOf(percent));
}

void CZoomCtrl::ZoomIn() {
    const int next = ZoomInPosition(track_->value());
    if (next != track_->value()) MoveTo(next);
}

void CZoomCtrl::ZoomOut() {
    const int next = ZoomOutPosition(track_->value());
    if (next != track_->value()) MoveTo(next);
}

void CZoomCtrl::OnTrackAction(int action) {
    // Keys, the wheel and clicks on the groove step across the gap in their
    // direction; snapping them back would never let them cross it.
    const int position = track_->sliderPosition();
    if (track_->isSliderDown() || position < 0 || position >= kZoomPositions ||
        kZoomTable[position] != 0)
        return;
    const bool up = position > track_->value();
    if (action == QAbstractSlider::SliderNoAction) return;
    track_->setSliderPosition(up ? ZoomInPosition(position) : ZoomOutPosition(position));
}

void CZoomCtrl::OnTrackMoved(int position) {
    if (moving_) return;
    moving_ = true;
    MoveTo(SnapZoomPosition(position, lastValidPosition_));
    moving_ = false;
}
