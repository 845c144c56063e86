// The yardstick of the start-up benchmark (scripts/startup-benchmark.sh): the least a Qt
// Widgets program with a main window and a table does before its window shows. It honours
// ZELVA1_STARTUP_CHECK as the monitor does, so both are timed to the same point.

#include "startup_check.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    QStandardItemModel model(256, 8);
    auto* table = new QTableView(&window);
    table->setModel(&model);
    window.setCentralWidget(table);
    // The monitor covers the screen's work area by design; so does the yardstick, so that
    // the window's own buffers weigh the same in both.
    if (const QScreen* screen = window.screen())
        window.setGeometry(screen->availableGeometry());
    tools::exitAfterFirstPaintWhenChecking(window);
    window.show();
    return QApplication::exec();
}
