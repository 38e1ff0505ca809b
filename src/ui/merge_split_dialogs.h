// "Merge" and "Split": the options of the Merge command (a film strip of the
// selected items) and of the Split command (tiles of the first selected item).
// Texts, ranges and checks come from app/merge_split_commands.h; after OK the
// caller runs ApplyMerge or ApplySplit with Options().
#pragma once

#include <QDialog>
#include <vector>

#include "app/merge_split_commands.h"

class CColorBoxWnd;
class CImageCtrl;
class CUpDownEdit;
class QCheckBox;
class QLabel;
class QPainter;
class QPushButton;
class QRadioButton;
struct CanvasPaintInfo;

class CMergeDialog : public QDialog {
    Q_OBJECT

public:
    // `sources` (not owned) are the selected items' pictures in list order.
    CMergeDialog(const MergeDialogSetup& setup, std::vector<MergeSource> sources,
                 QWidget* parent = nullptr);

    // After OK: the layout, fill and whether to delete the sources.
    const MergeOptions& Options() const { return options_; }

    QLabel* OrientationIcon() const { return icon_; }
    QRadioButton* HorizontalButton() const { return horizontal_; }
    QRadioButton* VerticalButton() const { return vertical_; }
    CUpDownEdit* StripEdit() const { return strip_; }
    QCheckBox* FillBox() const { return fill_; }
    CColorBoxWnd* ColorBox() const { return color_; }
    QLabel* CountLabel() const { return count_; }
    QLabel* ResultLabel() const { return result_; }
    QCheckBox* DeleteBox() const { return delete_; }
    QPushButton* PreviewButton() const { return preview_; }

    void accept() override;
    void Preview();

private:
    StripOrientation Orientation() const;
    void Refresh();
    bool Read(MergeOptions* options);

    MergeDialogSetup setup_;
    std::vector<MergeSource> sources_;
    MergeOptions options_;

    QLabel* icon_;
    QRadioButton* horizontal_;
    QRadioButton* vertical_;
    CUpDownEdit* strip_;
    QCheckBox* fill_;
    CColorBoxWnd* color_;
    QLabel* count_;
    QLabel* result_;
    QCheckBox* delete_;
    QPushButton* preview_;
};

class CSplitDialog : public QDialog {
    Q_OBJECT

public:
    // The picture (not owned) is shown in the preview pane.
    CSplitDialog(const SplitDialogSetup& setup, const DibHeader* header, const std::uint8_t* bits,
                 QWidget* parent = nullptr);

    // After OK: the tile counts and whether to delete the source.
    const SplitOptions& Options() const { return options_; }

    CImageCtrl* PreviewPane() const { return pane_; }
    CUpDownEdit* WidthEdit() const { return width_; }
    CUpDownEdit* HeightEdit() const { return height_; }
    QLabel* ResultLabel() const { return result_; }
    QCheckBox* DeleteBox() const { return delete_; }
    // Whether an entry shows as invalid (red).
    bool ShowsInvalid(const CUpDownEdit* edit) const;

    // The offsets of the grid lines along one side from the picture's edge: every
    // multiple of trunc(tile x zoom) from 0 to `count` of them; none when that is 0.
    static std::vector<int> GridLineOffsets(int count, int tile, float zoom);

    void accept() override;

private:
    void Revalidate();
    void DrawGrid(QPainter* painter, const CanvasPaintInfo& info);

    SplitDialogSetup setup_;
    SplitOptions options_;
    int across_ = 0;  // the last valid counts, 0 while invalid
    int down_ = 0;

    CImageCtrl* pane_;
    CUpDownEdit* width_;
    CUpDownEdit* height_;
    QLabel* result_;
    QCheckBox* delete_;
};
