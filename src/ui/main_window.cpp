#include "ui/main_window.h"

#include "platform/door/string_table.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8(LoadStringText(kStrAppTitle)));
    resize(800, 600);
}
