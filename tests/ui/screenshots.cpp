// Renders the monitor's windows on the simulated board into PNG files, for looking at what a
// user sees: ui_screenshots <output folder>. Run it with QT_QPA_PLATFORM=offscreen or under Xvfb.

#include "scripted_prompts.h"

#include "board/default_driver.h"
#include "ui/Devicechoice.h"
#include "ui/Mainform.h"
#include "ui/AnalysisMenu.h"
#include "ui/MonitorWindows.h"

#include <QAction>
#include <QTabBar>
#include <QThread>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QPushButton>
#include <QTimer>

namespace {

void save(QWidget& widget, const QDir& folder, const QString& name) {
    widget.grab().save(folder.filePath(name));
}

void saveWithMenuOpen(QMainWindow& window, QMenu* menu, const QDir& folder, const QString& name) {
    window.menuBar()->setActiveAction(menu->menuAction());
    for (int i = 0; i < 10; ++i) {
        QThread::msleep(30);
        QApplication::processEvents();
    }
    const QRect frame = window.frameGeometry();
    window.screen()
        ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(folder.filePath(name));
    menu->close();
}

void trigger(QWidget& window, const char* action) {
    window.findChild<QAction*>(QString::fromUtf8(action))->trigger();
}

// The simulated board runs on the real clock: let words arrive, then tick.
void runTicks(ui::TMainFrm& main, int ticks) {
    for (int tick = 0; tick < ticks; ++tick) {
        QThread::msleep(250);
        main.Timer1Timer();
        QApplication::processEvents();
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const auto driver = board::makeDefaultDriver();
    testing_support::ScriptedPrompts prompts;
    ui::MonitorWindows windows(*driver, prompts);
    ui::TMainFrm& main = windows.mainForm();
    main.resize(1280, 800);
    main.show();
    save(main, folder, QStringLiteral("1-start.png"));

    QTimer::singleShot(0, [&] {
        save(windows.deviceChoice(), folder, QStringLiteral("2-device-choice.png"));
        windows.deviceChoice().Button1->click();
    });
    trigger(main, "ActionDeviceChoice");
    save(main, folder, QStringLiteral("3-board-chosen.png"));

    // The built-in air-data stream arrives on input 5.
    trigger(main, "DeviceInitialization");
    main.findChild<QTabBar*>(QStringLiteral("SI"))->setCurrentIndex(4);
    trigger(main, "SIaddressPusk");
    runTicks(main, 3);
    save(main, folder, QStringLiteral("4-input5-traffic.png"));

    // The test pattern sent cyclically on output 1 comes back on input 1.
    main.findChild<QTabBar*>(QStringLiteral("SI"))->setCurrentIndex(0);
    trigger(main, "SOdataTest");
    trigger(main, "SOciclePusk");
    trigger(main, "SIaddressPusk");
    runTicks(main, 3);
    save(main, folder, QStringLiteral("5-input1-loopback.png"));

    // Recording into the output folder, with the "Анализ" menu open on it. A popup menu is a
    // window of its own, so the picture is taken from the screen: run this under Xvfb.
    prompts.fileAnswers.push_back(folder.filePath(QStringLiteral("recording.csv")));
    trigger(main, "mmRecording");
    runTicks(main, 3);
    saveWithMenuOpen(main, main.analysisMenu().menu(), folder, QStringLiteral("6-recording.png"));
    trigger(main, "mmRecording");
    return 0;
}
