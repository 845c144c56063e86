// The picture in the README: the monitor on the simulated board, input 5 receiving the
// built-in stream decoded through the example formats, output 1 sending the test pattern.
//   readme_screenshot <examples folder> <picture.png> [<watch.png> <chart.png>]
// With the two more names it goes on for about 25 s with input 6 receiving the stream by
// address too and draws the label watch and the chart of input 5's pitch (label 324).
//   readme_screenshot --checks <examples folder> <picture.png>
// draws the label watch checking the stream against the example label database instead, the
// simulated board set up by the example faults (label-faults.cfg): input 5 in file mode with
// the three faults, input 6 by address without them, after about 15 s.
//   readme_screenshot --stimulus <examples folder> <picture.png>
// draws the «Выдача по параметрам» window sending the example stimulus on output 1, with
// input 1 receiving it in file mode, after about 10 s.
// Run it offscreen (QT_QPA_PLATFORM=offscreen) or under xvfb-run. It reads the example
// files and writes nothing but the pictures.

#include "board/default_driver.h"
#include "labels/label_database_file.h"
#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/AnalysisWindows.h"
#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/analysis/Labelwatch.h"
#include "ui/analysis/Parameterchart.h"
#include "ui/common/Prompts.h"
#include "ui/dialogs/Devicechoice.h"
#include "ui/dialogs/Paramformat.h"
#include "ui/main/Mainform.h"
#include "ui/main/MonitorWindows.h"
#include "ui/stimulus/Stimulus.h"
#include "ui/stimulus/StimulusWindows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QTabBar>
#include <QTableView>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

/// Yes to every question; the example assignment file whenever a file is to be read.
class ExampleAnswers final : public ui::Prompts {
public:
    explicit ExampleAnswers(QString assignmentFile) : assignmentFile_(std::move(assignmentFile)) {}
    bool confirm(QWidget*, const QString&, const QString&) override { return true; }
    QString chooseFileToOpen(QWidget*, const QString&, const QString&) override {
        return assignmentFile_;
    }
    QString chooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    void warn(QWidget*, const QString&, const QString& text) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    void beep() override {}

private:
    QString assignmentFile_;
};

void run(ui::TMainFrm& main, const char* command) {
    main.findChild<QAction*>(QString::fromLatin1(command))->trigger();
}

/// A modal dialog opened by `command`, answered by `step` once it shows.
void runWithDialog(ui::TMainFrm& main, const char* command, const std::function<void()>& step) {
    QTimer::singleShot(0, step);
    run(main, command);
}

// The simulated board runs on the real clock: let words arrive between ticks.
void runTicks(ui::TMainFrm& main, int ticks) {
    for (int tick = 0; tick < ticks; ++tick) {
        QThread::msleep(250);
        main.Timer1Timer();
        QApplication::processEvents();
    }
}

// A palette of 256 colours keeps the committed pictures small; the windows have few colours.
bool savePicture(QWidget& window, const QString& file) {
    const QImage picture = window.grab().toImage().convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    if (picture.save(file, "PNG", 0))
        return true;
    std::fprintf(stderr, "could not write %s\n", file.toLocal8Bit().constData());
    return false;
}

/// Puts the example label database in use; false, having said why, when it does not load.
bool useExampleDatabase(ui::TMainFrm& main, const QDir& examples) {
    const QString databaseFile = QStringLiteral("label-database.csv");
    labels::LabelDatabaseLoad load =
        labels::loadLabelDatabaseFile(examples.absoluteFilePath(databaseFile).toStdU16String());
    if (!load.ok()) {
        std::fprintf(stderr, "%s\n",
                     labels::labelDatabaseErrorMessage("label-database.csv", load.error).c_str());
        return false;
    }
    main.analysisMenu().labelDatabaseCommand().use(
        std::make_shared<const labels::LabelDatabase>(std::move(*load.database)), databaseFile);
    return true;
}

/// The monitor on the simulated board from the examples folder, the example label database
/// in use, board 0 chosen and initialised at its default rates.
struct ExampleMonitor {
    explicit ExampleMonitor(const QDir& examples) {
        QDir::setCurrent(examples.absolutePath());
        main.resize(1180, 640);
        main.show();
        ready = useExampleDatabase(main, examples);
        runWithDialog(main, "ActionDeviceChoice",
                      [this] { windows.deviceChoice().Button1->click(); });
        run(main, "DeviceInitialization");
    }

    ExampleAnswers prompts{{}};
    std::unique_ptr<board::Driver> driver = board::makeDefaultDriver();
    ui::MonitorWindows windows{*driver, prompts};
    ui::TMainFrm& main = windows.mainForm();
    bool ready = false;
};

// The example stimulus on output 1, received on input 1 in file mode.
int drawStimulus(const QDir& examples, const QString& picture) {
    ExampleMonitor monitor(examples);
    if (!monitor.ready)
        return 1;
    run(monitor.main, "SIfilePusk");
    ui::TFrmStimulus& stimulus = monitor.windows.stimulus().stimulus();
    monitor.windows.stimulus().mmParameterStimulusExecute();
    if (!stimulus.open(examples.absoluteFilePath(QStringLiteral("stimulus.csv"))))
        return 1;
    stimulus.btnStimulusStart->click();
    stimulus.gridStimulus->selectRow(6);
    runTicks(monitor.main, 40);
    return savePicture(stimulus, picture) ? 0 : 1;
}

// The watch with the example database over the stream with the example faults.
int drawChecks(const QDir& examples, const QString& picture) {
    qputenv("ZELVA1_SIM_CONFIG",
            examples.absoluteFilePath(QStringLiteral("label-faults.cfg")).toLocal8Bit());
    ExampleMonitor monitor(examples);
    if (!monitor.ready)
        return 1;
    auto* inputs = monitor.main.findChild<QTabBar*>(QStringLiteral("SI"));
    inputs->setCurrentIndex(4);
    run(monitor.main, "SIfilePusk");
    inputs->setCurrentIndex(5);
    run(monitor.main, "SIaddressPusk");
    ui::TFrmLabelWatch& watch = monitor.windows.analysis().labelWatch();
    watch.resize(1500, 470);
    monitor.windows.analysis().mmLabelWatchExecute();
    runTicks(monitor.main, 60);
    return savePicture(watch, picture) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("--stimulus"))
        return drawStimulus(QDir(QString::fromLocal8Bit(argv[2])),
                            QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath());
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("--checks"))
        return drawChecks(QDir(QString::fromLocal8Bit(argv[2])),
                          QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath());
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr,
                     "usage: readme_screenshot <examples folder> <picture.png> "
                     "[<watch.png> <chart.png>]\n"
                     "       readme_screenshot --checks <examples folder> <picture.png>\n"
                     "       readme_screenshot --stimulus <examples folder> <picture.png>\n");
        return 2;
    }
    const QDir examples(QString::fromLocal8Bit(argv[1]));
    // Named from the folder the tool starts in, which it leaves for the examples' folder.
    QStringList pictures;
    for (int arg = 2; arg < argc; ++arg)
        pictures.append(QFileInfo(QString::fromLocal8Bit(argv[arg])).absoluteFilePath());
    // The format state file is read from the working folder.
    QDir::setCurrent(examples.absolutePath());
    ExampleAnswers prompts(examples.absoluteFilePath(QStringLiteral("builtin-traffic.si")));
    const auto driver = board::makeDefaultDriver();
    ui::MonitorWindows windows(*driver, prompts);
    ui::TMainFrm& main = windows.mainForm();
    main.resize(1180, 640);
    main.show();

    runWithDialog(main, "ParamFormat", [&] {
        windows.paramFormat().FileOpen1->trigger();
        windows.paramFormat().close();
    });
    runWithDialog(main, "ActionDeviceChoice", [&] { windows.deviceChoice().Button1->click(); });
    run(main, "DeviceInitialization");
    run(main, "SOdataTest");
    run(main, "SOciclePusk");
    main.findChild<QTabBar*>(QStringLiteral("SI"))->setCurrentIndex(4);
    run(main, "SIfilePusk");
    runTicks(main, 4);
    if (!savePicture(main, pictures[0]))
        return 1;
    if (argc == 3)
        return 0;

    main.findChild<QTabBar*>(QStringLiteral("SI"))->setCurrentIndex(5);
    run(main, "SIaddressPusk");
    ui::AnalysisWindows& analysis = windows.analysis();
    ui::TFrmLabelWatch& watch = analysis.labelWatch();
    watch.resize(1080, 440);
    analysis.mmLabelWatchExecute();
    ui::TFrmParameterChart& chart = analysis.openChart({4, 0324});
    chart.seSpan->setValue(20);
    chart.resize(720, 360);
    runTicks(main, 96);
    watch.WatchGrid->sortByColumn(1, Qt::AscendingOrder);
    QApplication::processEvents();
    return savePicture(watch, pictures[1]) && savePicture(chart, pictures[2]) ? 0 : 1;
}
