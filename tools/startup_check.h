#pragma once

// ZELVA1_STARTUP_CHECK, for the package check and the start-up benchmark only: once the
// watched main window has been painted for the first time, the program prints
// "main window shown" and leaves its event loop. No user sets it; without it nothing
// happens. The monitor and the benchmark's yardstick share it, so both are timed to the
// same point.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace tools {

class FirstPaintExit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Let this paint reach the screen before leaving.
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

/// Watches `window` when ZELVA1_STARTUP_CHECK is set to anything but "".
inline void exitAfterFirstPaintWhenChecking(QWidget& window) {
    const char* value = std::getenv("ZELVA1_STARTUP_CHECK");
    if (value != nullptr && *value != '\0')
        window.installEventFilter(new FirstPaintExit(&window));
}

} // namespace tools
