// "Animation Timing": the preview of the animation composed frame by frame, the
// track bar and the navigation toolbar (First, Previous, Play/Pause, Next,
// Last), the counter and time texts, and the timing method with its value and
// Step edits and SET. The dialog works on the application layer's working copy
// of the delays (AnimationTiming); OK writes it back through
// ApplyAnimationTiming.
//
// Playback: Play hands an immutable copy of the frames and delays to a
// FramePlayer thread, which only decides which frame comes next and when; it
// posts to this dialog that frame k is due, and the dialog draws the frame on
// its own thread, in turn with the user's own navigation. Pause, and closing the dialog
// while playing, stop the thread and wait for it at most FramePlayer's timeout.
#pragma once

#include <QDialog>
#include <cstdint>

#include "anim/animation_timing.h"
#include "anim/frame_player.h"

class CIconmillApp;
class CImageCtrl;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSizeGrip;
class QSlider;
class QToolBar;

class CAnimationTimingDialog : public QDialog {
    Q_OBJECT

public:
    // `timing` as OpenAnimationTiming made it (a frame list that is not empty).
    CAnimationTimingDialog(CIconmillApp& app, AnimationTiming timing, QWidget* parent = nullptr);
    ~CAnimationTimingDialog() override;

    const AnimationTiming& Timing() const { return timing_; }
    bool IsPlaying() const { return player_.Playing(); }
    // The playback thread, for tests that make starting it fail.
    FramePlayer& Player() { return player_; }

    // Shows frame `k` of the frame list: dispose, draw, update the displays.
    void ShowFrame(std::uint32_t k);
    void Play();
    void Pause();
    // SET: applies the method with the value (and Step) edits.
    void Set();

    CImageCtrl* Preview() const { return preview_; }
    QSlider* TrackBar() const { return track_; }
    QToolBar* NavigationBar() const { return navigation_; }
    QAction* FirstAction() const { return first_; }
    QAction* PreviousAction() const { return previous_; }
    QAction* PlayAction() const { return play_; }
    QAction* NextAction() const { return next_; }
    QAction* LastAction() const { return last_; }
    QLabel* CounterText() const { return counter_; }
    QLabel* TimesText() const { return times_; }
    QComboBox* MethodList() const { return method_; }
    QLineEdit* ValueEdit() const { return value_; }
    QPushButton* SetButton() const { return set_; }
    QLabel* StepLabel() const { return stepLabel_; }
    QLineEdit* StepEdit() const { return step_; }
    QCheckBox* LimitBox() const { return limit_; }
    QPushButton* OptionsButton() const { return options_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

    // Stops playback before the dialog ends (OK, Cancel, closing the window).
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Rebuild();
    void UpdateDisplays();
    void FollowMethod();
    void FollowPlaying();
    void OpenOptions();
    void LayOut();

    CIconmillApp& app_;
    AnimationTiming timing_;
    FramePlayer player_;
    bool syncingTrack_ = false;

    CImageCtrl* preview_;
    QSlider* track_;
    QToolBar* navigation_;
    QAction* first_;
    QAction* previous_;
    QAction* play_;
    QAction* next_;
    QAction* last_;
    QSizeGrip* grip_;
    QLabel* counter_;
    QLabel* times_;
    QComboBox* method_;
    QLineEdit* value_;
    QPushButton* set_;
    QLabel* stepLabel_;
    QLineEdit* step_;
    QCheckBox* limit_;
    QPushButton* options_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// The Animation Timing command: opens the dialog on the application's items
// (nothing without items; the improper-argument message and nothing when the
// frame list comes out empty) and applies it on OK.
void RunAnimationTiming(CIconmillApp& app, QWidget* parent);
