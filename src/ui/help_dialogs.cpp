#include "ui/help_dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>

#include "app/embedded_data.h"
#include "ui/artwork.h"

namespace {

const char kNotice[] = "Copyright (C) 2026 Korvath. Free to use; see the Term of Use.";
const char kContactUrl[] = "https://korvath.example/iconmill";

UrlOpener& Opener() {
    static UrlOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

void ShowFileError(QWidget* parent, const QString& path, const QString& reason) {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                    path + QStringLiteral("\n\n") + reason, QMessageBox::Ok, parent);
    box.exec();
}

// The About box's picture: the application's icon centred on black.
class PictureFrame : public QWidget {
public:
    explicit PictureFrame(QWidget* parent) : QWidget(parent) {
        setFixedSize(80, 80);
        setAccessibleName(QStringLiteral("Iconmill"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const QPixmap picture = ApplicationIcon().pixmap(64, 64);
        painter.drawPixmap((width() - 64) / 2, (height() - 64) / 2, picture);
    }
};

QLabel* LinkLabel(QWidget* parent, const QString& html, const QString& name) {
    auto* label = new QLabel(html, parent);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setAccessibleName(name);
    return label;
}

}  // namespace

QString ProgramDataFile(const QString& name) {
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString installed = bin.absoluteFilePath(QStringLiteral("../share/iconmill/") + name);
    if (QFileInfo::exists(installed)) return QDir::cleanPath(installed);
#ifdef ICONMILL_SOURCE_DATA_DIR
    const QString source = QStringLiteral(ICONMILL_SOURCE_DATA_DIR "/") + name;
    if (QFileInfo::exists(source)) return source;
#endif
    return QDir::cleanPath(installed);
}

void SetUrlOpenerForTesting(UrlOpener opener) {
    Opener() = opener ? std::move(opener) : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void OpenProgramFile(QWidget* parent, const QString& name) {
    const QString path = ProgramDataFile(name);
    if (!QFileInfo::exists(path)) {
        ShowFileError(parent, path, QString::fromLocal8Bit(std::strerror(ENOENT)));
        return;
    }
    if (!Opener()(QUrl::fromLocalFile(path)))
        ShowFileError(parent, path, QStringLiteral("No application is set to open this kind of file."));
}

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Iconmill"));
    auto* product = new QLabel(QStringLiteral("Iconmill"), this);
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    product->setFont(bold);
    auto* version = new QLabel(QStringLiteral("Version: 2.0.0"), this);
    auto* notice = new QLabel(QString::fromUtf8(kNotice), this);
    notice->setWordWrap(true);
    termLink_ = LinkLabel(this, QStringLiteral("Read the <a href=\"idTerm\">Term of Use</a>."),
                          QStringLiteral("Term of Use"));
    contactLink_ = LinkLabel(this,
                             QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromUtf8(kContactUrl)),
                             QStringLiteral("Contact"));
    connect(termLink_, &QLabel::linkActivated, this, [this] {
        CTermOfUseDialog term(this);
        term.exec();
    });
    connect(contactLink_, &QLabel::linkActivated, this,
            [](const QString& url) { Opener()(QUrl(url)); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* lines = new QVBoxLayout;
    for (QWidget* line : {static_cast<QWidget*>(product), static_cast<QWidget*>(version),
                          static_cast<QWidget*>(notice), static_cast<QWidget*>(termLink_),
                          static_cast<QWidget*>(contactLink_)})
        lines->addWidget(line);
    lines->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(new PictureFrame(this), 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(lines, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

CTermOfUseDialog::CTermOfUseDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Term of Use"));
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setPlainText(QString::fromUtf8(TermOfUseText().data(),
                                          static_cast<qsizetype>(TermOfUseText().size())));
    text_->setTabChangesFocus(true);
    text_->setFocusPolicy(Qt::ClickFocus);
    text_->setAccessibleName(QStringLiteral("Term of Use"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(520, 380);
}

COptionsDialog::COptionsDialog(QWidget* parent, const CAppSettings& settings)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Options"));
    auto* page = new QWidget;
    auto* group = new QGroupBox(QStringLiteral("&Animated Cursor"), page);
    auto* label = new QLabel(QStringLiteral("&What to do with duplicated images sequence:"), group);
    sequence_ = new QComboBox(group);
    sequence_->addItems({QStringLiteral("Ask"), QStringLiteral("Ignore duplicated images"),
                         QStringLiteral("Duplicate images as the sequence")});
    sequence_->setAccessibleName(QStringLiteral("What to do with duplicated images sequence:"));
    label->setBuddy(sequence_);
    const int value = settings.animatedCursorSequence;
    sequence_->setCurrentIndex(value == 1 || value == 2 ? value : 0);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(label);
    groupLayout->addWidget(sequence_);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(group);
    pageLayout->addStretch();

    auto* tabs = new QTabWidget(this);
    tabs->addTab(page, QStringLiteral("General"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

CAppSettings COptionsDialog::Settings() const {
    CAppSettings settings = settings_;
    const int index = sequence_->currentIndex();
    settings.animatedCursorSequence = index == 1 || index == 2 ? index : 0;
    return settings;
}
