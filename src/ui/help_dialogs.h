// The Help and Tools menus' windows: the help and the two text files opened
// with the desktop's handler, the About box with its Term of Use dialog, and
// the Options sheet.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "app/settings.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QUrl;

// Where a data file that ships with the program is: share/iconmill beside the
// executable's bin/ folder when installed, else the source tree's data/ folder
// (a build that was not installed).
QString ProgramDataFile(const QString& name);

// Opens a URL with the desktop's handler; tests replace it. Returns false when
// no handler took it.
using UrlOpener = std::function<bool(const QUrl&)>;
void SetUrlOpenerForTesting(UrlOpener opener);

// Opens the shipped file `name` ("VersionHistory.txt", "TermOfUse.txt",
// "help/index.html") with the desktop's handler. When the file is missing or no
// handler opens it, shows the error box: the path, a blank line, the reason.
void OpenProgramFile(QWidget* parent, const QString& name);

// "About Iconmill": the product and version lines, the notice, the Term of Use
// link (opens CTermOfUseDialog) and the contact link, and the picture.
class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent);
    QLabel* TermLink() const { return termLink_; }
    QLabel* ContactLink() const { return contactLink_; }

private:
    QLabel* termLink_ = nullptr;
    QLabel* contactLink_ = nullptr;
};

// "Term of Use": the text in a read-only edit that takes no tab stop.
class CTermOfUseDialog : public QDialog {
    Q_OBJECT
public:
    explicit CTermOfUseDialog(QWidget* parent);
    QPlainTextEdit* Text() const { return text_; }

private:
    QPlainTextEdit* text_ = nullptr;
};

// "Options": one "General" page editing its own copy of the settings; OK hands
// the copy back (Settings()), Cancel leaves it unused.
class COptionsDialog : public QDialog {
    Q_OBJECT
public:
    COptionsDialog(QWidget* parent, const CAppSettings& settings);
    CAppSettings Settings() const;
    QComboBox* SequenceList() const { return sequence_; }

private:
    CAppSettings settings_;
    QComboBox* sequence_ = nullptr;
};
