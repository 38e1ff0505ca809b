#include "ui/qt_interaction.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/open_flows.h"
#include "platform/door/string_table.h"

namespace {

// Runs `inspect` on the next modal widget of type T once it is open; `inspect`
// must close it.
template <class T, class F>
void WhenOpen(F inspect) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!widget) return;
        timer->stop();
        timer->deleteLater();
        inspect(widget);
    });
    timer->start();
}

TEST(QtDoor, MessageBoxesHaveTheTitleIconButtonsAndDefaultOfTheRequest) {
    QtInteraction door(nullptr, nullptr);
    struct Case {
        MessageIcon icon;
        MessageButtons buttons;
        QMessageBox::Icon qtIcon;
        QMessageBox::StandardButton first;
        QMessageBox::StandardButton press;
        Answer answer;
    };
    const Case cases[] = {
        {MessageIcon::Exclamation, MessageButtons::YesNoCancel, QMessageBox::Warning,
         QMessageBox::Yes, QMessageBox::No, Answer::No},
        {MessageIcon::Error, MessageButtons::Ok, QMessageBox::Critical, QMessageBox::Ok,
         QMessageBox::Ok, Answer::Ok},
        {MessageIcon::None, MessageButtons::OkCancel, QMessageBox::NoIcon, QMessageBox::Ok,
         QMessageBox::Cancel, Answer::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        WhenOpen<QMessageBox>([&c](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Iconmill"));
            EXPECT_EQ(box->text(), QStringLiteral("Text"));
            EXPECT_EQ(box->icon(), c.qtIcon);
            EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(c.first));
            box->button(c.press)->click();
        });
        EXPECT_EQ(door.ShowMessage({kStrGenericFailure, "Text", c.icon, c.buttons}), c.answer);
    }
}

TEST(QtDoor, FileDialogsShowTheFilterAndTitleAndCancelGivesNothing) {
    QtInteraction door(nullptr, nullptr);
    FileDialogRequest request;
    request.multiSelect = true;
    request.title = "Add";
    request.filter = kOpenFileFilter;
    QStringList filters;
    QString title;
    WhenOpen<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        title = dialog->windowTitle();
        dialog->reject();
    });
    EXPECT_TRUE(door.ChooseFiles(request).empty());
    EXPECT_EQ(title, QStringLiteral("Add"));
    ASSERT_EQ(filters.size(), 8);
    EXPECT_EQ(filters[0],
              QStringLiteral("All Supported Formats (*.bmp *.dib *.png *.psd *.ico *.cur *.ani *.svg *.svgz)"));
    EXPECT_EQ(filters[1], QStringLiteral("Bitmap Files (*.bmp *.dib)"));
    EXPECT_EQ(filters[6], QStringLiteral("Animated Cursor Files (*.ani)"));
    EXPECT_EQ(filters[7], QStringLiteral("SVG Drawings (*.svg *.svgz)"));
}

}  // namespace
