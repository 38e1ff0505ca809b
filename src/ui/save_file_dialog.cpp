#include "ui/save_file_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/save_flows.h"
#include "platform/door/string_table.h"
#include "ui/qt_interaction.h"

namespace {

// The targets of the save dialog's file types, in the filter's order.
constexpr SaveTarget kTargets[] = {SaveTargetBmpSeries,   SaveTargetPngSeries,
                                   SaveTargetAnimatedPng, SaveTargetIcon,
                                   SaveTargetCursor,      SaveTargetAnimatedCursor};

// The extension a Qt filter's first pattern names ("Icon Files (*.ico)": "ico"),
// empty for a pattern such as "*.*".
QString FilterExtension(const QString& filter) {
    const qsizetype open = filter.lastIndexOf('(');
    const qsizetype close = filter.lastIndexOf(')');
    if (open < 0 || close < open) return {};
    const QString first = filter.mid(open + 1, close - open - 1).section(' ', 0, 0);
    if (!first.startsWith(QStringLiteral("*.")) || first.indexOf('*', 2) >= 0) return {};
    return first.mid(2);
}

QString Plain(QString text) {
    return text.remove('&');
}

}  // namespace

CSaveFileDialog::CSaveFileDialog(const QString& fileName, unsigned itemCount, QWidget* parent)
    : QFileDialog(parent), series_(true) {
    setObjectName(QStringLiteral("saveFileDialog"));
    filters_ = QtFileFilters(kSaveFileFilter);
    SetUp(fileName);
    setDefaultSuffix(QStringLiteral("bmp"));
    if (itemCount <= 1) return;

    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("namingPanel"));
    auto* row = new QHBoxLayout(panel_);
    row->setContentsMargins(0, 0, 0, 0);
    text_ = new QLabel(QString::fromStdString(NamingPanelText(itemCount)), panel_);
    text_->setObjectName(QStringLiteral("itemCountText"));
    text_->setAccessibleName(text_->text());
    row->addWidget(text_, 0, Qt::AlignTop);
    auto* group = new QGroupBox(QStringLiteral("For next files name:"), panel_);
    group->setObjectName(QStringLiteral("namingGroup"));
    group->setAccessibleName(group->title());
    auto* choices = new QHBoxLayout(group);
    useCounter_ = new QRadioButton(QStringLiteral("&Use counter"), group);
    useCounter_->setObjectName(QStringLiteral("useCounter"));
    askEach_ = new QRadioButton(QStringLiteral("Ask for each item"), group);
    askEach_->setObjectName(QStringLiteral("askForEachItem"));
    for (QRadioButton* button : {useCounter_, askEach_}) {
        button->setAccessibleName(Plain(button->text()));
        choices->addWidget(button);
    }
    choices->addStretch(1);
    useCounter_->setChecked(true);
    row->addWidget(group, 1);
    AddBelow(panel_);
    FollowFilter(selectedNameFilter());
}

CSaveFileDialog::CSaveFileDialog(const SeriesItemRequest& request, QWidget* parent)
    : QFileDialog(parent) {
    setObjectName(QStringLiteral("seriesItemDialog"));
    filters_ = QtFileFilters(request.filter);
    SetUp(QString::fromStdString(request.fileName));
    setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    text_ = new QLabel(QString::fromStdString(SeriesItemDialogText(request.remaining)), this);
    text_->setObjectName(QStringLiteral("remainingText"));
    text_->setAccessibleName(text_->text());
    AddBelow(text_);
}

void CSaveFileDialog::SetUp(const QString& fileName) {
    // The desktop's dialog takes no panel, and this one is the same everywhere.
    setOption(QFileDialog::DontUseNativeDialog);
    setWindowTitle(QStringLiteral("Save As"));
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(filters_);
    for (const QString& filter : filters_) extensions_ << FilterExtension(filter);
    if (!fileName.isEmpty()) selectFile(fileName);
    // The type list of Qt's dialog tells of every change, also one made by
    // selectNameFilter (filterSelected tells only of the user's).
    if (auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        connect(types, &QComboBox::currentIndexChanged, this,
                [this] { FollowFilter(selectedNameFilter()); });
    else
        connect(this, &QFileDialog::filterSelected, this,
                [this](const QString& filter) { FollowFilter(filter); });
}

void CSaveFileDialog::AddBelow(QWidget* widget) {
    // Qt's own dialog lays itself out on a grid: the new row spans its width.
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(widget, grid->rowCount(), 0, 1, grid->columnCount());
    else if (layout())
        layout()->addWidget(widget);
}

void CSaveFileDialog::FollowFilter(const QString& filter) {
    const qsizetype index = filters_.indexOf(filter);
    if (index >= 0 && !extensions_[index].isEmpty()) setDefaultSuffix(extensions_[index]);
    if (panel_) {
        const SaveTarget target = series_ && index >= 0 ? kTargets[index] : SaveTargetNone;
        panel_->setEnabled(target == SaveTargetBmpSeries || target == SaveTargetPngSeries);
    }
}

QString CSaveFileDialog::ChosenPath() const {
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

SaveTarget CSaveFileDialog::ChosenTarget() const {
    if (!series_) return SaveTargetNone;
    const qsizetype index = filters_.indexOf(selectedNameFilter());
    return index >= 0 && index < qsizetype(std::size(kTargets)) ? kTargets[index] : SaveTargetNone;
}

bool CSaveFileDialog::AskForEachItem() const {
    return askEach_ && askEach_->isChecked();
}

void CSaveFileDialog::accept() {
    // The file must go into a folder that exists; Qt's dialog would accept any.
    const QString path = ChosenPath();
    if (!path.isEmpty()) {
        const QFileInfo info(path);
        if (!info.isDir() && !info.absoluteDir().exists()) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("The folder %1 does not exist.")
                                     .arg(QDir::toNativeSeparators(info.absolutePath())));
            return;
        }
    }
    QFileDialog::accept();
}
