// The whole monitor on the driver back-end, chosen as a user's settings choose it (the
// settings file naming the interface class, ZELVA1_BACKEND=driver), through the system's
// real device path under Wine to the boards of boards.conf.

#include "board/board_list.h"
#include "board/board_session.h"
#include "board/default_driver.h"
#include "monitor_fixture.h"
#include "tests/wine_driver/test_interface_class.h"
#include "transmission/output_array.h"
#include "wine_tools.h"

#include <QCheckBox>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

using testing_support::cellText;

// Long enough for a pass of 256 words at 100 kbit/s (92 ms) with room to spare.
constexpr int kPassMs = 250;

struct DriverBackend {
    explicit DriverBackend(const QString& folder) {
        board::DriverSettings settings;
        settings.backend = "driver";
        settings.interfaceClassFile =
            QDir(folder)
                .filePath(QString::fromUtf8(board::kInterfaceClassFileName.data()))
                .toStdWString();
        std::ofstream(settings.interfaceClassFile)
            << "interface-class = " << wine_driver::kTestInterfaceClassText << "\n";
        tracePath = QDir(folder).filePath(QStringLiteral("trace.log")).toStdString();
        settings.tracePath = tracePath;
        driver = board::makeDriver(settings, messages);
    }

    std::ostringstream messages;
    std::string tracePath;
    std::unique_ptr<board::Driver> driver;
};

struct DriverMonitor : DriverBackend, testing_support::MonitorControls {
    explicit DriverMonitor(const QString& folder)
        : DriverBackend(folder), MonitorControls(*driver) {}

    /// Lets board time pass, then one refresh tick.
    void tickAfter(int ms) {
        QTest::qWait(ms);
        main().Timer1Timer();
    }
};

std::string textOf(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

class MonitorOnDriverTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theDeviceDialogListsTheInstalledBoardsAndAppliesEach() {
        DriverMonitor m(folder.path());
        QCOMPARE(m.messages.str(), std::string());
        QCOMPARE(m.dialog().DeviceList->count(), 2);
        QCOMPARE(m.dialog().DeviceList->itemText(0),
                 QString::fromStdString(board::boardListItemText(1021, 0)));
        QCOMPARE(m.dialog().DeviceList->itemText(1),
                 QString::fromStdString(board::boardListItemText(1187, 1)));
        for (const auto& [position, channels] : {std::pair{0, 8}, std::pair{1, 4}}) {
            m.chooseBoard(position);
            QVERIFY(m.state().DeviceChosen);
            QCOMPARE(m.state().SIcount, channels);
            QCOMPARE(m.state().SOcount, channels);
        }
    }

    void theTestPatternLoopsBackTrafficArrivesAndAnEditedWordGoesOut() {
        DriverMonitor m(folder.path());
        QCOMPARE(m.dialog().DeviceList->count(), 2);
        m.chooseBoard(0);
        // Output 1 and input 1 at 100 kbit/s; inputs 5..8 hear the traffic at 12.5.
        board::storeRateCode(m.state(), board::ChannelSide::Input, 0, 2);
        board::storeRateCode(m.state(), board::ChannelSide::Output, 0, 2);
        m.initialise();
        m.button("tbSOdataTest")->click();
        m.button("tbSOciclePusk")->click();
        m.button("tbSIaddressPusk")->click();
        m.tickAfter(kPassMs);
        for (unsigned cell = 0; cell < board::kInputBufferCells; ++cell)
            QCOMPARE(m.state().SIbuffer[0][cell].word, transmission::testPatternWord(1, cell));
        QCOMPARE(cellText(m.inputGrid(), 255, 2), QStringLiteral(" fe0001"));

        // Bit 32 of word 4 in the bit editor, while the array goes out.
        QTableView* grid = m.outputGrid();
        testing_support::onNextModal([&m](QWidget*) {
            m.windows->bitEditor().CheckBox(1)->click();
            m.windows->bitEditor().Button1->click();
        });
        QTest::mousePress(grid->viewport(), Qt::RightButton, {},
                          grid->visualRect(grid->model()->index(4, 2)).center());
        m.tickAfter(kPassMs);
        QCOMPARE(m.state().SIbuffer[0][4].word, transmission::testPatternWord(1, 4) ^ 1u << 31);

        m.tabs("SI")->setCurrentIndex(4);
        m.button("tbSIfilePusk")->click();
        m.tickAfter(700); // 12.5 kbit/s: about 200 words
        QSet<unsigned> labels;
        for (const board::InputCell& cell : m.state().SIbuffer[4])
            if (cell.word != 0)
                labels.insert(cell.word & 0xFFu);
        QCOMPARE(labels, (QSet<unsigned>{0203, 0206, 0210, 0212, 0310, 0311, 0320, 0324, 0325}));
        QVERIFY(m.main().close());
    }

    // Last: it takes board 1 away and puts it back.
    void aBoardThatGoesAwayDuringReceptionFailsWithoutHarm() {
        std::string trace;
        {
            DriverMonitor m(folder.path());
            QCOMPARE(m.dialog().DeviceList->count(), 2); // else choosing board 1 would hang
            m.chooseBoard(1);
            m.initialise();
            m.button("tbSOdataTest")->click();
            m.button("tbSOciclePusk")->click();
            m.button("tbSIaddressPusk")->click();
            m.tickAfter(1000); // a pass at 12.5 kbit/s
            QCOMPARE(m.state().SIbuffer[0][7].word, transmission::testPatternWord(1, 7));

            QCOMPARE(wine_driver::runTool(ZELVA1_TEST_REMOVE, {"1"}), 0);
            m.state().SIbuffer[0][7].word = 0;
            m.tickAfter(100);
            QCOMPARE(m.state().SIbuffer[0][7].word, 0u); // failed reads read as nothing
            QCOMPARE(m.state().SImode[0], board::SImodeAddress);
            // Its state reads as zeros, "not receiving": the stop button goes off.
            QVERIFY(!m.button("tbSIstop")->isEnabled());
            m.reset(); // «останов»
            QVERIFY(!m.main().timer()->isActive());
            m.chooseBoard(0);
            QCOMPARE(m.state().DeviceOrdinal, 0u);
            QCOMPARE(m.state().SIcount, 8);
            QVERIFY(m.main().close());
            trace = m.tracePath;
        }
        const std::string text = textOf(trace);
        QVERIFY(text.find("1 IOCTL_SI_READ in 010001000700 out 000000000000 failed") !=
                std::string::npos);
        QVERIFY(text.find("1 IOCTL_RESET_DEVICE in - out - failed") != std::string::npos);

        QCOMPARE(wine_driver::runTool(ZELVA1_TEST_INSTALL,
                                      {ZELVA1_TEST_DRIVER_INF, ZELVA1_TEST_BOARDS_CONFIG, "1"}),
                 0);
        DriverMonitor again(folder.path());
        QCOMPARE(again.dialog().DeviceList->count(), 2);
        again.chooseBoard(1);
        QCOMPARE(again.state().DeviceSerial, 1187u);
    }

private:
    QTemporaryDir folder;
};

QTEST_MAIN(MonitorOnDriverTest)
#include "monitor_on_driver_test.moc"
