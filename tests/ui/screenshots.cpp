// Renders the monitor's windows on the simulated board into PNG files, for looking at what a
// user sees: ui_screenshots <output folder>. Run it with QT_QPA_PLATFORM=offscreen or under Xvfb.

#include "scripted_prompts.h"

#include "board/simulated_driver.h"
#include "ui/Devicechoice.h"
#include "ui/Mainform.h"
#include "ui/MonitorWindows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTimer>

namespace {

void save(QWidget& widget, const QDir& folder, const QString& name) {
    widget.grab().save(folder.filePath(name));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    board::SimulatedDriver driver(board::defaultSimulatorConfig());
    testing_support::ScriptedPrompts prompts;
    ui::MonitorWindows windows(driver, prompts);
    ui::TMainFrm& main = windows.mainForm();
    main.resize(1280, 800);
    main.show();
    save(main, folder, QStringLiteral("1-start.png"));

    QTimer::singleShot(0, [&] {
        save(windows.deviceChoice(), folder, QStringLiteral("2-device-choice.png"));
        windows.deviceChoice().Button1->click();
    });
    main.findChild<QAction*>(QStringLiteral("ActionDeviceChoice"))->trigger();
    save(main, folder, QStringLiteral("3-board-chosen.png"));

    main.findChild<QAction*>(QStringLiteral("DeviceInitialization"))->trigger();
    for (int tick = 0; tick < 3; ++tick)
        main.Timer1Timer();
    QApplication::processEvents();
    save(main, folder, QStringLiteral("4-running.png"));
    return 0;
}
