#include "board/default_driver.h"
#include "tools/startup_check.h"
#include "ui/HelpWindow.h"
#include "ui/Mainform.h"
#include "ui/MonitorWindows.h"
#include "ui/Prompts.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Qt's own buttons and dialogs speak Russian like the rest of the monitor, on every system.
    (void)ui::installQtTranslations();
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
    tools::exitAfterFirstPaintWhenChecking(windows->mainForm());
    windows->mainForm().show();
    return QApplication::exec();
}
