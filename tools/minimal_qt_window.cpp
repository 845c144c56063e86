// The yardstick of the start-up benchmark (scripts/startup-benchmark.sh): the least a Qt
// Widgets program with a main window and a table does before its window shows. It honours
// ZELVA1_STARTUP_CHECK as the monitor does, so both are timed to the same point.

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, qApp, [] {
                std::puts("main window shown");
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

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
    if (const char* check = std::getenv("ZELVA1_STARTUP_CHECK"); check != nullptr && *check)
        window.installEventFilter(new FirstPaint(&window));
    window.show();
    return QApplication::exec();
}
