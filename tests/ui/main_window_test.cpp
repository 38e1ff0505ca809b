#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

TEST(MainWindow, StartsWithItsTitleAndClosesCleanly) {
    int argc = 1;
    char name[] = "iconmill_ui_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Iconmill"));
    QTimer::singleShot(0, &window, &QWidget::close);
    EXPECT_EQ(app.exec(), 0);
    EXPECT_FALSE(window.isVisible());
}
