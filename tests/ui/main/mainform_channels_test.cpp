#include "monitor_fixture.h"

#include "board/records.h"
#include "ui/dialogs/Sobinparam.h"
#include "ui/dialogs/Timerperiod.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using testing_support::cellText;
using testing_support::child;
using testing_support::Monitor;
using testing_support::RecordedRequest;
using testing_support::ScriptedDriver;

namespace {

/// A running monitor on board 0 (8 inputs, 8 outputs).
struct RunningMonitor : Monitor {
    RunningMonitor() {
        chooseBoard(0);
        initialise();
        driver.clearRequests();
    }
    /// Board 0 reports the current channel of `stateCode` active.
    void answerActive(std::uint32_t stateCode) {
        driver.answerU16(ScriptedDriver::handleFor(0), stateCode, 1);
    }
};

} // namespace

class MainformChannelsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path());
    }

    void addressReceptionShowsReceivedWordsFromTheNextTick() {
        RunningMonitor m;
        new QAbstractItemModelTester(m.inputGrid()->model(), &m.main());
        m.state().SIbuffer[0][7] = {0xDEADBEEF, 1};

        m.button("tbSIaddressPusk")->click();

        QVERIFY(m.button("tbSIstop")->isEnabled());
        QVERIFY(m.action("mmSIstop")->isEnabled());
        QCOMPARE(m.state().SIbuffer[0][7].word, 0u);
        const auto starts = m.driver.requestsWithCode(board::IOCTL_SI_START_ADDRESS);
        QCOMPARE(starts.size(), size_t{1});
        const auto record = starts[0].inputAs<board::SIStartRecord>();
        QCOMPARE(record.channelNo, 1);
        QCOMPARE(record.allOnesB, 0xFFFF);

        m.answerActive(board::IOCTL_SI_GET_STATE);
        m.driver.answer(board::IOCTL_SI_READ, [](const RecordedRequest& r, auto output) {
            const auto read = r.inputAs<board::SIReadRequest>();
            board::SIReadReply reply{};
            if (read.index == 0203) // label 203 (octal) lives in its own cell
                reply.word = 0x60012383;
            std::memcpy(output.data(), &reply, sizeof reply);
            return true;
        });
        m.main().Timer1Timer();

        QCOMPARE(m.driver.requestsWithCode(board::IOCTL_SI_READ).size(), size_t{256});
        QCOMPARE(m.statusText("XPStatusBar2", 0),
                 QStringLiteral("Входной канал №1: прием адресный; частота 12..14,5КГц"));
        QCOMPARE(cellText(m.inputGrid(), 0203, 1), QStringLiteral(" 203"));
        QCOMPARE(cellText(m.inputGrid(), 0203, 2), QStringLiteral(" 600123"));
        QCOMPARE(cellText(m.inputGrid(), 0203, 4), QStringLiteral(" 11 "));
        QCOMPARE(cellText(m.inputGrid(), 0203, 5), QStringLiteral(" "));
        QCOMPARE(cellText(m.inputGrid(), 0203, 7), QStringLiteral("         1"));
        QCOMPARE(cellText(m.inputGrid(), 0, 0), QStringLiteral("    0"));

        m.button("tbSIstop")->click();
        QCOMPARE(m.driver.requestsWithCode(board::IOCTL_SI_STOP).size(), size_t{1});
        QVERIFY(!m.button("tbSIstop")->isEnabled());
        QCOMPARE(m.state().SImode[0], board::SImodeStopped);
        QCOMPARE(cellText(m.inputGrid(), 0203, 1), QStringLiteral(" 203")); // words stay
    }

    void aTickReadsEveryRunningChannelInOrderAndStoresOnlyReceivedWords() {
        RunningMonitor m;
        m.main().Timer1Timer();
        // Nothing running: the two state queries, output first, and no read.
        QCOMPARE(m.driver.requests().size(), size_t{2});
        QCOMPARE(m.driver.requests()[0].code, board::IOCTL_SO_GET_STATE);
        QCOMPARE(m.driver.requests()[1].code, board::IOCTL_SI_GET_STATE);

        auto* tabs = child<QTabBar>(&m.main(), "SI");
        for (int index : {4, 1}) {
            tabs->setCurrentIndex(index);
            m.button("tbSIaddressPusk")->click();
        }
        m.state().SIbuffer[1][9] = {0x00020000, 1};
        m.driver.answer(board::IOCTL_SI_READ, [](const RecordedRequest& r, auto output) {
            const auto read = r.inputAs<board::SIReadRequest>();
            board::SIReadReply reply{};
            reply.word = read.index == 9 ? 0x0000FFFF : 0x00010000u + read.index;
            std::memcpy(output.data(), &reply, sizeof reply);
            return true;
        });
        m.driver.clearRequests();
        m.main().Timer1Timer();

        const auto reads = m.driver.requestsWithCode(board::IOCTL_SI_READ);
        QCOMPARE(reads.size(), size_t{512});
        for (size_t i = 0; i < reads.size(); ++i) {
            const auto read = reads[i].inputAs<board::SIReadRequest>();
            QCOMPARE(read.channelNo, i < 256 ? 2 : 5);
            QCOMPARE(read.index, static_cast<std::uint16_t>(i % 256));
            QCOMPARE(read.one, 1);
        }
        QCOMPARE(m.state().SIbuffer[1][8].word, 0x00010008u);
        QCOMPARE(m.state().SIbuffer[1][8].tick, 2u);
        // 0x0000FFFF means nothing was received: the cell keeps its word and tick.
        QCOMPARE(m.state().SIbuffer[1][9].word, 0x00020000u);
        QCOMPARE(m.state().SIbuffer[1][9].tick, 1u);
        QCOMPARE(m.state().SIbuffer[4][9].word, 0u);
        QCOMPARE(cellText(m.inputGrid(), 8, 7), QStringLiteral("         2"));

        // After a stop and a new initialisation the count starts again and the cells are empty.
        m.reset();
        m.initialise();
        m.main().Timer1Timer();
        QCOMPARE(m.state().TickCount, 1u);
        QCOMPARE(m.state().SIbuffer[1][8].tick, 1u); // channel 2 kept its mode, so it is read
        QCOMPARE(m.statusText("XPStatusBar1", 1),
                 QStringLiteral("Обновление экрана:-период  500 мс;  -счетчик          1"));
    }

    void theDecimalColumnFollowsFormatsOnlyAfterTheParameterFormatsWindow() {
        RunningMonitor m;
        formats::DecimalFormat& format = m.main().formatTable().slots[0];
        std::memcpy(format.label.data(), "ALT", 4);
        format.bit29Mode = 0;
        format.msbBit = 28;
        format.lsbBit = 18;
        format.msbWeight = 90.0f;
        std::memcpy(format.units.data(), "\xE3\xF0", 3); // "гр" in cp1251
        m.main().formatTable().formatCount = 1;
        formats::ParamFormatAssignment& assignment = m.main().assignmentTable().slots[0];
        assignment.address = 0203;
        assignment.channel = 1;
        std::memcpy(assignment.formatLabel.data(), "ALT", 4);
        m.main().assignmentTable().assignmentCount = 1;
        m.state().SIbuffer[0][5] = {0x08000000u | 0203u, 1}; // bit 28 alone: +90

        QCOMPARE(cellText(m.inputGrid(), 5, 5), QStringLiteral(" ")); // lookup not rebuilt yet
        testing_support::onNextModal([](QWidget* dialog) { dialog->close(); });
        m.button("tbParamFormat")->click();
        QCOMPARE(cellText(m.inputGrid(), 5, 5), QStringLiteral(" +90.000000   гр    "));

        format.msbWeight = 45.0f;
        testing_support::onNextModal([](QWidget* dialog) { dialog->close(); });
        m.button("tbFormatList")->click();
        QCOMPARE(cellText(m.inputGrid(), 5, 5), QStringLiteral(" +90.000000   гр    "));

        child<QTabBar>(&m.main(), "SI")->setCurrentIndex(1);
        child<QTabBar>(&m.main(), "SI")->setCurrentIndex(0);
        QCOMPARE(cellText(m.inputGrid(), 5, 5), QStringLiteral(" +45.000000   гр    "));
    }

    void aStoppedChannelReportsStoppedAndDisablesTheStopControls() {
        RunningMonitor m;
        m.button("tbSIfilePusk")->click();
        m.main().Timer1Timer(); // the scripted board answers stopped
        QCOMPARE(m.statusText("XPStatusBar2", 0),
                 QStringLiteral("Входной канал №1: прием остановлен; частота 12..14,5КГц"));
        QVERIFY(!m.button("tbSIstop")->isEnabled());
        QVERIFY(!m.action("mmSIstop")->isEnabled());
        QCOMPARE(m.statusText("XPStatusBar2", 1),
                 QStringLiteral("Выходной канал №1: выдача остановлена; частота 12,5КГц+/-1%"));
    }

    void switchingTheInputTabFollowsTheChannel() {
        RunningMonitor m;
        auto* tabs = child<QTabBar>(&m.main(), "SI");
        m.state().SIbuffer[2][5] = {0x00ABCD01, 9};
        tabs->setCurrentIndex(2);
        QCOMPARE(m.state().CurSI, 2);
        QCOMPARE(m.state().SIchannelNo, 3);
        QCOMPARE(child<QLabel>(&m.main(), "StaticText3")->text(),
                 QStringLiteral("Буфер входного канала № 3"));
        QCOMPARE(cellText(m.inputGrid(), 5, 2), QStringLiteral(" 00abcd"));
        QVERIFY(m.driver.requests().empty()); // a tab switch sends nothing
    }

    void outputArrayEditingAndTheTestPattern() {
        RunningMonitor m;
        new QAbstractItemModelTester(m.outputGrid()->model(), &m.main());
        m.button("tbSOdataTest")->click();
        QCOMPARE(cellText(m.outputGrid(), 0, 1), QStringLiteral("000"));
        QCOMPARE(cellText(m.outputGrid(), 0, 2), QStringLiteral("feff01"));
        QCOMPARE(cellText(m.outputGrid(), 255, 2), QStringLiteral("fe0001"));

        // Typing into the address cell of word 3: the word follows the text as typed.
        QTableView* grid = m.outputGrid();
        grid->setCurrentIndex(grid->model()->index(3, 1));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_1); // opens the editor with the typed character
        auto* editor = grid->findChild<QLineEdit*>();
        QVERIFY(editor != nullptr);
        QCOMPARE(m.state().SOrecord[0].SOwords[3] & 0xFF, 01u);
        QTest::keyClick(editor, Qt::Key_2);
        QCOMPARE(m.state().SOrecord[0].SOwords[3] & 0xFF, 012u);
        QTest::keyClick(editor, Qt::Key_8); // not an octal digit
        QCOMPARE(m.prompts.beeps, 1);
        QCOMPARE(m.state().SOrecord[0].SOwords[3] & 0xFF, 012u);
        QCOMPARE(m.state().SOrecord[0].SOwords[3] >> 8, 0xFEFC01u);

        auto* size = child<QComboBox>(&m.main(), "cbSOArrayDim");
        size->setFocus();
        QTest::keyClick(size, Qt::Key_Home);
        QCOMPARE(m.state().SOArrayDim[0], 1);
        QCOMPARE(m.state().SOCycleDim[0], 1);
        QCOMPARE(grid->model()->rowCount(), 1);

        m.button("tbSOdataClear")->click();
        QCOMPARE(m.state().SOrecord[0].SOwords[255], 0u);
    }

    void theMonitorEndsSafelyWithACellEditorOpen() {
        auto m = std::make_unique<RunningMonitor>();
        m->main().show();
        QTableView* grid = m->outputGrid();
        grid->setCurrentIndex(grid->model()->index(0, 2));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_A);
        QVERIFY(grid->findChild<QLineEdit*>() != nullptr);
        m.reset(); // the sanitizers catch an editor calling back into a destroyed window
    }

    void cyclicTransmissionLocksTheArrayWhileTheBoardTransmits() {
        RunningMonitor m;
        m.state().SOArrayDim[0] = m.state().SOCycleDim[0] = 10;
        m.button("tbSOciclePusk")->click();

        const auto cyclic = m.driver.requestsWithCode(board::IOCTL_SO_START_CYCLIC);
        QCOMPARE(cyclic.size(), size_t{1});
        QCOMPARE(cyclic[0].input.size(), size_t{1032});
        const auto record = cyclic[0].inputAs<board::SOrecord>();
        QCOMPARE(record.param1, 10);
        QCOMPARE(record.param2, 10);
        QCOMPARE(record.param3, 0);
        QVERIFY(m.button("tbSOstop")->isEnabled());
        QVERIFY(!m.button("tbSOdataClear")->isEnabled());
        QVERIFY(!child<QMenu>(&m.main(), "mmSOdata")->menuAction()->isEnabled());
        QCOMPARE(m.outputGrid()->editTriggers(), QAbstractItemView::NoEditTriggers);

        m.answerActive(board::IOCTL_SO_GET_STATE);
        m.main().Timer1Timer();
        QCOMPARE(m.statusText("XPStatusBar2", 1),
                 QStringLiteral("Выходной канал №1: выдача циклическая; частота 12,5КГц+/-1%"));
        QVERIFY(!child<QComboBox>(&m.main(), "cbSOArrayDim")->isEnabled());

        // A right-button press on a word opens the bit editor; when it closes, even with
        // "Отмена", the running cycle gets the word.
        m.state().SOrecord[0].SOwords[4] = 0x11223344;
        QTableView* grid = m.outputGrid();
        const QRect cell = grid->visualRect(grid->model()->index(4, 2));
        QString caption;
        testing_support::onNextModal([&](QWidget* editor) {
            caption = editor->windowTitle();
            m.windows->bitEditor().CheckBox(1)->click();
            m.windows->bitEditor().Button2->click();
        });
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, cell.center());
        QCOMPARE(caption, QStringLiteral("Задание кода выходного параметра (индекс 4)"));
        auto updates = m.driver.requestsWithCode(board::IOCTL_SO_WRITE_WORD);
        QCOMPARE(updates.size(), size_t{1});
        auto update = updates[0].inputAs<board::SOWordUpdate>();
        QCOMPARE(update.channelNo, 1);
        QCOMPARE(update.index, 4);
        QCOMPARE(std::uint32_t{update.word}, 0x11223344u);

        // Applied bits reach the array, the grid and the board.
        m.state().SOrecord[0].SOwords[4] = 0xFEFF0100;
        testing_support::onNextModal([&](QWidget*) {
            auto& editor = m.windows->bitEditor();
            QVERIFY(editor.CheckBox(1)->isChecked() && !editor.CheckBox(8)->isChecked());
            QVERIFY(editor.CheckBox(24)->isChecked() && !editor.CheckBox(25)->isChecked());
            editor.CheckBox(25)->click();
            editor.CheckBox(32)->click();
            editor.Button1->click();
        });
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, cell.center());
        QCOMPARE(cellText(grid, 4, 1), QStringLiteral("201"));
        updates = m.driver.requestsWithCode(board::IOCTL_SO_WRITE_WORD);
        QCOMPARE(updates.size(), size_t{2});
        QCOMPARE(std::uint32_t{updates[1].inputAs<board::SOWordUpdate>().word}, 0xFEFF0181u);

        // Nothing opens for a left press.
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(m.driver.requestsWithCode(board::IOCTL_SO_WRITE_WORD).size(), size_t{2});

        m.button("tbSOstop")->click();
        QCOMPARE(m.driver.requestsWithCode(board::IOCTL_SO_STOP).size(), size_t{1});
        QVERIFY(m.outputGrid()->editTriggers() != QAbstractItemView::NoEditTriggers);
        QCOMPARE(m.state().SOmode[0], board::SOmodeStopped);
    }

    void singleTransmissionLoadsTheWholeRecordThenStarts() {
        RunningMonitor m;
        m.state().SOArrayDim[0] = m.state().SOCycleDim[0] = 1;
        m.button("tbSOsinglePusk")->click();
        QCOMPARE(m.driver.requests().size(), size_t{2});
        QCOMPARE(m.driver.requests()[0].code, board::IOCTL_SO_LOAD_ARRAY);
        QCOMPARE(m.driver.requests()[0].input.size(), size_t{1032});
        QCOMPARE(m.driver.requests()[0].inputAs<board::SOrecord>().param3, 1);
        QCOMPARE(m.driver.requests()[1].code, board::IOCTL_SO_START_SINGLE);
        QCOMPARE(m.driver.requests()[1].input.size(), size_t{4});
    }

    void theRefreshPeriodDialogSetsTheTimer() {
        RunningMonitor m;
        testing_support::onNextModal([&](QWidget*) {
            auto& dialog = m.windows->timerPeriod();
            QCOMPARE(dialog.Edit1->text(), QStringLiteral("500"));
            dialog.Edit1->setText(QStringLiteral("50"));
            dialog.Button1->click();
        });
        m.button("tbTimer")->click();
        QCOMPARE(m.state().RefreshPeriod, 100);
        QCOMPARE(m.main().timer()->interval(), 100);
        QVERIFY(m.main().timer()->isActive());
        m.main().Timer1Timer();
        QVERIFY(m.statusText("XPStatusBar1", 1)
                    .startsWith(QStringLiteral("Обновление экрана:-период  100 мс;")));

        testing_support::onNextModal([&](QWidget*) {
            m.windows->timerPeriod().Edit1->setText(QStringLiteral("7000"));
            m.windows->timerPeriod().Button2->click();
        });
        m.button("tbTimer")->click();
        QCOMPARE(m.main().timer()->interval(), 100);
    }

    void outputFilesRoundTripBetweenChannels() {
        RunningMonitor m;
        m.button("tbSOdataTest")->click();
        m.state().SOArrayDim[0] = m.state().SOCycleDim[0] = 3;
        const QString path = workDir.filePath(QStringLiteral("three.so"));
        m.prompts.fileAnswers = {path};
        m.button("tbSOdataSave")->click();
        QCOMPARE(QFile(path).size(), qint64{14});
        QVERIFY(m.prompts.fileDialogs.last().endsWith(QStringLiteral("|.|so")));

        child<QTabBar>(&m.main(), "SO")->setCurrentIndex(4);
        m.state().SOrecord[4].SOwords[3] = 0x77;
        m.prompts.fileAnswers = {path};
        m.button("tbSOdataOpen")->click();
        QCOMPARE(m.state().SOArrayDim[4], 3);
        QCOMPARE(m.state().SOCycleDim[4], 3);
        QCOMPARE(m.state().SOrecord[4].SOwords[0], 0xFEFF0100u);
        QCOMPARE(m.state().SOrecord[4].SOwords[3], 0x77u);
        QCOMPARE(child<QComboBox>(&m.main(), "cbSOArrayDim")->currentText(), QStringLiteral("3"));
        QCOMPARE(m.outputGrid()->model()->rowCount(), 3);

        QFile empty(workDir.filePath(QStringLiteral("empty.so")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        m.prompts.fileAnswers = {empty.fileName()};
        m.button("tbSOdataOpen")->click();
        QCOMPARE(m.state().SOArrayDim[4], 3); // refused, and the user is told
        QCOMPARE(m.prompts.questions.last(),
                 QStringLiteral("Монитор модуля ZELVA-1|Файл не содержит числа слов массива; "
                                "массив выходных параметров не изменён."));

        const qsizetype told = m.prompts.questions.size();
        m.prompts.fileAnswers = {workDir.path()};
        m.button("tbSOdataOpen")->click();
        QCOMPARE(m.state().SOArrayDim[4], 3); // a folder is passed over without a word
        QCOMPARE(m.prompts.questions.size(), told);
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(MainformChannelsTest)
#include "mainform_channels_test.moc"
