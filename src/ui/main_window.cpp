#include "ui/main_window.h"

#include "platform/string_table.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8(LoadStringText(kStrAppTitle)));
    resize(800, 600);
}
