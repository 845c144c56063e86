#include "board/default_driver.h"
#include "tools/startup_check.h"
#include "ui/common/Prompts.h"
#include "ui/common/QtTranslations.h"
#include "ui/common/UserFolder.h"
#include "ui/help/HelpWindow.h"
#include "ui/main/Mainform.h"
#include "ui/main/MonitorWindows.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace {

// A refused setting is said on standard error; a Windows program started from its icon has
// none to read, so there it is said in a box as well, before the main window shows.
void reportSettingsProblems(const std::string& problems) {
    if (problems.empty())
        return;
    std::cerr << problems;
#ifdef _WIN32
    QMessageBox::warning(nullptr, QApplication::applicationName(),
                         QString::fromLocal8Bit(problems));
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    // Asked by installers and scripts; answered before Qt starts, so it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << ZELVA1_MONITOR_VERSION << '\n';
        return 0;
    }
    // The Start menu entry of the Windows installer: the monitor keeps its files in the folder
    // it runs in, and under Program Files a user who is not an administrator cannot write.
    const bool inUserFolder = argc == 2 && std::strcmp(argv[1], "--user-folder") == 0;
    QApplication application(argc, argv);
    // Qt's own buttons and dialogs speak Russian like the rest of the monitor, on every system.
    (void)ui::installQtTranslations();
    QApplication::setApplicationName(QStringLiteral("monitor ZELVA-1"));
    ui::setHelpFile(QStringLiteral("E:\\KESTRA_3_programmer\\help\\HELP_PROJECT.HLP"));

    if (inUserFolder) {
        // Before the main window, which reads the format table from the current folder.
        const QString problem = ui::enterUserFolder(
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        if (!problem.isEmpty())
            QMessageBox::warning(nullptr, QApplication::applicationName(), problem);
    }

    std::unique_ptr<board::Driver> driver;
    std::unique_ptr<ui::MonitorWindows> windows;
    ui::StandardPrompts prompts;
    try {
        std::ostringstream settingsProblems;
        driver = board::makeDefaultDriver(settingsProblems);
        reportSettingsProblems(settingsProblems.str());
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
