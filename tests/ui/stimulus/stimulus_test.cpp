// The «Имитация» menu's windows on the simulated board: the example stimulus sent on output
// 1 while the design's commands keep off that output, values edited in place while it runs,
// files with errors refused whole, and parameters let go with the database they came from; a
// recording replayed onto output 1 to its end, and a damaged one or a path that names no file
// refused with its reason.

#include "monitor_fixture.h"

#include "analysis/recording_row.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "labels/label_database_file.h"
#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/stimulus/Replay.h"
#include "ui/stimulus/Stimulus.h"
#include "ui/stimulus/StimulusModel.h"
#include "ui/stimulus/StimulusWindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>
#include <utility>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

using testing_support::child;

namespace {

struct SimulatedBoard {
    SimulatedBoard() : driver(board::simulated::parseSimulatorConfig("").config) {}
    board::simulated::SimulatedDriver driver;
};

/// The monitor on the simulated board, board 0 initialised, the example database in use.
struct StimulusMonitor : SimulatedBoard, testing_support::MonitorControls {
    StimulusMonitor() : MonitorControls(driver) {
        labels::LabelDatabaseLoad load =
            labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
        main().analysisMenu().labelDatabaseCommand().use(
            std::make_shared<const labels::LabelDatabase>(std::move(*load.database)),
            QStringLiteral("label-database.csv"));
        chooseBoard(0);
        initialise();
        windows->stimulus().mmParameterStimulusExecute();
    }
    ui::TFrmStimulus& window() { return windows->stimulus().stimulus(); }
    QString cell(int row, int column) {
        return window().gridStimulus->model()->index(row, column).data().toString();
    }
    void waitMs(int ms) {
        QTest::qWait(ms); // the stimulus runs on the steady clock, on a thread of its own
    }
};

} // namespace

class StimulusTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // The database setting is written beside the format state, in the working folder.
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path());
    }

    void exampleRunsOnOutputOneBesideTheDesignCommands() {
        StimulusMonitor m;
        ui::TFrmStimulus& w = m.window();
        QVERIFY(w.open(QStringLiteral(ZELVA_EXAMPLES_DIR "/stimulus.csv")));
        QCOMPARE(w.gridStimulus->model()->rowCount(), 9);
        QVERIFY(w.lbBusLoad->text().startsWith(QStringLiteral("загрузка шины ")));
        w.btnStimulusStart->click();
        QVERIFY(w.running(1));
        QVERIFY(!w.btnAddParameter->isEnabled());
        m.waitMs(400);
        QVERIFY(m.cell(6, ui::StimulusModel::Sent).toInt() > 5); // roll, every 20 ms

        // The design's commands on that output ask for the stimulus to stop first.
        m.prompts.questions.clear();
        const std::uint16_t mode = m.state().SOmode[0];
        m.button("tbSOciclePusk")->click();
        QCOMPARE(m.prompts.questions.size(), 1);
        QVERIFY(m.prompts.questions.front().contains(QStringLiteral("идёт выдача по параметрам")));
        QCOMPARE(m.state().SOmode[0], mode);
        m.main().Timer1Timer();
        QCOMPARE(m.statusText("XPStatusBar2", 1),
                 QStringLiteral("выдача по параметрам (имитация)"));

        // A value typed in place goes out with the next burst; one the bits cannot hold is
        // refused with the reason and changes nothing.
        QAbstractItemModel& model = *w.gridStimulus->model();
        QVERIFY(model.setData(model.index(1, ui::StimulusModel::Value), QStringLiteral("-1500,5"),
                              Qt::EditRole));
        QCOMPARE(w.output(1).parameters()[1].law.value, -1500.5);
        m.prompts.questions.clear();
        QVERIFY(!model.setData(model.index(1, ui::StimulusModel::Value), QStringLiteral("1e9"),
                               Qt::EditRole));
        QCOMPARE(m.prompts.questions.size(), 1);
        QCOMPARE(w.output(1).parameters()[1].law.value, -1500.5);

        w.btnStimulusStop->click();
        for (int wait = 0; wait < 100 && w.running(1); ++wait)
            m.waitMs(5);
        QVERIFY(!w.running(1));
        QVERIFY(w.lbStimulusState->text().startsWith(QStringLiteral("выдача остановлена")));
        m.prompts.questions.clear();
        m.button("tbSOsinglePusk")->click();
        QVERIFY(m.prompts.questions.isEmpty());
    }

    void aFileWithAnErrorLoadsNothingAndADatabaseUnloadedLetsTheParametersGo() {
        StimulusMonitor m;
        ui::TFrmStimulus& w = m.window();
        w.edParameterSearch->setText(QStringLiteral("Крен"));
        w.btnAddParameter->click();
        QCOMPARE(w.output(1).parameters().size(), std::size_t{1});
        QCOMPARE(w.output(1).parameters()[0].label, 0325);

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("wrong.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("label,law,value\n203,constant,10000\n377,constant,1\n");
        file.close();
        m.prompts.questions.clear();
        QVERIFY(!w.open(path));
        QCOMPARE(m.prompts.questions.size(), 1);
        QVERIFY(m.prompts.questions.front().contains(QStringLiteral("метки нет в базе меток")));
        QCOMPARE(w.output(1).parameters().size(), std::size_t{1});

        m.prompts.questions.clear();
        m.main().analysisMenu().labelDatabaseCommand().mmUnloadLabelDatabaseExecute();
        QVERIFY(w.output(1).parameters().empty());
        QCOMPARE(m.prompts.questions.size(), 1);
    }

    void aRecordingReplaysOntoOutputOneAndADamagedOneIsRefused() {
        StimulusMonitor m;
        ui::TFrmReplay& w = m.windows->stimulus().replay();
        m.windows->stimulus().mmRecordingReplayExecute();
        // Input 2's label 203 every 50 ms for a second.
        QString text = QString::fromUtf8(analysis::kRecordingColumnNames.data(),
                                         analysis::kRecordingColumnNames.size()) +
                       QStringLiteral("\r\n");
        for (int tick = 0; tick < 20; ++tick)
            text += QStringLiteral("2026-12-09 10:00:00.000,%1,%2,2,%3,%4,203,0,0,норма,,,\r\n")
                        .arg(tick * 50)
                        .arg(tick + 1)
                        .arg(tick)
                        .arg(0x83U + (static_cast<unsigned>(tick) << 10), 8, 16, QChar('0'));
        const QString path = QDir(workDir.path()).filePath(QStringLiteral("recorded.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();

        QVERIFY(w.open(path));
        QVERIFY(w.lbRecording->text().contains(QStringLiteral("слов 20")));
        QVERIFY(w.cbInputs[1]->isChecked() && !w.cbInputs[0]->isEnabled());
        w.cbOutputs[1]->setCurrentIndex(0);
        w.btnReplayStart->click();
        QVERIFY(w.sendsOn(1));
        m.prompts.questions.clear();
        m.button("tbSOsinglePusk")->click();
        QCOMPARE(m.prompts.questions.size(), 1);
        QVERIFY(
            m.prompts.questions.front().contains(QStringLiteral("идёт воспроизведение записи")));
        QTRY_VERIFY_WITH_TIMEOUT(
            w.lbReplayState->text().startsWith(QStringLiteral("воспроизведение закончено")), 5000);
        QVERIFY(w.lbReplayState->text().contains(QStringLiteral("выдано слов по выходам: 20")));
        QVERIFY(!w.sendsOn(1));

        file.open(QIODevice::WriteOnly);
        file.write(text.replace(QStringLiteral(",203,"), QStringLiteral(",204,")).toUtf8());
        file.close();
        m.prompts.questions.clear();
        QVERIFY(!w.open(path));
        QCOMPARE(m.prompts.questions.size(), 1);
        QVERIFY(
            m.prompts.questions.front().contains(QStringLiteral("не воспроизводится: строка 2")));
    }

    void aPathThatIsNoRecordingIsRefusedWithItsReasonAndNeverWaitedFor() {
        StimulusMonitor m;
        ui::TFrmReplay& w = m.windows->stimulus().replay();
        const QDir dir(workDir.path());
        QVERIFY(dir.mkpath(QStringLiteral("folder")));
        QFile empty(dir.filePath(QStringLiteral("empty.csv")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QList<std::pair<QString, QString>> cases{
            {QStringLiteral("missing.csv"), QStringLiteral("файла нет")},
            {QStringLiteral("folder"), QStringLiteral("это папка, а не файл")},
            {QStringLiteral("empty.csv"), QStringLiteral("файл пуст")}};
#if !defined(_WIN32)
        // Opened, a FIFO without a writer would hold the window until one came.
        QVERIFY(::mkfifo(dir.filePath(QStringLiteral("fifo")).toLocal8Bit().constData(), 0600) ==
                0);
        cases.append({QStringLiteral("fifo"), QStringLiteral("не обычный файл")});
#endif
        for (const auto& [name, reason] : cases) {
            m.prompts.questions.clear();
            QVERIFY(!w.open(dir.filePath(name)));
            QCOMPARE(m.prompts.questions.size(), 1);
            QVERIFY2(m.prompts.questions.front().contains(reason), qPrintable(name));
        }
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(StimulusTest)
#include "stimulus_test.moc"
