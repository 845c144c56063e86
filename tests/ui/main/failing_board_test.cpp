// The monitor on a simulated board whose requests fail, driven through the real windows from
// device choice to closing. A failed request reads as zeros: serial 0, no channel count,
// stopped channels and nothing received. The monitor must neither crash nor hang, and must
// show exactly that; when only some requests fail it must stay consistent with itself.

#include "monitor_fixture.h"

#include "board/clock.h"
#include "board/control_codes.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "reception/refresh_tick.h"
#include "transmission/output_array.h"
#include "ui/dialogs/Sobinparam.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <map>
#include <memory>
#include <string_view>

using testing_support::cellText;
using testing_support::child;
using testing_support::onNextModal;

namespace {

// Boards 0 (serial 1021, 8 + 8 channels) and 2 (serial 1187, 4 + 4) of the built-in setting;
// index 1 fails to open. Opening is not a request: the fail rules leave it alone.
constexpr std::string_view kEveryRequestFails = "fail 0 *\n"
                                                "fail 2 *\n";
constexpr std::string_view kOneInTenFails = "fail 0 * one-in 10 seed 29\n"
                                            "fail 2 * one-in 10 seed 31\n";

constexpr int kLongRunTicks = 300;

/// Passes requests on to the simulated boards and counts them, and those that failed.
class CountingDriver final : public board::Driver {
public:
    explicit CountingDriver(board::Driver& inner) : inner_(inner) {}

    [[nodiscard]] board::OpenResult open(unsigned interfaceIndex) override {
        return inner_.open(interfaceIndex);
    }
    bool send(board::DeviceHandle handle, std::uint32_t controlCode,
              std::span<const std::byte> input, std::span<std::byte> output) override {
        ++sentByCode[controlCode];
        ++sent;
        const bool completed = inner_.send(handle, controlCode, input, output);
        if (!completed)
            ++failed;
        return completed;
    }

    std::map<std::uint32_t, int> sentByCode;
    int sent = 0;
    int failed = 0;

private:
    board::Driver& inner_;
};

QString inputStatus(int channelNo, const char* what) {
    return QStringLiteral("Входной канал №%1: %2; частота 12..14,5КГц")
        .arg(channelNo)
        .arg(QString::fromUtf8(what));
}

QString outputStatus(int channelNo, const char* what) {
    return QStringLiteral("Выходной канал №%1: %2; частота 12,5КГц+/-1%")
        .arg(channelNo)
        .arg(QString::fromUtf8(what));
}

/// Simulated boards with the given fail rules, on a manual clock, every request counted.
struct FailingBoards {
    explicit FailingBoards(std::string_view failRules)
        : simulated(parsedConfig(failRules), clock), driver(simulated) {}

    static board::simulated::SimulatorConfig parsedConfig(std::string_view text) {
        board::simulated::SimConfigResult parsed = board::simulated::parseSimulatorConfig(text);
        if (!parsed.ok())
            qFatal("fail rules rejected: %s", parsed.error.c_str());
        return parsed.config;
    }

    board::ManualSimClock clock;
    board::simulated::SimulatedDriver simulated;
    CountingDriver driver;
};

/// The whole monitor on failing simulated boards.
struct FailingBoardMonitor : FailingBoards, testing_support::MonitorControls {
    explicit FailingBoardMonitor(std::string_view failRules)
        : FailingBoards(failRules), MonitorControls(driver) {}

    /// The grids exist once a board has been chosen; their models are checked from then on.
    void testGridModels() {
        if (modelsTested)
            return;
        modelsTested = true;
        new QAbstractItemModelTester(inputGrid()->model(), &main());
        new QAbstractItemModelTester(outputGrid()->model(), &main());
    }

    /// One refresh tick, 100 ms of board time after the previous one.
    void tick() {
        inputLineBeforeTick = statusText("XPStatusBar2", 0);
        clock.advanceMs(100);
        main().Timer1Timer();
        if (afterTick && !QTest::currentTestFailed())
            afterTick();
    }

    int requestsSent(std::uint32_t code) { return driver.sentByCode[code]; }

    std::function<void()> afterTick; // the checks of the case, after every tick
    bool modelsTested = false;
    QString inputLineBeforeTick;
};

/// Device choice of list position 0 with "Применить".
void chooseFirstBoard(FailingBoardMonitor& m) {
    m.chooseBoard(0);
    m.testGridModels();
}

/// Every channel started through the toolbar with its tab selected, a long run of ticks
/// while the tabs move over all channels, the bit editor twice, the stop commands, reset,
/// a new initialisation and closing.
void runThroughTheMonitor(FailingBoardMonitor& m) {
    QTabBar* inputTabs = m.tabs("SI");
    QTabBar* outputTabs = m.tabs("SO");

    for (int channel = 0; channel < board::kMaxChannels; ++channel) {
        outputTabs->setCurrentIndex(channel);
        m.tick(); // the array commands follow the new channel from its first tick
        QVERIFY(m.button("tbSOdataTest")->isEnabled());
        m.button("tbSOdataTest")->click(); // words with their upper bits set
        QCOMPARE(m.state().SOrecord[channel].SOwords[0],
                 transmission::testPatternWord(static_cast<std::uint16_t>(channel + 1), 0));
        m.button("tbSOsinglePusk")->click();
        QVERIFY(m.button("tbSOstop")->isEnabled());
        m.tick();
        m.button("tbSOciclePusk")->click();
        QVERIFY(m.button("tbSOstop")->isEnabled());
        QCOMPARE(m.state().SOmode[channel], board::SOmodeCyclic);
        m.tick();
        if (QTest::currentTestFailed())
            return;
    }
    for (int channel = 0; channel < board::kMaxChannels; ++channel) {
        inputTabs->setCurrentIndex(channel);
        // Even channels end in address reception, odd ones in file reception.
        const bool addressLast = channel % 2 == 0;
        m.button(addressLast ? "tbSIfilePusk" : "tbSIaddressPusk")->click();
        QVERIFY(m.button("tbSIstop")->isEnabled());
        QVERIFY(m.action("mmSIstop")->isEnabled());
        m.tick();
        m.button(addressLast ? "tbSIaddressPusk" : "tbSIfilePusk")->click();
        QVERIFY(m.button("tbSIstop")->isEnabled());
        m.tick();
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(m.requestsSent(board::IOCTL_SI_START_ADDRESS), board::kMaxChannels);
    QCOMPARE(m.requestsSent(board::IOCTL_SI_START_FILE), board::kMaxChannels);
    QCOMPARE(m.requestsSent(board::IOCTL_SO_START_CYCLIC), board::kMaxChannels);

    for (int tick = 0; tick < kLongRunTicks; ++tick) {
        if (tick % 30 == 0) {
            inputTabs->setCurrentIndex(tick / 30 % board::kMaxChannels);
            outputTabs->setCurrentIndex((tick / 30 + 3) % board::kMaxChannels);
        }
        const int reads = m.requestsSent(board::IOCTL_SI_READ);
        m.tick();
        // Every channel keeps its mode, so the refresh reads all eight whatever the board says.
        QCOMPARE(m.requestsSent(board::IOCTL_SI_READ) - reads, 8 * board::kInputBufferCells);
        if (QTest::currentTestFailed())
            return;
    }

    // The bit editor on word 4 of output channel 1, which the monitor holds cyclic: ticks go
    // on while it is open, and the word goes to the board after it closes, either way.
    outputTabs->setCurrentIndex(0);
    QTableView* grid = m.outputGrid();
    const QRect word4 = grid->visualRect(grid->model()->index(4, 2));
    const std::uint32_t before = m.state().SOrecord[0].SOwords[4];
    const int updates = m.requestsSent(board::IOCTL_SO_WRITE_WORD);
    onNextModal([&m](QWidget* editor) {
        QCOMPARE(editor->objectName(), QStringLiteral("TFrmSObinParam"));
        QCOMPARE(editor->windowTitle(),
                 QStringLiteral("Задание кода выходного параметра (индекс 4)"));
        m.windows->bitEditor().CheckBox(32)->click(); // bit 1
        m.tick();
        m.tick();
        m.windows->bitEditor().Button1->click();
    });
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, word4.center());
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(m.state().SOrecord[0].SOwords[4], before ^ 1u);
    QCOMPARE(cellText(grid, 4, 1),
             QStringLiteral("%1").arg((before ^ 1u) & 0xFF, 3, 8, QLatin1Char('0')));
    QCOMPARE(m.requestsSent(board::IOCTL_SO_WRITE_WORD), updates + 1);

    onNextModal([&m](QWidget*) {
        m.windows->bitEditor().CheckBox(1)->click(); // bit 32
        m.tick();
        m.windows->bitEditor().Button2->click();
    });
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, word4.center());
    QCOMPARE(m.state().SOrecord[0].SOwords[4], before ^ 1u);
    QCOMPARE(m.requestsSent(board::IOCTL_SO_WRITE_WORD), updates + 2);

    // Stop every channel: the stop buttons are enabled by a start until the next tick.
    for (int channel = 0; channel < board::kMaxChannels; ++channel) {
        outputTabs->setCurrentIndex(channel);
        m.button("tbSOciclePusk")->click();
        m.button("tbSOstop")->click();
        QVERIFY(!m.button("tbSOstop")->isEnabled());
        QCOMPARE(m.state().SOmode[channel], board::SOmodeStopped);
        inputTabs->setCurrentIndex(channel);
        m.button("tbSIaddressPusk")->click();
        m.button("tbSIstop")->click();
        QVERIFY(!m.button("tbSIstop")->isEnabled());
        QCOMPARE(m.state().SImode[channel], board::SImodeStopped);
    }
    QCOMPARE(m.requestsSent(board::IOCTL_SO_STOP), board::kMaxChannels);
    QCOMPARE(m.requestsSent(board::IOCTL_SI_STOP), board::kMaxChannels);
    const int reads = m.requestsSent(board::IOCTL_SI_READ);
    for (int tick = 0; tick < 5; ++tick)
        m.tick();
    QCOMPARE(m.requestsSent(board::IOCTL_SI_READ), reads); // nothing runs any more

    m.button("tbDeviceReset")->click();
    QCOMPARE(m.requestsSent(board::IOCTL_RESET_DEVICE), 1);
    QVERIFY(!m.main().timer()->isActive());
    QVERIFY(m.statusText("XPStatusBar1", 1).isEmpty());
    QVERIFY(m.statusText("XPStatusBar2", 0).isEmpty());
    QVERIFY(m.statusText("XPStatusBar2", 1).isEmpty());
    QVERIFY(m.button("tbDeviceInitialization")->isEnabled());
    QVERIFY(!m.button("tbSIaddressPusk")->isEnabled());

    m.button("tbDeviceInitialization")->click();
    for (int tick = 0; tick < 3; ++tick)
        m.tick();
    QVERIFY(m.main().close());
    QCOMPARE(m.requestsSent(board::IOCTL_RESET_DEVICE), 2); // closing resets the chosen board
}

} // namespace

class FailingBoardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path()); // no format state file: no decimal formats
    }

    void everyRequestFailingReadsAsZerosWherever() {
        FailingBoardMonitor m(kEveryRequestFails);

        // The serial request failed on both boards; opening did not.
        QComboBox* list = m.windows->deviceChoice().DeviceList;
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->itemText(0), QString::asprintf("%18d %25d", 0, 0));
        QCOMPARE(list->itemText(1), QString::asprintf("%18d %25d", 0, 2));
        QVERIFY(m.windows->deviceChoice().Button1->isEnabled());

        chooseFirstBoard(m);
        QVERIFY(m.state().DeviceChosen);
        QCOMPARE(m.statusText("XPStatusBar1", 0),
                 QStringLiteral("ZELVA-1: серийный № 0; порядковый № 0"));
        // No channel count: no tab, selector or row label is hidden.
        QCOMPARE(m.state().SIcount, 0);
        QCOMPARE(m.state().SOcount, 0);
        for (int i = 0; i < board::kMaxChannels; ++i) {
            QVERIFY(m.tabs("SI")->isTabVisible(i));
            QVERIFY(m.tabs("SO")->isTabVisible(i));
            for (const char* name : {"cbFreqSI", "cbFreqSO", "lbRateRow"}) {
                const QByteArray numbered = name + QByteArray::number(i + 1);
                QVERIFY(!child<QWidget>(&m.main(), numbered.constData())->isHidden());
            }
        }

        m.button("tbDeviceInitialization")->click();
        QVERIFY(m.main().timer()->isActive());
        QCOMPARE(m.statusText("XPStatusBar1", 1),
                 QStringLiteral("Обновление экрана:-период  500 мс;   -счетчик 0"));

        m.afterTick = [&m] {
            const int in = m.state().SIchannelNo;
            const int out = m.state().SOchannelNo;
            QCOMPARE(m.statusText("XPStatusBar2", 0), inputStatus(in, "прием остановлен"));
            QCOMPARE(m.statusText("XPStatusBar2", 1), outputStatus(out, "выдача остановлена"));
            QVERIFY(!m.button("tbSIstop")->isEnabled());
            QVERIFY(!m.action("mmSIstop")->isEnabled());
            QVERIFY(!m.button("tbSOstop")->isEnabled());
            QVERIFY(!m.action("mmSOstop")->isEnabled());
            QVERIFY(m.button("tbSOdataTest")->isEnabled());
            QVERIFY(child<QComboBox>(&m.main(), "cbSOArrayDim")->isEnabled());
            int storedCells = 0;
            for (const board::InputBuffer& cells : m.state().SIbuffer)
                for (const board::InputCell& cell : cells)
                    storedCells += cell.word != 0 || cell.tick != 0 ? 1 : 0;
            QCOMPARE(storedCells, 0);
            // The visible channel's grid shows the cleared-cell texts in every row.
            QTableView* grid = m.inputGrid();
            for (int row = 0; row < board::kInputBufferCells; ++row) {
                QCOMPARE(cellText(grid, row, 0), QString::asprintf("%5d", row));
                QCOMPARE(cellText(grid, row, 1), QStringLiteral(" 000"));
                QCOMPARE(cellText(grid, row, 2), QStringLiteral(" 000000"));
                QCOMPARE(cellText(grid, row, 3), QStringLiteral("00000000"));
                QCOMPARE(cellText(grid, row, 4), QStringLiteral(" 00 "));
                QCOMPARE(cellText(grid, row, 5), QStringLiteral(" "));
                QCOMPARE(cellText(grid, row, 6), QStringLiteral("0"));
                QCOMPARE(cellText(grid, row, 7), QStringLiteral("         0"));
            }
        };
        runThroughTheMonitor(m);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(m.driver.sent > 0);
        QCOMPARE(m.driver.failed, m.driver.sent);
    }

    void oneRequestInTenFailingLeavesTheMonitorConsistent() {
        FailingBoardMonitor m(kOneInTenFails);

        // Each board shows its serial, or 0 where the serial request failed.
        const board::SharedState& s = m.state();
        QComboBox* list = m.windows->deviceChoice().DeviceList;
        QCOMPARE(list->count(), 2);
        const std::uint32_t serials[] = {1021, 1187};
        for (int i = 0; i < 2; ++i) {
            const board::BoardEntry& entry = s.BoardTable[static_cast<std::size_t>(i)];
            QVERIFY(entry.serial == serials[i] || entry.serial == 0);
            QCOMPARE(list->itemText(i),
                     QString::asprintf("%18d %25d", int(entry.serial), int(entry.ordinal)));
        }

        chooseFirstBoard(m);
        QCOMPARE(m.statusText("XPStatusBar1", 0),
                 QStringLiteral("ZELVA-1: серийный № %1; порядковый № 0").arg(s.DeviceSerial));
        QVERIFY((s.SIcount == 8 && s.SOcount == 8) || (s.SIcount == 0 && s.SOcount == 0));
        for (int i = 0; i < board::kMaxChannels; ++i)
            QVERIFY(m.tabs("SI")->isTabVisible(i) && m.tabs("SO")->isTabVisible(i));
        m.button("tbDeviceInitialization")->click();

        m.afterTick = [&] {
            const int in = s.SIchannelNo;
            const int out = s.SOchannelNo;
            const QString inputLine = m.statusText("XPStatusBar2", 0);
            const bool receiving = m.button("tbSIstop")->isEnabled();
            QCOMPARE(m.action("mmSIstop")->isEnabled(), receiving);
            if (!receiving)
                QCOMPARE(inputLine, inputStatus(in, "прием остановлен"));
            else if (s.SImode[s.CurSI] == board::SImodeAddress)
                QCOMPARE(inputLine, inputStatus(in, "прием адресный"));
            else if (s.SImode[s.CurSI] == board::SImodeFile)
                QCOMPARE(inputLine, inputStatus(in, "прием файловый"));
            else // the board still receives on a channel whose stop request failed
                QCOMPARE(inputLine, m.inputLineBeforeTick);

            const bool transmitting = m.button("tbSOstop")->isEnabled();
            QCOMPARE(m.action("mmSOstop")->isEnabled(), transmitting);
            QCOMPARE(m.button("tbSOdataTest")->isEnabled(), !transmitting);
            QCOMPARE(child<QMenu>(&m.main(), "mmSOdata")->menuAction()->isEnabled(), !transmitting);
            QCOMPARE(child<QComboBox>(&m.main(), "cbSOArrayDim")->isEnabled(), !transmitting);
            QCOMPARE(m.statusText("XPStatusBar2", 1),
                     outputStatus(out, !transmitting ? "выдача остановлена"
                                       : s.SOmode[s.CurSO] == board::SOmodeSingle
                                           ? "выдача однократная"
                                           : "выдача циклическая"));

            // Whatever a cell holds is a received word with the tick that stored it.
            for (const board::InputBuffer& cells : s.SIbuffer)
                for (const board::InputCell& cell : cells)
                    if (cell.word != 0 || cell.tick != 0)
                        QVERIFY(reception::isReceivedWord(cell.word) && cell.tick >= 1 &&
                                cell.tick <= s.TickCount);
            QTableView* grid = m.inputGrid();
            for (int row = 0; row < board::kInputBufferCells; row += 17) {
                const board::InputCell& cell = s.SIbuffer[s.CurSI][static_cast<std::size_t>(row)];
                QCOMPARE(cellText(grid, row, 1), QString::asprintf(" %03o", cell.word & 0xFFu));
                QCOMPARE(cellText(grid, row, 7), QString::asprintf("%10u", cell.tick));
            }
        };

        int stored = 0;
        const std::function<void()> checks = m.afterTick;
        m.afterTick = [&] {
            checks();
            for (const board::InputBuffer& cells : s.SIbuffer)
                for (const board::InputCell& cell : cells)
                    stored += cell.word != 0 ? 1 : 0;
        };
        runThroughTheMonitor(m);
        if (QTest::currentTestFailed())
            return;
        // The board worked most of the time: words arrived, and some requests failed.
        QVERIFY(stored > 0);
        QVERIFY(m.driver.failed > 0);
        QVERIFY(m.driver.failed < m.driver.sent / 5);
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(FailingBoardTest)
#include "failing_board_test.moc"
