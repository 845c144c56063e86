#include "monitor_fixture.h"

#include "board/default_driver.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <sstream>

using testing_support::Monitor;
using testing_support::ScriptedDriver;

class DevicechoiceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path());
    }

    void listsEveryOpenedBoardWithSerialAndOrdinal() {
        Monitor m;
        auto& d = m.dialog();
        QCOMPARE(d.windowTitle(), QStringLiteral("Выбор устройства"));
        QCOMPARE(d.DeviceList->count(), 2);
        QCOMPARE(d.DeviceList->itemText(0),
                 QStringLiteral("              1021                         0"));
        QCOMPARE(d.DeviceList->itemText(1),
                 QStringLiteral("              1187                         2"));
        QCOMPARE(d.DeviceList->currentIndex(), 0);
        QVERIFY(d.Button1->isEnabled());
        QCOMPARE(d.Button1->text(), QStringLiteral("Применить"));
        QCOMPARE(d.Button2->text(), QStringLiteral("Отмена"));
    }

    void withoutBoardsOnlyCancelIsPossible() {
        Monitor m([](ScriptedDriver&) {});
        onlyCancelIsPossible(m);
    }

    // The driver back-end on the system's own calls, pointed at a class by the settings file:
    // with no such device installed, every open fails and the dialog says so.
    void theSystemsDriverWithoutDevicesOffersOnlyCancel() {
#ifndef _WIN32
        QSKIP("the system's device calls exist in Windows builds only");
#endif
        board::DriverSettings settings;
        settings.interfaceClassFile =
            workDir.filePath(QString::fromUtf8(board::kInterfaceClassFileName.data()))
                .toStdWString();
        std::ofstream(settings.interfaceClassFile)
            << "interface-class = {6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F7}\n";
        std::ostringstream messages;
        const auto driver = board::makeDriver(settings, messages);
        QCOMPARE(messages.str(), std::string());
        testing_support::MonitorControls m(*driver);
        onlyCancelIsPossible(m);
    }

    void answeringNoKeepsTheDialogOpenAndChangesNothing() {
        Monitor m;
        m.driver.clearRequests();
        m.prompts.confirmAnswers = {false};
        bool stillOpenAfterNo = false;
        testing_support::onNextModal([&](QWidget*) {
            m.dialog().DeviceList->setCurrentIndex(1);
            m.dialog().Button1->click();
            stillOpenAfterNo = m.dialog().isVisible();
            m.dialog().Button2->click();
        });
        m.button("tbDeviceChoice")->click();

        QVERIFY(stillOpenAfterNo);
        QCOMPARE(m.prompts.questions,
                 QStringList{"ВНИМАНИЕ!|При выборе устройства происходит его сброс. Продолжить?"});
        QVERIFY(!m.state().DeviceChosen);
        QCOMPARE(m.state().DeviceHandle, board::kNoDevice);
        QVERIFY(m.driver.requests().empty());
        // Cancelling returns the list to the selection it had when shown.
        QCOMPARE(m.dialog().DeviceList->currentIndex(), 0);
    }

    void anAppliedBoardStaysSelectedForTheNextShowing() {
        Monitor m;
        m.chooseBoard(1);
        QCOMPARE(m.dialog().DeviceList->currentIndex(), 1);
        int shownWith = -1;
        testing_support::onNextModal([&](QWidget*) {
            shownWith = m.dialog().DeviceList->currentIndex();
            m.dialog().DeviceList->setCurrentIndex(0);
            m.dialog().close(); // the close box, like "Отмена"
        });
        m.button("tbDeviceChoice")->click();
        QCOMPARE(shownWith, 1);
        QCOMPARE(m.dialog().DeviceList->currentIndex(), 1);
        QCOMPARE(m.state().DeviceOrdinal, 2u);
    }

    void discoveryStopsAtEightBoards() {
        Monitor m([](ScriptedDriver& d) {
            for (unsigned i = 0; i < 16; ++i)
                d.addBoard(i);
        });
        QCOMPARE(m.dialog().DeviceList->count(), 8);
        QCOMPARE(m.driver.openedIndices().size(), size_t{8});
    }

private:
    static void onlyCancelIsPossible(testing_support::MonitorControls& m) {
        auto& d = m.dialog();
        QCOMPARE(d.DeviceList->count(), 1);
        QCOMPARE(d.DeviceList->itemText(0), QStringLiteral("модули не обнаружены"));
        QVERIFY(!d.Button1->isEnabled());

        testing_support::onNextModal([&d](QWidget*) { d.Button2->click(); });
        m.button("tbDeviceChoice")->click();
        QVERIFY(!m.state().DeviceChosen);
        QVERIFY(!m.button("tbDeviceInitialization")->isEnabled());
        QVERIFY(!testing_support::child<QWidget>(&m.main(), "Panel2")->isVisibleTo(&m.main()));
    }

    QTemporaryDir workDir;
};

QTEST_MAIN(DevicechoiceTest)
#include "devicechoice_test.moc"
