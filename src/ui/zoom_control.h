// The zoom control of the status bar: a label with the current zoom, a "-"
// button, a track of the zoom table's positions 0 to 14 and a "+" button. The
// positions 3 to 6 are a gap that puts 100 % in the middle; the track never
// rests there. After every change the control emits ZoomChanged.
#pragma once

#include <QWidget>

class CHoverButton;
class QLabel;
class QSlider;

class CZoomCtrl : public QWidget {
    Q_OBJECT

public:
    // The control's size and its parts' places, in device-independent pixels.
    static constexpr int kWidth = 184;
    static constexpr int kHeight = 22;

    explicit CZoomCtrl(QWidget* parent = nullptr);

    // The zoom in percent of the track's position.
    double Zoom() const;
    int Position() const;

    // The first position of exactly `percent` (the last position when none is);
    // the label follows and ZoomChanged is emitted.
    void SetZoom(double percent);
    // One valid step; nothing (and no signal) at the end of the track.
    void ZoomIn();
    void ZoomOut();

    QLabel* Label() const { return label_; }
    CHoverButton* ZoomOutButton() const { return minus_; }
    CHoverButton* ZoomInButton() const { return plus_; }
    QSlider* Track() const { return track_; }

    QSize sizeHint() const override { return {kWidth, kHeight}; }

signals:
    void ZoomChanged(double percent);

private:
    // Puts the track at a valid position, remembers it, updates the label and
    // tells the parent.
    void MoveTo(int position);
    // The label and the parts' accessible descriptions follow the position.
    void ShowZoom();
    void OnTrackAction(int action);
    void OnTrackMoved(int position);

    QLabel* label_;
    CHoverButton* minus_;
    QSlider* track_;
    CHoverButton* plus_;
    int lastValidPosition_ = 7;
    bool moving_ = false;
};
