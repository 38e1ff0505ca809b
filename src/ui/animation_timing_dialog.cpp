#include "ui/animation_timing_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSizeGrip>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <memory>

#include "app/animation_commands.h"
#include "app/application.h"
#include "core/item.h"
#include "platform/door/string_table.h"
#include "ui/animation_options_dialogs.h"
#include "ui/artwork.h"
#include "ui/dialog_controls.h"
#include "ui/image_ctrl.h"
#include "ui/qt_interaction.h"

namespace {

// "A frame is waiting to be shown", posted by the playback thread to the
// dialog. It carries nothing: the dialog asks the player which frame, under the
// player's lock, so a frame of an earlier playback or one the user's own
// navigation overtook is never shown.
QEvent::Type FrameWaitingEvent() {
    static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
    return kind;
}

QAction* NavigationAction(QToolBar* bar, QStyle::StandardPixmap icon, const QString& text) {
    QAction* action = bar->addAction(bar->style()->standardIcon(icon), text);
    action->setToolTip(text);
    return action;
}

QLineEdit* NumberEdit(QWidget* parent, Qt::Alignment alignment, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(kTimingEditLimit);
    edit->setAlignment(alignment);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setAccessibleName(name);
    return edit;
}

QLabel* CentredText(QWidget* parent, const QString& tip) {
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setToolTip(tip);
    label->setAccessibleName(tip);
    return label;
}

}  // namespace

CAnimationTimingDialog::CAnimationTimingDialog(CIconmillApp& app, AnimationTiming timing,
                                               QWidget* parent)
    : QDialog(parent), app_(app), timing_(std::move(timing)) {
    setObjectName(QStringLiteral("animationTimingDialog"));
    setWindowTitle(QStringLiteral("Animation Timing"));
    setWindowIcon(CommandIcon(kCmdAnimationTiming));
    setSizeGripEnabled(false);  // the grip is placed by the layout table

    preview_ = new CImageCtrl(this);
    preview_->setAccessibleName(QStringLiteral("Animation"));
    preview_->SetViewMode(4);
    preview_->SetBackground(1);
    preview_->SetOverlays(kOverlayZoom | kOverlayLabel);
    preview_->SetViewModeButtonAllowed(false);
    connect(preview_, &CImageCtrl::BackgroundChanged, this, [this] {
        timing_.ClearBeforeNextFrame();
        ShowFrame(timing_.CurrentFrame());
    });

    track_ = new QSlider(Qt::Horizontal, this);
    track_->setTickPosition(QSlider::NoTicks);
    track_->setAccessibleName(QStringLiteral("Frame"));
    connect(track_, &QSlider::valueChanged, this, [this](int position) {
        if (syncingTrack_) return;
        if (const auto frame = timing_.FrameOfTrackPosition(position)) ShowFrame(*frame);
    });

    navigation_ = new QToolBar(this);
    navigation_->setAccessibleName(QStringLiteral("Navigation"));
    navigation_->setIconSize(QSize(16, 16));
    navigation_->setMovable(false);
    navigation_->layout()->setContentsMargins(0, 0, 0, 0);
    navigation_->layout()->setSpacing(0);
    first_ = NavigationAction(navigation_, QStyle::SP_MediaSkipBackward, QStringLiteral("First"));
    previous_ =
        NavigationAction(navigation_, QStyle::SP_MediaSeekBackward, QStringLiteral("Previous"));
    play_ = NavigationAction(navigation_, QStyle::SP_MediaPlay, QStringLiteral("Play"));
    next_ = NavigationAction(navigation_, QStyle::SP_MediaSeekForward, QStringLiteral("Next"));
    last_ = NavigationAction(navigation_, QStyle::SP_MediaSkipForward, QStringLiteral("Last"));
    for (QAction* action : navigation_->actions())
        if (QWidget* button = navigation_->widgetForAction(action))
            button->setAccessibleName(action->text());
    const auto go = [this](std::optional<std::uint32_t> frame) {
        if (frame) ShowFrame(*frame);
    };
    connect(first_, &QAction::triggered, this, [this, go] { go(timing_.FirstFrame()); });
    connect(previous_, &QAction::triggered, this, [this, go] { go(timing_.PreviousFrame()); });
    connect(next_, &QAction::triggered, this, [this, go] { go(timing_.NextFrame()); });
    connect(last_, &QAction::triggered, this, [this, go] { go(timing_.LastFrame()); });
    connect(play_, &QAction::triggered, this, [this] { IsPlaying() ? Pause() : Play(); });

    counter_ = CentredText(this, QStringLiteral("Current frame/Total frames"));
    times_ = CentredText(this, QStringLiteral("Frame length/Total length"));

    method_ = new QComboBox(this);
    for (const char* text : kTimingMethodListItems) method_->addItem(QString::fromLatin1(text));
    method_->setCurrentIndex(static_cast<int>(TimingMethod::Distinct));
    method_->setToolTip(QStringLiteral("Timing method"));
    method_->setAccessibleName(QStringLiteral("Timing method"));
    connect(method_, &QComboBox::currentIndexChanged, this, [this] { FollowMethod(); });

    value_ = NumberEdit(this, Qt::AlignCenter, QStringLiteral("Value"));
    set_ = new QPushButton(QStringLiteral("&SET"), this);
    set_->setAccessibleName(QStringLiteral("SET"));
    set_->setAutoDefault(false);
    connect(set_, &QPushButton::clicked, this, &CAnimationTimingDialog::Set);
    stepLabel_ = new QLabel(QStringLiteral("S&tep:"), this);
    step_ = NumberEdit(this, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Step"));
    step_->setText(QString::number(kDefaultTimingStep));
    stepLabel_->setBuddy(step_);

    limit_ = new QCheckBox(QStringLiteral("&Limit to selected items"), this);
    limit_->setAccessibleName(QStringLiteral("Limit to selected items"));
    limit_->setToolTip(QStringLiteral("If checked, only animates the selected items"));
    limit_->setEnabled(CanLimitTimingToSelected(app_));
    connect(limit_, &QCheckBox::toggled, this, [this](bool on) {
        timing_.Rebuild(app_.Items(), on, timing_.FirstFrameExcluded());
        Rebuild();
    });

    options_ = new QPushButton(this);
    options_->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    options_->setToolTip(QStringLiteral("Options"));
    options_->setAccessibleName(QStringLiteral("Options"));
    options_->setAutoDefault(false);
    connect(options_, &QPushButton::clicked, this, &CAnimationTimingDialog::OpenOptions);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setAccessibleName(QStringLiteral("OK"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setAccessibleName(QStringLiteral("Cancel"));
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    grip_ = new QSizeGrip(this);

    // The edits and buttons read in the order of the layout.
    QWidget* const order[] = {track_, method_, value_, set_, step_, limit_, options_, ok_, cancel_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    FollowMethod();
    FollowPlaying();
    setMinimumSize(407, 407);
    resize(407, 470);
    Rebuild();
}

CAnimationTimingDialog::~CAnimationTimingDialog() {
    player_.Stop();
}

void CAnimationTimingDialog::Rebuild() {
    const bool playing = IsPlaying();
    if (playing) player_.Stop();
    syncingTrack_ = true;
    track_->setRange(1, std::max<int>(1, static_cast<int>(timing_.FrameCount())));
    syncingTrack_ = false;
    CCanvasWnd* canvas = preview_->Canvas();
    // A new canvas starts as the preview's background, not black.
    if (canvas->SetCanvasSize(timing_.BoundingWidth(), timing_.BoundingHeight()))
        canvas->ApplyDisposeOp(1);
    preview_->SetLabel(QString::fromStdString(timing_.BoundingText()));
    ShowFrame(0);
    if (playing) Play();
    FollowPlaying();
}

void CAnimationTimingDialog::ShowFrame(std::uint32_t k) {
    if (const auto step = timing_.ShowFrame(app_.Items(), k)) {
        CCanvasWnd* canvas = preview_->Canvas();
        canvas->ApplyDisposeOp(step->disposeBefore);
        const tagILVITEM* item = app_.Items().Item(step->item);
        const tagILVITEM& picture = item->Image();
        canvas->DrawFrame(picture.header, picture.bits, picture.mask, item->x, item->y,
                          item->frameInfo.blendOp);
    }
    UpdateDisplays();
    player_.Shown(timing_.CurrentFrame());
}

void CAnimationTimingDialog::UpdateDisplays() {
    syncingTrack_ = true;
    track_->setValue(static_cast<int>(timing_.CurrentFrame()) + 1);
    syncingTrack_ = false;
    counter_->setText(QString::fromStdString(timing_.CounterText()));
    times_->setText(QString::fromStdString(timing_.TimesText()));
    value_->setText(QString::fromStdString(timing_.ValueText()));
}

void CAnimationTimingDialog::FollowMethod() {
    const bool step = TimingMethodUsesStep(static_cast<TimingMethod>(method_->currentIndex()));
    stepLabel_->setEnabled(step);
    step_->setEnabled(step);
}

void CAnimationTimingDialog::FollowPlaying() {
    const bool playing = IsPlaying();
    play_->setText(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
    play_->setToolTip(play_->text());
    play_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    if (QWidget* button = navigation_->widgetForAction(play_))
        button->setAccessibleName(play_->text());
    method_->setEnabled(!playing);
    value_->setEnabled(!playing);
    set_->setEnabled(!playing);
}

void CAnimationTimingDialog::Set() {
    QtInteraction door(this, nullptr);
    const TimingField refused =
        AcceptTimingSet(door, static_cast<TimingMethod>(method_->currentIndex()),
                        value_->text().toStdString(), step_->text().toStdString(), &timing_);
    switch (refused) {
        case TimingField::Value:
            FocusAndSelect(value_);
            return;
        case TimingField::Step:
            FocusAndSelect(step_);
            return;
        case TimingField::None:
            UpdateDisplays();
            return;
    }
}

void CAnimationTimingDialog::Play() {
    if (IsPlaying() || timing_.Empty()) return;
    auto sequence = std::make_shared<const FrameSequence>(timing_.Sequence());
    // Runs on the playback thread: only posts. The dialog outlives every call,
    // since it stops the player before it goes.
    const bool started = player_.Start(std::move(sequence), timing_.CurrentFrame(),
                                       [this](std::uint32_t) {
                                           QCoreApplication::postEvent(
                                               this, new QEvent(FrameWaitingEvent()));
                                       });
    if (!started) {
        QtInteraction(this, nullptr)
            .ShowMessage(PlainMessage(kStrGenericFailure, MessageIcon::Error));
        return;
    }
    FollowPlaying();
}

void CAnimationTimingDialog::Pause() {
    player_.Stop();
    FollowPlaying();
}

bool CAnimationTimingDialog::event(QEvent* event) {
    if (event->type() != FrameWaitingEvent()) return QDialog::event(event);
    if (const std::optional<std::uint32_t> frame = player_.PendingFrame()) ShowFrame(*frame);
    return true;
}

void CAnimationTimingDialog::OpenOptions() {
    CAnimationOptionsDialog dialog(app_.Compilation(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyAnimationOptions(app_, dialog.Options());
    if (RefreshTimingAfterOptions(app_, timing_)) Rebuild();
}

void CAnimationTimingDialog::done(int result) {
    player_.Stop();
    FollowPlaying();
    QDialog::done(result);
}

void CAnimationTimingDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!isMinimized()) LayOut();
}

void CAnimationTimingDialog::LayOut() {
    const int w = width();
    const int h = height();
    const QSize bar = navigation_->sizeHint();
    const int tw = bar.width();
    const int th = bar.height();
    const int x = (w - tw) / 2;
    const int y = h - 149;
    preview_->setGeometry(11, 11, w - 22, h - 200);
    track_->setGeometry(11, h - 179, w - 22, 28);
    navigation_->setGeometry(x, y, tw, th);
    counter_->setGeometry(x - 127, y, 120, th);
    times_->setGeometry(x + tw + 7, y, 120, th);
    method_->setGeometry(x - 127, y + th + 7, 120, th);
    value_->setGeometry(x, y + th + 7, tw, th);
    set_->setGeometry(x + tw + 7, y + th + 7, 120, th);
    stepLabel_->resize(stepLabel_->sizeHint());
    stepLabel_->move(x - 80, y + 2 * th + 17);
    step_->setGeometry(x - 47, y + 2 * th + 14, 40, th);
    limit_->resize(limit_->sizeHint());
    limit_->move(11, h - 36);
    options_->setGeometry(w - 218, h - 44, 28, 28);
    ok_->setGeometry(w - 184, h - 44, 83, 28);
    cancel_->setGeometry(w - 94, h - 44, 83, 28);
    grip_->resize(grip_->sizeHint());
    grip_->move(w - 17, h - 17);
}

void RunAnimationTiming(CIconmillApp& app, QWidget* parent) {
    std::optional<AnimationTiming> timing = OpenAnimationTiming(app);
    if (!timing) return;
    CAnimationTimingDialog dialog(app, std::move(*timing), parent);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyAnimationTiming(app, dialog.Timing());
}
