// Renders every window of the monitor on the simulated board into PNG files, for looking at
// what a user sees: ui_screenshots <output folder>. Run it under Xvfb (scripts/screenshots.sh
// does, at two screen sizes): each picture is then taken from the X server's screen, as
// drawn there. Offscreen, the windows draw themselves into the pictures instead.
//
// The windows speak through the standard message box and file dialogs, so the warning and a
// file dialog are in the pictures too. Run it in a folder holding KST3frmt.stt and
// builtin-traffic.si (examples/) to see the decimal column decode.

#include "dialog_steps.h"

#include "board/default_driver.h"
#include "formats/assignment_file.h"
#include "ui/analysis/AnalysisMenu.h"
#include "ui/common/Prompts.h"
#include "ui/common/QtTranslations.h"
#include "ui/dialogs/Devicechoice.h"
#include "ui/dialogs/Paramformat.h"
#include "ui/main/Mainform.h"
#include "ui/main/MonitorWindows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <filesystem>

namespace {

QDir folder;

/// The window as the screen shows it, frame included; offscreen, as it draws itself.
void save(QWidget& window, const QString& name) {
    QTest::qWait(300); // let it lay out and paint
    QPixmap shot;
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        const QRect frame = window.frameGeometry();
        shot = window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    }
    if (shot.isNull())
        shot = window.grab();
    shot.save(folder.filePath(name + QStringLiteral(".png")));
}

/// The window with one of its menus open. A popup menu is a window of its own, so this needs
/// the screen: offscreen the picture shows the window alone.
void saveWithMenuOpen(QMainWindow& window, QMenu* menu, const QString& name) {
    window.menuBar()->setActiveAction(menu->menuAction());
    save(window, name);
    menu->close();
}

void trigger(QWidget& window, const char* action) {
    window.findChild<QAction*>(QString::fromUtf8(action))->trigger();
}

/// Pictures the next modal window, then closes it with `close`, or rejects it.
void pictureNextModal(const QString& name, std::function<void(QWidget*)> close = {}) {
    testing_support::onNextModal([name, close = std::move(close)](QWidget* modal) {
        save(*modal, name);
        if (close)
            close(modal);
        else if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
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
    (void)ui::installQtTranslations();
    folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const auto driver = board::makeDefaultDriver();
    ui::StandardPrompts prompts;
    ui::MonitorWindows windows(*driver, prompts);
    ui::TMainFrm& main = windows.mainForm();
    main.show();
    save(main, QStringLiteral("01-start"));

    // The device choice, its warning answered Yes.
    pictureNextModal(QStringLiteral("02-device-choice"), [&windows](QWidget*) {
        pictureNextModal(QStringLiteral("03-warning"), [](QWidget* box) {
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
        });
        windows.deviceChoice().Button1->click();
    });
    trigger(main, "ActionDeviceChoice");
    save(main, QStringLiteral("04-board-chosen"));

    // The example assignments, as "Восстановить" would load them.
    if (std::filesystem::exists("builtin-traffic.si"))
        (void)formats::loadAssignmentFile(main.assignmentTable(), "builtin-traffic.si");

    // The built-in air-data stream arrives on input 5; the test pattern sent cyclically on
    // output 1 comes back on input 1.
    trigger(main, "DeviceInitialization");
    auto* inputs = main.findChild<QTabBar*>(QStringLiteral("SI"));
    trigger(main, "SOdataTest");
    trigger(main, "SOciclePusk");
    trigger(main, "SIaddressPusk");
    inputs->setCurrentIndex(4);
    trigger(main, "SIfilePusk");
    runTicks(main, 3);
    save(main, QStringLiteral("05-running-input5"));
    inputs->setCurrentIndex(0);
    runTicks(main, 2);
    save(main, QStringLiteral("06-running-input1"));

    // The bit editor opens on a right press on a word of the output array.
    auto* outputs = main.findChild<QTableView*>(QStringLiteral("DrawGrid1"));
    pictureNextModal(QStringLiteral("07-bit-editor"));
    QTest::mousePress(outputs->viewport(), Qt::RightButton, {},
                      outputs->visualRect(outputs->model()->index(3, 1)).center());

    trigger(main, "SOstopChannel");
    pictureNextModal(QStringLiteral("08-output-file-open"));
    trigger(main, "FileOpen1");

    pictureNextModal(QStringLiteral("09-decimal-formats"));
    trigger(main, "FormatList");

    pictureNextModal(QStringLiteral("10-parameter-formats"), [&windows](QWidget* dialog) {
        pictureNextModal(QStringLiteral("11-assignment-file-open"));
        windows.paramFormat().btReadFile->click();
        qobject_cast<QDialog*>(dialog)->reject();
    });
    trigger(main, "ParamFormat");

    pictureNextModal(QStringLiteral("12-refresh-period"));
    trigger(main, "TimerPeriod");

    // Recording in the working folder, with the "Анализ" menu open on it.
    const QString recording = QDir::current().filePath(QStringLiteral("recording.csv"));
    QFile::remove(recording);
    pictureNextModal(QStringLiteral("13-recording-save"), [&recording](QWidget* dialog) {
        // Typed as a user would: the dialog takes what its name field holds.
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(recording);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    trigger(main, "mmRecording");
    runTicks(main, 3);
    saveWithMenuOpen(main, main.analysisMenu().menu(), QStringLiteral("14-recording-menu"));
    trigger(main, "mmRecording");

    pictureNextModal(QStringLiteral("15-label-database-open"));
    main.analysisMenu().labelDatabase()->trigger();

    pictureNextModal(QStringLiteral("16-recording-limits"));
    main.analysisMenu().recordingLimits()->trigger();
    return 0;
}
