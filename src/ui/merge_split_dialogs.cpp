#include "ui/merge_split_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "ui/color_box.h"
#include "ui/dialog_controls.h"
#include "ui/image_ctrl.h"
#include "ui/image_viewer_dialog.h"
#include "ui/qt_interaction.h"
#include "ui/up_down_edit.h"

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Entry(const CUpDownEdit* edit) {
    return edit->Line()->text().toStdString();
}

// The picture of an orientation: three frames in a row (horizontal strips) or
// in a column (vertical strips).
QPixmap OrientationPicture(StripOrientation orientation) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(52, 73, 94), 1.2));
    const bool across = orientation == StripOrientation::Horizontal;
    const QRectF strip = across ? QRectF(1.5, 9.5, 29, 13) : QRectF(9.5, 1.5, 13, 29);
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(strip);
    p.setBrush(QColor(41, 128, 185));
    for (int i = 0; i < 3; ++i) {
        const QRectF frame =
            across ? QRectF(3.5 + 9.3 * i, 12, 7, 8) : QRectF(12, 3.5 + 9.3 * i, 8, 7);
        p.drawRect(frame);
    }
    return pixmap;
}

// The brush of the split grid: a 2 x 2 checkerboard of blue and light blue.
QBrush GridBrush() {
    QImage pattern(2, 2, QImage::Format_RGB32);
    const QRgb blue = qRgb(0, 0, 255), light = qRgb(240, 248, 255);
    pattern.setPixel(0, 0, blue);
    pattern.setPixel(1, 1, blue);
    pattern.setPixel(1, 0, light);
    pattern.setPixel(0, 1, light);
    return QBrush(pattern);
}

}  // namespace

// ---- Merge ----

CMergeDialog::CMergeDialog(const MergeDialogSetup& setup, std::vector<MergeSource> sources,
                           QWidget* parent)
    : QDialog(parent), setup_(setup), sources_(std::move(sources)) {
    setObjectName(QStringLiteral("mergeDialog"));
    setWindowTitle(QStringLiteral("Merge"));
    auto* order = new QLabel(
        QStringLiteral("The order of images are base on order in the image list view."), this);

    auto* group = new QGroupBox(QStringLiteral("Strips &orientation"), this);
    group->setAccessibleName(QStringLiteral("Strips orientation"));
    icon_ = new QLabel(group);
    icon_->setAccessibleName(QStringLiteral("Orientation"));
    horizontal_ = new QRadioButton(QStringLiteral("&Horizontal"), group);
    vertical_ = new QRadioButton(QStringLiteral("&Vertical"), group);
    NameAfterText(horizontal_);
    NameAfterText(vertical_);
    horizontal_->setChecked(true);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(icon_);
    groupLayout->addWidget(horizontal_);
    groupLayout->addWidget(vertical_);
    groupLayout->addStretch(1);

    strip_ = new CUpDownEdit(1, setup_.sourceCount, this);
    strip_->setObjectName(QStringLiteral("perStrip"));
    strip_->SetMaxLength(10);
    strip_->Line()->setText(QString::number(setup_.sourceCount));
    auto* stripLabel =
        BuddyLabel(QStringLiteral("The number of &images per each strip:"), strip_, this);

    fill_ = new QCheckBox(QStringLiteral("&Fill background with color:"), this);
    NameAfterText(fill_);
    color_ = new CColorBoxWnd(this);
    color_->setAccessibleName(QStringLiteral("Fill color"));
    color_->setFixedSize(18, 18);
    color_->SetColor(Qt::black);
    color_->setEnabled(false);

    count_ = new QLabel(QString::number(setup_.sourceCount), this);
    count_->setAccessibleName(QStringLiteral("Images to be merge"));
    result_ = new QLabel(this);
    result_->setAccessibleName(QStringLiteral("Result"));
    delete_ = new QCheckBox(QStringLiteral("&Delete the source images after merge"), this);
    NameAfterText(delete_);
    delete_->setEnabled(setup_.deleteAllowed);

    auto* grid = new QGridLayout;
    grid->addWidget(stripLabel, 0, 0);
    grid->addWidget(strip_, 0, 1);
    grid->addWidget(fill_, 1, 0);
    grid->addWidget(color_, 1, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("Images to be merge:"), this), 2, 0);
    grid->addWidget(count_, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(order);
    layout->addWidget(group);
    layout->addLayout(grid);
    layout->addWidget(result_);
    layout->addWidget(delete_);
    layout->addWidget(DialogButtons(this, &preview_));

    connect(strip_->Line(), &QLineEdit::textChanged, this, [this] { Refresh(); });
    connect(horizontal_, &QRadioButton::clicked, this, [this] { Refresh(); });
    connect(vertical_, &QRadioButton::clicked, this, [this] { Refresh(); });
    connect(fill_, &QCheckBox::toggled, color_, &QWidget::setEnabled);
    connect(preview_, &QPushButton::clicked, this, &CMergeDialog::Preview);
    Refresh();
    strip_->setFocus();
    strip_->Line()->selectAll();
}

StripOrientation CMergeDialog::Orientation() const {
    return vertical_->isChecked() ? StripOrientation::Vertical : StripOrientation::Horizontal;
}

void CMergeDialog::Refresh() {
    icon_->setPixmap(OrientationPicture(Orientation()));
    result_->setText(Text(MergeResultText(setup_, Entry(strip_), Orientation())));
}

bool CMergeDialog::Read(MergeOptions* options) {
    const std::string strip = Entry(strip_);
    const QColor fill = color_->Color();
    MergeDialogEntries entries;
    entries.stripText = strip;
    entries.orientation = Orientation();
    entries.fillBackground = fill_->isChecked();
    entries.fillColor = RgbColor(fill.red(), fill.green(), fill.blue());
    entries.deleteChecked = delete_->isChecked();
    const auto rejection = AcceptMergeDialog(setup_, entries, options);
    if (!rejection) return true;
    RejectEntry(this, rejection->message, strip_->Line());
    return false;
}

void CMergeDialog::Preview() {
    MergeOptions options;
    if (!Read(&options)) return;
    QtInteraction door(this, nullptr);
    HeaderBlock header;
    Block bits;
    if (!BuildMergeResult(door, sources_, options.parameters, &header, &bits)) return;
    CImageViewerDialog viewer(header.get(), bits.get(), nullptr, true, this);
    viewer.exec();
}

void CMergeDialog::accept() {
    if (Read(&options_)) QDialog::accept();
}

// ---- Split ----

CSplitDialog::CSplitDialog(const SplitDialogSetup& setup, const DibHeader* header,
                           const std::uint8_t* bits, QWidget* parent)
    : QDialog(parent), setup_(setup) {
    setObjectName(QStringLiteral("splitDialog"));
    setWindowTitle(QStringLiteral("Split"));
    pane_ = new CImageCtrl(this);
    pane_->setAccessibleName(QStringLiteral("Preview"));
    pane_->setMinimumSize(320, 240);
    pane_->ShowBitmap(header, bits);
    pane_->SetOverlays(kOverlayLabel);
    pane_->SetLabel(Text(SplitPictureLabel(header)));
    pane_->Canvas()->SetAfterPaintNotify(true);
    connect(pane_->Canvas(), &CCanvasWnd::AfterPaint, this, &CSplitDialog::DrawGrid);

    width_ = new CUpDownEdit(1, SplitCountLimit(setup_.width), this);
    width_->setObjectName(QStringLiteral("tilesAcross"));
    height_ = new CUpDownEdit(1, SplitCountLimit(setup_.height), this);
    height_->setObjectName(QStringLiteral("tilesDown"));
    for (CUpDownEdit* edit : {width_, height_}) {
        edit->SetMaxLength(3);
        edit->Line()->setText(QStringLiteral("1"));
        edit->Line()->setAutoFillBackground(true);
    }
    result_ = new QLabel(this);
    result_->setAccessibleName(QStringLiteral("Result"));
    delete_ = new QCheckBox(QStringLiteral("&Delete the source image after split"), this);
    NameAfterText(delete_);
    delete_->setEnabled(setup_.deleteAllowed);

    auto* grid = new QGridLayout;
    grid->addWidget(BuddyLabel(QStringLiteral("The number of images in &width:"), width_, this), 0,
                    0);
    grid->addWidget(width_, 0, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("The number of images in &height:"), height_, this),
                    1, 0);
    grid->addWidget(height_, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pane_, 1);
    layout->addLayout(grid);
    layout->addWidget(result_);
    layout->addWidget(delete_);
    layout->addWidget(DialogButtons(this));

    connect(width_->Line(), &QLineEdit::textChanged, this, &CSplitDialog::Revalidate);
    connect(height_->Line(), &QLineEdit::textChanged, this, &CSplitDialog::Revalidate);
    Revalidate();
    width_->setFocus();
    width_->Line()->selectAll();
}

bool CSplitDialog::ShowsInvalid(const CUpDownEdit* edit) const {
    return edit->Line()->palette().color(QPalette::Base) == QColor(Qt::red);
}

void CSplitDialog::Revalidate() {
    across_ = ReadSplitCount(Entry(width_), setup_.width).value_or(0);
    down_ = ReadSplitCount(Entry(height_), setup_.height).value_or(0);
    const auto paint = [](CUpDownEdit* edit, bool valid) {
        QPalette palette = edit->Line()->palette();
        palette.setColor(QPalette::Base,
                         valid ? edit->palette().color(QPalette::Base) : QColor(Qt::red));
        edit->Line()->setPalette(palette);
        edit->Line()->update();
    };
    paint(width_, across_ > 0);
    paint(height_, down_ > 0);
    result_->setText(Text(SplitResultText(setup_, Entry(width_), Entry(height_))));
    pane_->Canvas()->viewport()->update();
}

std::vector<int> CSplitDialog::GridLineOffsets(int count, int tile, float zoom) {
    std::vector<int> offsets;
    const auto step = static_cast<long long>(std::trunc(static_cast<float>(tile) * zoom));
    if (count < 1 || step <= 0) return offsets;
    for (long long i = 0; i <= count; ++i) {
        const long long offset = i * step;
        if (offset > 2147483647LL) break;
        offsets.push_back(static_cast<int>(offset));
    }
    return offsets;
}

void CSplitDialog::DrawGrid(QPainter* painter, const CanvasPaintInfo& info) {
    if (across_ < 1 || down_ < 1) return;
    // The picture's origin, scrolled; lines are kept to the visible picture,
    // the closing ones at its far edges included.
    const QPoint origin(info.destination.left() - static_cast<int>(info.source.left() * info.zoom),
                        info.destination.top() - static_cast<int>(info.source.top() * info.zoom));
    const QRect visible = info.destination.adjusted(0, 0, 1, 1).intersected(info.client);
    if (visible.isEmpty()) return;
    painter->save();
    painter->setClipRect(visible);
    const QBrush brush = GridBrush();
    for (int x : GridLineOffsets(across_, setup_.width / across_, info.zoom))
        painter->fillRect(QRect(origin.x() + x, visible.top(), 1, visible.height()), brush);
    for (int y : GridLineOffsets(down_, setup_.height / down_, info.zoom))
        painter->fillRect(QRect(visible.left(), origin.y() + y, visible.width(), 1), brush);
    painter->restore();
}

void CSplitDialog::accept() {
    const std::string across = Entry(width_), down = Entry(height_);
    SplitOptions options;
    const auto rejections =
        AcceptSplitDialog(setup_, {across, down, delete_->isChecked()}, &options);
    for (const auto& rejection : rejections)
        RejectEntry(this, rejection.message,
                    rejection.field == SplitField::Width ? width_->Line() : height_->Line());
    if (!rejections.empty()) return;
    options_ = options;
    QDialog::accept();
}
