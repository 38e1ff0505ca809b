#include "ui/qt_interaction.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "formats/png/png_save_options.h"
#include "platform/door/string_table.h"
#include "ui/animation_options_dialogs.h"
#include "ui/array_options_dialog.h"
#include "ui/png_options_dialog.h"
#include "ui/psd_import_dialog.h"
#include "ui/save_file_dialog.h"
#include "ui/svg_size_dialog.h"

namespace {

QString AppTitle() {
    return QString::fromUtf8(LoadStringText(kStrAppTitle));
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return QMessageBox::NoIcon;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The buttons of a box in their order; the first is the default one.
std::vector<std::pair<QMessageBox::StandardButton, Answer>> QtButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return {{QMessageBox::Ok, Answer::Ok}};
        case MessageButtons::OkCancel:
            return {{QMessageBox::Ok, Answer::Ok}, {QMessageBox::Cancel, Answer::Cancel}};
        case MessageButtons::YesNo:
            return {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}};
        case MessageButtons::YesNoCancel:
            return {{QMessageBox::Yes, Answer::Yes},
                    {QMessageBox::No, Answer::No},
                    {QMessageBox::Cancel, Answer::Cancel}};
    }
    return {{QMessageBox::Ok, Answer::Ok}};
}

// What closing a box without a button gives: Cancel where there is one, else the
// box's only non-committal answer.
Answer EscapeAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return Answer::Ok;
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
            return Answer::Cancel;
        case MessageButtons::YesNo:
            return Answer::No;
    }
    return Answer::Cancel;
}

std::string ToStd(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

QStringList QtFileFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        // The description may already name its patterns ("Icon Files (*.ico)").
        const QString& name = parts[i];
        filters << (name.endsWith(')') ? name.left(name.lastIndexOf('(')).trimmed() : name) +
                       " (" + patterns + ")";
    }
    return filters;
}

Answer QtInteraction::ShowMessage(const MessageRequest& message) {
    QMessageBox box(QtIcon(message.icon),
                    message.caption.empty() ? AppTitle() : QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), QMessageBox::NoButton, parent_);
    box.setObjectName(QStringLiteral("message%1").arg(message.id));
    const auto buttons = QtButtons(message.buttons);
    for (const auto& [button, answer] : buttons) box.addButton(button);
    box.setDefaultButton(buttons.front().first);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (const auto& [button, answer] : buttons)
        if (clicked && clicked == box.button(button)) return answer;
    return EscapeAnswer(message.buttons);
}

bool QtInteraction::AskIgnoreAniSequence(const MessageRequest& question) {
    return ShowMessage(question) == Answer::Yes;
}

std::vector<std::string> QtInteraction::ChooseFiles(const FileDialogRequest& request) {
    QFileDialog dialog(parent_);
    dialog.setWindowTitle(QString::fromStdString(request.title));
    dialog.setNameFilters(QtFileFilters(request.filter));
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                               : QFileDialog::ExistingFile);
    }
    if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted) return {};
    if (request.chosenFilter) {
        const qsizetype index = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
        if (index >= 0) *request.chosenFilter = static_cast<int>(index) + 1;
    }
    std::vector<std::string> paths;
    for (const QString& path : dialog.selectedFiles()) paths.push_back(ToStd(path));
    return paths;
}

bool QtInteraction::IsShiftDown() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

std::optional<std::uint32_t> QtInteraction::ChooseColor(std::uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(
        QColor(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
               static_cast<int>((initial >> 16) & 0xFF)),
        parent_);
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<std::uint32_t>(chosen.red()) |
           static_cast<std::uint32_t>(chosen.green()) << 8 |
           static_cast<std::uint32_t>(chosen.blue()) << 16;
}

std::optional<SaveDialogChoice> QtInteraction::ChooseSaveTarget(const SaveDialogRequest& request) {
    CSaveFileDialog dialog(QString::fromStdString(request.fileName), request.itemCount, parent_);
    if (dialog.exec() != QDialog::Accepted || dialog.ChosenPath().isEmpty()) return std::nullopt;
    SaveDialogChoice choice;
    choice.path = ToStd(dialog.ChosenPath());
    choice.target = dialog.ChosenTarget();
    choice.askForEachItem = dialog.AskForEachItem();
    return choice;
}

std::optional<std::string> QtInteraction::ChooseSeriesItemPath(const SeriesItemRequest& request) {
    CSaveFileDialog dialog(request, parent_);
    if (dialog.exec() != QDialog::Accepted || dialog.ChosenPath().isEmpty()) return std::nullopt;
    return ToStd(dialog.ChosenPath());
}

bool QtInteraction::EditPngOptions(PngSaveOptions& options) {
    CPNGOptionsDialog dialog(options, parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Options();
    return true;
}

bool QtInteraction::EditAniOptions(AniSaveOptions& options) {
    CAniOptionsDialog dialog(options, parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Options();
    return true;
}

std::optional<PsdImportChoice> QtInteraction::ChoosePsdImport(const PsdImportRequest& request) {
    CPSDImportOptionsDialog dialog(request, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

std::optional<CArrayOptions> QtInteraction::ChooseCArrayOptions(const CArrayOptions& initial) {
    CArrayOptionsDialog dialog(initial, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Options();
}

std::optional<int> QtInteraction::ChooseSvgSize(const SvgSizeRequest& request) {
    CSvgSizeDialog dialog(request, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Side();
}

void QtInteraction::BeginBusy(const BusyRequest& request) {
    if (busy_) busy_->BeginBusy(request);
}

void QtInteraction::SetBusyProgress(int position) {
    if (busy_) busy_->SetBusyProgress(position);
}

bool QtInteraction::PollBusyCancelled() {
    return busy_ && busy_->PollBusyCancelled();
}

void QtInteraction::EndBusy() {
    if (busy_) busy_->EndBusy();
}
