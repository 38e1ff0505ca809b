#include "ui/image_ctrl.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/commands.h"
#include "app/image_view.h"
#include "core/dib.h"
#include "ui/artwork.h"
#include "ui/color_box.h"

namespace {

// The list's entries and the background kinds they stand for; -1 "Custom...".
struct BackgroundEntry {
    const char* text;
    int kind;
};
constexpr BackgroundEntry kBackgroundEntries[] = {
    {"Black", 0}, {"White", 1}, {"Gray", 2}, {"Window", 3}, {"Transparent", 4}, {"Custom...", 5},
};

ColorRef ToColorRef(const QColor& c) {
    return RgbColor(c.red(), c.green(), c.blue());
}

QAction* ZoomAction(QWidget* parent, const QString& text, CommandId iconOf) {
    auto* action = new QAction(CommandIcon(iconOf), text, parent);
    action->setToolTip(text);
    return action;
}

}  // namespace

CImageCtrl::CImageCtrl(QWidget* parent)
    : QWidget(parent), chooser_(&CColorBoxWnd::ChooseWithColorDialog) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    canvas_ = new CCanvasWnd(this);

    backgroundLabel_ = new QLabel(QStringLiteral("&Background:"), this);
    backgroundLabel_->setFixedWidth(65);
    backgroundList_ = new QComboBox(this);
    backgroundList_->setAccessibleName(QStringLiteral("Background"));
    backgroundLabel_->setBuddy(backgroundList_);
    FillBackgroundList();
    connect(backgroundList_, &QComboBox::activated, this, &CImageCtrl::OnBackgroundActivated);

    zoomBar_ = new QToolBar(this);
    zoomBar_->setIconSize(QSize(16, 16));
    zoomBar_->setAccessibleName(QStringLiteral("Zoom"));
    zoomIn_ = ZoomAction(this, QStringLiteral("Zoom In"), kCmdZoomIn);
    zoomOut_ = ZoomAction(this, QStringLiteral("Zoom Out"), kCmdZoomOut);
    actualSize_ = ZoomAction(this, QStringLiteral("Actual Size"), kCmdZoom100);
    zoomBar_->addAction(zoomIn_);
    zoomBar_->addAction(zoomOut_);
    zoomBar_->addAction(actualSize_);
    connect(zoomIn_, &QAction::triggered, this, &CImageCtrl::ZoomIn);
    connect(zoomOut_, &QAction::triggered, this, &CImageCtrl::ZoomOut);
    connect(actualSize_, &QAction::triggered, this, &CImageCtrl::ActualSize);

    viewMenu_ = new QMenu(this);
    viewGroup_ = new QActionGroup(this);
    viewGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const char* modes[] = {"Pure Image", "Enable Mask", "Enable Alpha-channel",
                           "Enable &Pre-multiplied Alpha"};
    for (int mode = 0; mode < 4; ++mode) {
        QAction* action = viewMenu_->addAction(QString::fromLatin1(modes[mode]));
        action->setCheckable(true);
        viewGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, mode] { SetViewMode(mode); });
        viewActions_[mode] = action;
    }
    connect(viewMenu_, &QMenu::aboutToShow, this, &CImageCtrl::UpdateViewModeMenu);
    seeMore_ = new QToolButton(zoomBar_);
    seeMore_->setText(QStringLiteral("See more"));
    seeMore_->setToolTip(QStringLiteral("See more"));
    seeMore_->setAccessibleName(QStringLiteral("See more"));
    seeMore_->setIcon(CommandIcon(kCmdPreviewAlpha));
    seeMore_->setMenu(viewMenu_);
    seeMore_->setPopupMode(QToolButton::InstantPopup);
    seeMoreAction_ = zoomBar_->addWidget(seeMore_);
    seeMoreAction_->setVisible(false);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 2, 0, 0);
    row->addWidget(backgroundLabel_);
    row->addWidget(backgroundList_);
    row->addStretch(1);
    row->addWidget(zoomBar_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvas_, 1);
    layout->addLayout(row);

    canvas_->SetPixelTextProvider([this](int x, int y) {
        return QString::fromStdString(PixelInfoText(canvas_->Header(), canvas_->Bits(), x, y));
    });
    canvas_->SetBackground(1, 0);
    canvas_->SetViewMode(kCanvasViewAuto);
    SelectBackgroundEntry();
}

void CImageCtrl::FillBackgroundList() {
    backgroundList_->clear();
    for (const BackgroundEntry& entry : kBackgroundEntries) {
        if (noTransparency_ && entry.kind == 4) continue;
        backgroundList_->addItem(QString::fromLatin1(entry.text), entry.kind);
    }
}

void CImageCtrl::SelectBackgroundEntry() {
    const int row = backgroundList_->findData(canvas_->Background());
    backgroundList_->setCurrentIndex(row >= 0 ? row : backgroundList_->findData(1));
}

void CImageCtrl::OnBackgroundActivated(int row) {
    const int kind = backgroundList_->itemData(row).toInt();
    if (kind == 5) {
        const QColor initial = custom_.isValid() ? custom_ : QColor(Qt::white);
        const std::optional<QColor> chosen = chooser_ ? chooser_(this, initial) : std::nullopt;
        if (!chosen) {
            SelectBackgroundEntry();  // back to the previous entry
            return;
        }
        custom_ = *chosen;
    }
    canvas_->SetBackground(kind, ToColorRef(custom_.isValid() ? custom_ : QColor(Qt::black)));
    emit BackgroundChanged(kind);
}

void CImageCtrl::SetBackground(int kind, const QColor& custom) {
    if (custom.isValid()) custom_ = custom;
    canvas_->SetBackground(kind, ToColorRef(custom_.isValid() ? custom_ : QColor(Qt::black)));
    SelectBackgroundEntry();
}

void CImageCtrl::SetNoTransparency(bool on) {
    noTransparency_ = on;
    FillBackgroundList();
    SelectBackgroundEntry();
}

void CImageCtrl::SetViewMode(int mode) {
    canvas_->SetViewMode(mode);
    UpdateViewModeMenu();
}

QAction* CImageCtrl::ViewModeAction(int mode) const {
    return mode >= 0 && mode < 4 ? viewActions_[mode] : nullptr;
}

void CImageCtrl::UpdateViewModeMenu() {
    const int mode = canvas_->ViewMode();
    for (int m = 0; m < 4; ++m) viewActions_[m]->setChecked(m == mode);
    const bool alpha = canvas_->BitCount() == 32;
    viewActions_[1]->setEnabled(canvas_->HasMask());
    viewActions_[2]->setEnabled(alpha);
    viewActions_[3]->setEnabled(alpha);
}

void CImageCtrl::SetViewModeButtonAllowed(bool allowed) {
    seeMoreAllowed_ = allowed;
    ImageChanged();
}

void CImageCtrl::ImageChanged() {
    seeMoreAction_->setVisible(seeMoreAllowed_ && canvas_->BitCount() == 32);
    UpdateViewModeMenu();
}

bool CImageCtrl::SetImage(const DibHeader* header, const std::uint8_t* bits,
                          const std::uint8_t* mask) {
    const bool shown = canvas_->SetDib(header, bits, mask);
    ImageChanged();
    return shown;
}

bool CImageCtrl::ShowBitmap(const DibHeader* header, const std::uint8_t* bits,
                            const std::uint8_t* mask) {
    const bool shown = canvas_->ShowBitmap(header, bits, mask);
    ImageChanged();
    return shown;
}

void CImageCtrl::ClearImage() {
    canvas_->ClearImage();
    ImageChanged();
}

void CImageCtrl::Refresh() {
    canvas_->Refresh();
}

namespace {
ZoomFrame FrameOf(const CCanvasWnd& canvas) {
    return {canvas.ImageWidth(), canvas.ImageHeight(), canvas.viewport()->width(),
            canvas.viewport()->height()};
}
}  // namespace

void CImageCtrl::ZoomIn() {
    if (const auto zoom = ZoomInStep(canvas_->Zoom(), FrameOf(*canvas_))) canvas_->SetZoom(*zoom);
}

void CImageCtrl::ZoomOut() {
    if (const auto zoom = ZoomOutStep(canvas_->Zoom(), FrameOf(*canvas_))) canvas_->SetZoom(*zoom);
}

void CImageCtrl::ActualSize() {
    canvas_->SetZoom(1.0f);
}
