// "Animation Options (APNG only)" - the number of plays and whether the first
// frame is left out of the animation - and "Animated Cursor Options" - name,
// artist, images per icon directory and individual frame rates. Both check
// their fields on OK with the application layer's rules; a refused field gets
// the message, the focus and its whole text selected, and the dialog stays open.
#pragma once

#include <QDialog>

#include "app/animation_commands.h"
#include "formats/ani/ani_save_options.h"

class CCompilation;
class CIconmillApp;
class CUpDownEdit;
class QCheckBox;
class QLineEdit;

class CAnimationOptionsDialog : public QDialog {
    Q_OBJECT

public:
    CAnimationOptionsDialog(const CCompilation& compilation, QWidget* parent = nullptr);

    // The values accepted with OK.
    const AnimationOptions& Options() const { return options_; }

    QLineEdit* PlaysEdit() const { return plays_; }
    QCheckBox* InfiniteBox() const { return infinite_; }
    QCheckBox* ExcludeBox() const { return exclude_; }

    void accept() override;

private:
    AnimationOptions options_;
    QLineEdit* plays_;
    QCheckBox* infinite_;
    QCheckBox* exclude_;
};

class CAniOptionsDialog : public QDialog {
    Q_OBJECT

public:
    explicit CAniOptionsDialog(const AniSaveOptions& options, QWidget* parent = nullptr);

    // The values opened with, replaced by the accepted ones on OK.
    const AniSaveOptions& Options() const { return options_; }

    QLineEdit* NameEdit() const { return name_; }
    QLineEdit* ArtistEdit() const { return artist_; }
    CUpDownEdit* CountEdit() const { return count_; }
    QCheckBox* RatesBox() const { return rates_; }

    void accept() override;

private:
    AniSaveOptions options_;
    QLineEdit* name_;
    QLineEdit* artist_;
    CUpDownEdit* count_;
    QCheckBox* rates_;
};

// The Animation Options command: the dialog on the compilation, applied on OK.
void RunAnimationOptions(CIconmillApp& app, QWidget* parent);
