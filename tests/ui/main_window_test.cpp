#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

TEST(MainWindow, StartsWithItsTitleAndClosesCleanly) {
    MainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Iconmill"));
    QTimer::singleShot(0, &window, &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(window.isVisible());
}
