#include "ui/animation_options_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/application.h"
#include "ui/dialog_controls.h"
#include "ui/qt_interaction.h"
#include "ui/up_down_edit.h"

namespace {

QCheckBox* CheckBox(const QString& text, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setAccessibleName(QString(text).remove('&'));
    return box;
}

std::string ToStd(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

CAnimationOptionsDialog::CAnimationOptionsDialog(const CCompilation& compilation, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("animationOptionsDialog"));
    setWindowTitle(QStringLiteral("Animation Options (APNG only)"));
    const AnimationOptionsForm form = AnimationOptionsFormOf(compilation);
    options_ = {compilation.numPlays, compilation.firstFrameExcluded};

    plays_ = new QLineEdit(QString::fromStdString(form.plays), this);
    plays_->setObjectName(QStringLiteral("plays"));
    infinite_ = CheckBox(QStringLiteral("&Infinite"), this);
    infinite_->setObjectName(QStringLiteral("infinite"));
    infinite_->setChecked(form.infinite);
    exclude_ = CheckBox(QStringLiteral("&Exclude first frame from the animation"), this);
    exclude_->setObjectName(QStringLiteral("excludeFirstFrame"));
    exclude_->setChecked(form.excludeFirstFrame);

    auto* playsRow = new QHBoxLayout;
    playsRow->addWidget(plays_, 1);
    playsRow->addWidget(infinite_);
    auto* fields = new QFormLayout;
    fields->addRow(BuddyLabel(QStringLiteral("&Number of Plays:"), plays_, this), playsRow);
    fields->addRow(exclude_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(OkCancelBox(this));

    const auto follow = [this] {
        AnimationOptionsForm now;
        now.infinite = infinite_->isChecked();
        plays_->setEnabled(PlaysEditEnabled(now));
    };
    connect(infinite_, &QCheckBox::toggled, this, follow);
    follow();
}

void CAnimationOptionsDialog::accept() {
    const AnimationOptionsForm form{ToStd(plays_->text()), infinite_->isChecked(),
                                    exclude_->isChecked()};
    QtInteraction door(this, nullptr);
    AnimationOptions chosen;
    if (AcceptAnimationOptions(door, form, &chosen) == AnimationOptionsField::Plays) {
        FocusAndSelect(plays_);
        return;
    }
    options_ = chosen;
    QDialog::accept();
}

CAniOptionsDialog::CAniOptionsDialog(const AniSaveOptions& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName(QStringLiteral("aniOptionsDialog"));
    setWindowTitle(QStringLiteral("Animated Cursor Options"));
    const AniOptionsForm form = AniOptionsFormOf(options);

    auto* information = new QGroupBox(QStringLiteral("Information"), this);
    name_ = new QLineEdit(QString::fromStdString(form.name), information);
    name_->setObjectName(QStringLiteral("name"));
    artist_ = new QLineEdit(QString::fromStdString(form.artist), information);
    artist_->setObjectName(QStringLiteral("artist"));
    auto* texts = new QFormLayout(information);
    texts->addRow(BuddyLabel(QStringLiteral("&Name:"), name_, information), name_);
    texts->addRow(BuddyLabel(QStringLiteral("&Artist:"), artist_, information), artist_);

    count_ = new CUpDownEdit(kAniCountMin, kAniCountMax, this);
    count_->setObjectName(QStringLiteral("imageCount"));
    count_->SetMaxLength(kAniCountEditLimit);
    count_->Line()->setText(QString::fromStdString(form.imagesPerDirectory));
    rates_ = CheckBox(QStringLiteral("Always write frame &rates individually"), this);
    rates_->setObjectName(QStringLiteral("individualRates"));
    rates_->setChecked(form.individualRates);

    auto* countRow = new QFormLayout;
    countRow->addRow(
        BuddyLabel(QStringLiteral("&Image count per icon directory:"), count_, this), count_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(information);
    layout->addLayout(countRow);
    layout->addWidget(rates_);
    layout->addWidget(OkCancelBox(this));
}

void CAniOptionsDialog::accept() {
    const AniOptionsForm form{ToStd(name_->text()), ToStd(artist_->text()),
                              ToStd(count_->Line()->text()), rates_->isChecked()};
    QtInteraction door(this, nullptr);
    AniSaveOptions chosen = options_;
    if (AcceptAniOptions(door, form, &chosen) == AniOptionsField::Count) {
        FocusAndSelect(count_->Line());
        return;
    }
    options_ = chosen;
    QDialog::accept();
}

void RunAnimationOptions(CIconmillApp& app, QWidget* parent) {
    CAnimationOptionsDialog dialog(app.Compilation(), parent);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyAnimationOptions(app, dialog.Options());
}
