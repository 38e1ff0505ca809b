// The save dialog of the save flows: Qt's own file dialog (not the desktop's, so
// that a panel can be added) with the six file types, and the naming panel that
// asks how the further files of a series are named. Its second form is the
// per-item dialog of a series named item by item.
#pragma once

#include <QFileDialog>

#include "platform/door/save_choices.h"

class QGroupBox;
class QLabel;
class QRadioButton;

class CSaveFileDialog : public QFileDialog {
    Q_OBJECT

public:
    // The save dialog for `itemCount` items opened on `fileName`: the file types
    // "Bitmap Files (*.bmp)" to "Animated Cursor Files (*.ani)" in that order,
    // "bmp" as the default extension (each type adds its own when the name has
    // none), the question before an existing file is replaced, and the naming
    // panel when more than one item is to be saved.
    CSaveFileDialog(const QString& fileName, unsigned itemCount, QWidget* parent = nullptr);
    // The per-item dialog: the series' filter and default extension, and instead
    // of the panel the text "%u item(s) remain" or "Final item".
    CSaveFileDialog(const SeriesItemRequest& request, QWidget* parent = nullptr);

    // After the dialog was confirmed: the path, the target of the chosen file
    // type (SaveTargetNone for the per-item form), and whether "Ask for each
    // item" is selected.
    QString ChosenPath() const;
    SaveTarget ChosenTarget() const;
    bool AskForEachItem() const;

    // The panel's parts (null where the form has none).
    QWidget* NamingPanel() const { return panel_; }
    QLabel* PanelText() const { return text_; }
    QRadioButton* UseCounterButton() const { return useCounter_; }
    QRadioButton* AskEachButton() const { return askEach_; }

    void accept() override;

private:
    void SetUp(const QString& fileName);
    void AddBelow(QWidget* widget);
    void FollowFilter(const QString& filter);

    QStringList filters_;
    QStringList extensions_;
    QWidget* panel_ = nullptr;
    QLabel* text_ = nullptr;
    QRadioButton* useCounter_ = nullptr;
    QRadioButton* askEach_ = nullptr;
    bool series_ = false;
};
