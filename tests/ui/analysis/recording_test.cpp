#include "dialog_steps.h"
#include "monitor_fixture.h"

#include "tests/formats/table_fixtures.h"
#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/RecordingCommand.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using testing_support::Monitor;
using testing_support::RecordedRequest;

namespace {

// Label 203 (octal) with SDI 2, SSM 1 and bit 28 set: +90 deg through HDG. With bit 32 the
// count of ones is odd, without it even.
constexpr std::uint32_t kGoodWord = 0xA8000283u;
constexpr std::uint32_t kBadParityWord = 0x28000283u;
// Bit 32, the sign bit 29 and the field's bits 18..28 all set: one step below zero.
constexpr std::uint32_t kNegativeWord = 0x9FFE0283u;

/// The monitor on board 0, initialised, inputs 1 and 3 receiving by address, HDG assigned
/// to label 203 of input 3 alone. The board delivers `words[channel]` in cell 203 of each.
struct ReceivingMonitor : Monitor {
    ReceivingMonitor() {
        chooseBoard(0);
        initialise();
        main().formatTable().slots[0] = formats_testing::makeFormat("HDG", 28, 18, 90.0f, "deg");
        main().formatTable().formatCount = 1;
        main().assignmentTable().slots[0] = formats_testing::makeAssignment(0203, 3, "HDG");
        for (int tab : {2, 0}) {
            tabs("SI")->setCurrentIndex(tab);
            button("tbSIaddressPusk")->click();
        }
        driver.answer(board::IOCTL_SI_READ, [this](const RecordedRequest& r, auto output) {
            const auto read = r.inputAs<board::SIReadRequest>();
            board::SIReadReply reply{};
            if (read.index == 0203)
                reply.word = words[read.channelNo];
            std::memcpy(output.data(), &reply, sizeof reply);
            return true;
        });
        prompts.questions.clear(); // the device choice's warning
    }

    QAction* recording() { return main().analysisMenu().recording(); }
    void startRecording(const QString& path) {
        prompts.fileAnswers.push_back(path);
        recording()->trigger();
    }

    std::uint32_t words[9]{};
};

/// The rows of a recording as Python's csv module reads them.
QJsonObject readWithPython(const QString& path) {
#if defined(ZELVA_PYTHON) && defined(ZELVA_READ_RECORDING_SCRIPT)
    QProcess python;
    python.start(QStringLiteral(ZELVA_PYTHON), {QStringLiteral(ZELVA_READ_RECORDING_SCRIPT), path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        qWarning("python: %s", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
#else
    (void)path;
    return {};
#endif
}

QString fieldsOf(const QJsonValue& row, std::initializer_list<const char*> columns) {
    QStringList fields;
    for (const char* column : columns)
        fields << row.toObject().value(QString::fromUtf8(column)).toString();
    return fields.join(QLatin1Char('|'));
}

} // namespace

class RecordingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path());
    }

    void recordsTheChangedWordsAcrossTabsStopAndInitialisationForACsvReader() {
#if !defined(ZELVA_PYTHON)
        QSKIP("no Python interpreter to read the recording with");
#endif
        ReceivingMonitor m;
        const QString path = workDir.filePath(QStringLiteral("запись.csv"));
        QCOMPARE(m.recording()->text(), QStringLiteral("запись принятых слов…"));
        m.startRecording(path);
        QCOMPARE(m.prompts.fileDialogs.last(),
                 QStringLiteral("Записи принятых слов (*.csv)|.|csv"));
        QVERIFY(m.recording()->isChecked());
        QCOMPARE(m.recording()->text(), QStringLiteral("остановить запись"));

        m.words[1] = kBadParityWord;
        m.words[3] = kGoodWord;
        m.main().Timer1Timer(); // tick 1: two rows
        m.main().Timer1Timer(); // nothing changed
        m.tabs("SI")->setCurrentIndex(1);
        m.words[3] = kNegativeWord;
        m.main().Timer1Timer(); // tick 3: one row
        m.reset();
        m.initialise();         // the cells are cleared and the ticks counted anew
        m.main().Timer1Timer(); // tick 1 again: both words are new to their cells
        m.recording()->trigger();
        QVERIFY(!m.recording()->isChecked());
        QCOMPARE(m.recording()->text(), QStringLiteral("запись принятых слов…"));
        m.words[1] = kGoodWord;
        m.main().Timer1Timer(); // not recorded

        const QJsonObject read = readWithPython(path);
        QCOMPARE(read.value(QStringLiteral("columns")).toArray().size(), 13);
        const QJsonArray rows = read.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 5);
        const auto fields = {"№ цикла", "входной канал", "ячейка",
                             "слово",   "метка",         "SDI",
                             "SSM",     "четность",      "десятичное значение"};
        QCOMPARE(fieldsOf(rows[0], fields), QStringLiteral("1|1|131|28000283|203|2|1|ошибка|"));
        QCOMPARE(fieldsOf(rows[1], fields),
                 QStringLiteral("1|3|131|a8000283|203|2|1|норма|+90.000000  deg"));
        QCOMPARE(fieldsOf(rows[2], fields),
                 QStringLiteral("3|3|131|9ffe0283|203|2|0|норма|-0.087891  deg"));
        QCOMPARE(fieldsOf(rows[3], fields), QStringLiteral("1|1|131|28000283|203|2|1|ошибка|"));
        QCOMPARE(fieldsOf(rows[4], fields),
                 QStringLiteral("1|3|131|9ffe0283|203|2|0|норма|-0.087891  deg"));
        const QRegularExpression localTime(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"));
        for (const auto& row : rows) {
            QVERIFY(localTime.match(fieldsOf(row, {"дата и время"})).hasMatch());
            QVERIFY(fieldsOf(row, {"мс от начала записи"}).toLongLong() >= 0);
        }
        QVERIFY(m.prompts.questions.isEmpty());
    }

    void aCancelledDialogOrAFileThatCannotBeCreatedRecordsNothing() {
        ReceivingMonitor m;
        m.recording()->trigger(); // the dialog is cancelled
        QVERIFY(!m.recording()->isChecked());
        QVERIFY(!m.main().analysisMenu().recordingCommand().recording());

        const QString path = workDir.filePath(QStringLiteral("нет/запись.csv"));
        m.startRecording(path);
        QVERIFY(!m.recording()->isChecked());
        QCOMPARE(m.prompts.questions.size(), 1);
        QVERIFY2(m.prompts.questions[0].startsWith(
                     QStringLiteral("Запись принятых слов|Не удалось создать файл \"") +
                     QDir::toNativeSeparators(path) + QLatin1Char('"')),
                 qPrintable(m.prompts.questions[0]));
        QVERIFY(m.prompts.questions[0].endsWith(QStringLiteral("Запись принятых слов не начата.")));
        QVERIFY(!QFile::exists(path));
    }

    void aFileThatGoesAwayEndsTheRecordingWithOneMessageAndTheTicksGoOn() {
#ifdef Q_OS_WIN
        QSKIP("Windows refuses to delete a file that is open, so it cannot go away");
#endif
        ReceivingMonitor m;
        const QString path = workDir.filePath(QStringLiteral("пропадёт.csv"));
        m.startRecording(path);
        m.words[1] = kGoodWord;
        m.main().Timer1Timer();
        QVERIFY(QFile::remove(path));
        m.words[1] = kBadParityWord;
        m.main().Timer1Timer();
        m.words[1] = kGoodWord;
        m.main().Timer1Timer();

        QVERIFY(!m.recording()->isChecked());
        QCOMPARE(m.recording()->text(), QStringLiteral("запись принятых слов…"));
        QVERIFY(m.prompts.questions.isEmpty()); // told once the tick is over
        QCoreApplication::processEvents();
        QCOMPARE(m.prompts.questions.size(), 1);
        QVERIFY2(
            m.prompts.questions[0].endsWith(QStringLiteral("Запись принятых слов остановлена; "
                                                           "в файле сохранено принятых слов: 1.")),
            qPrintable(m.prompts.questions[0]));
        QCOMPARE(m.state().TickCount, 3u);
        QVERIFY(m.main().timer()->isActive());
    }

    void theLimitsWindowSetsWhereTheNextRecordingsSplitAndStop() {
        ReceivingMonitor m;
        ui::RecordingCommand& command = m.main().analysisMenu().recordingCommand();
        for (const char* button : {"Button2", "Button1"}) {
            testing_support::onNextModal([button](QWidget* window) {
                QCOMPARE(window->objectName(), QStringLiteral("TFrmRecordingLimits"));
                auto* splitSize = window->findChild<QSpinBox*>(QStringLiteral("seSplitSize"));
                auto* splitTime = window->findChild<QSpinBox*>(QStringLiteral("seSplitTime"));
                auto* minFree = window->findChild<QSpinBox*>(QStringLiteral("seMinFree"));
                QVERIFY(splitSize != nullptr && splitTime != nullptr && minFree != nullptr);
                QCOMPARE(splitSize->text(), QStringLiteral("нет"));
                QCOMPARE(minFree->value(), 100);
                splitSize->setValue(50);
                splitTime->setValue(30);
                minFree->setValue(0);
                window->findChild<QPushButton*>(QString::fromLatin1(button))->click();
            });
            m.main().analysisMenu().recordingLimits()->trigger();
        }
        QCOMPARE(command.limits().splitBytes, 50ULL << 20);
        QCOMPARE(command.limits().splitTime, std::chrono::seconds(30 * 60));
        QCOMPARE(command.limits().minFreeBytes, 0ULL);
    }

    void closingTheMonitorEndsTheRecording() {
        ReceivingMonitor m;
        const QString path = workDir.filePath(QStringLiteral("закрытие.csv"));
        m.startRecording(path);
        m.words[1] = kGoodWord;
        m.main().Timer1Timer();
        m.main().close();
        QVERIFY(!m.main().analysisMenu().recordingCommand().recording());
        m.words[1] = kBadParityWord;
        m.main().Timer1Timer();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 2); // the column names and one row
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(RecordingTest)
#include "recording_test.moc"
