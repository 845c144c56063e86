#include "board/default_driver.h"
#include "ui/HelpWindow.h"
#include "ui/Mainform.h"
#include "ui/MonitorWindows.h"
#include "ui/Prompts.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace {

/// @brief ZELVA1_STARTUP_CHECK, for the package check and the start-up benchmark only: once
/// the main window has been painted for the first time, print "main window shown" and leave
/// the event loop. No user sets it; without it nothing here happens.
class StartupCheck : public QObject {
public:
    using QObject::QObject;

    [[nodiscard]] static bool requested() {
        const char* value = std::getenv("ZELVA1_STARTUP_CHECK");
        return value != nullptr && *value != '\0';
    }

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

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("monitor ZELVA-1"));
    ui::setHelpFile(QStringLiteral("E:\\KESTRA_3_programmer\\help\\HELP_PROJECT.HLP"));

    std::unique_ptr<board::Driver> driver;
    std::unique_ptr<ui::MonitorWindows> windows;
    ui::StandardPrompts prompts;
    try {
        driver = board::makeDefaultDriver();
        windows = std::make_unique<ui::MonitorWindows>(*driver, prompts);
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              QString::fromLocal8Bit(error.what()));
        return 1;
    }
    if (StartupCheck::requested())
        windows->mainForm().installEventFilter(new StartupCheck(&windows->mainForm()));
    windows->mainForm().show();
    return QApplication::exec();
}
