#include "monitor_fixture.h"

#include "ui/help/HelpWindow.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>

using testing_support::child;
using testing_support::Monitor;
using testing_support::ScriptedDriver;

namespace {

QStringList toolbarOrder(QWidget* window) {
    QStringList names;
    auto* toolBar = child<QToolBar>(window, "ToolBar1");
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator())
            names << QStringLiteral("|");
        else if (QWidget* widget = toolBar->widgetForAction(action))
            names << widget->objectName();
    }
    return names;
}

bool menuEnabled(QWidget* window, const char* name) {
    return child<QMenu>(window, name)->menuAction()->isEnabled();
}

} // namespace

class MainformTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path()); // the format state file is read from here
    }

    void startsWithOnlyChoiceSettingsHelpAndExitUsable() {
        Monitor m;
        QCOMPARE(m.main().windowTitle(), QStringLiteral("Монитор модуля ZELVA-1"));
        QVERIFY(!child<QWidget>(&m.main(), "Panel2")->isVisibleTo(&m.main()));
        QCOMPARE(m.statusText("XPStatusBar1", 0), QStringLiteral("Устройство"));
        QCOMPARE(m.statusText("XPStatusBar1", 1), QString());
        QCOMPARE(m.statusText("XPStatusBar2", 0), QString());

        for (const char* on :
             {"tbExit", "tbDeviceChoice", "tbFormatList", "tbParamFormat", "tbTimer", "tbHelp"})
            QVERIFY2(m.button(on)->isEnabled(), on);
        for (const char* off :
             {"tbDeviceInitialization", "tbDeviceReset", "tbSIaddressPusk", "tbSIfilePusk",
              "tbSIstop", "tbSOsinglePusk", "tbSOciclePusk", "tbSOstop", "tbSOdataClear",
              "tbSOdataTest", "tbSOdataOpen", "tbSOdataSave"})
            QVERIFY2(!m.button(off)->isEnabled(), off);
        QVERIFY(!menuEnabled(&m.main(), "mmChannel"));
        QVERIFY(!menuEnabled(&m.main(), "mmSOdata"));
        QVERIFY(menuEnabled(&m.main(), "mmSettings"));
        QVERIFY(!m.action("mmSIstop")->isEnabled());
        QVERIFY(!m.action("mmSOstop")->isEnabled());
        QVERIFY(!m.action("mmDeviceInitialization")->isEnabled());
        // The hidden work panel is made when a board is first chosen, not at start-up.
        QVERIFY(m.main().findChild<QWidget*>(QStringLiteral("Panel5")) == nullptr);
        // Start-up asks each board for its serial number and sends nothing else.
        QCOMPARE(m.driver.requests().size(), size_t{2});
        QCOMPARE(m.driver.requestsWithCode(board::IOCTL_GET_SERIAL_NUMBER).size(), size_t{2});
    }

    void toolbarHasTheCommandsInGroupsWithHints() {
        Monitor m;
        const QStringList expected = {"tbExit",
                                      "|",
                                      "tbDeviceChoice",
                                      "tbDeviceInitialization",
                                      "tbDeviceReset",
                                      "|",
                                      "tbSIaddressPusk",
                                      "tbSIfilePusk",
                                      "tbSIstop",
                                      "|",
                                      "tbSOsinglePusk",
                                      "tbSOciclePusk",
                                      "tbSOstop",
                                      "|",
                                      "tbSOdataClear",
                                      "tbSOdataTest",
                                      "tbSOdataOpen",
                                      "tbSOdataSave",
                                      "|",
                                      "tbFormatList",
                                      "tbParamFormat",
                                      "tbTimer",
                                      "|",
                                      "tbHelp"};
        QCOMPARE(toolbarOrder(&m.main()), expected);
        QCOMPARE(m.button("tbSIaddressPusk")->toolTip(), QStringLiteral("пуск адресного приема"));
        QCOMPARE(m.button("tbParamFormat")->toolTip(),
                 QStringLiteral("задание соответствия формата физическому параметру"));
        QCOMPARE(m.button("tbExit")->toolTip(), QString());
        QCOMPARE(m.action("SIstopChannel")->text(), QStringLiteral("остановить прием"));
        QCOMPARE(m.action("mmSOdataSave")->text(), QStringLiteral("сохранить в файле"));
        QCOMPARE(m.action("HelpContents1")->shortcut(), QKeySequence(Qt::Key_F1));

        const auto menus = m.main().menuBar()->actions();
        QStringList titles;
        for (QAction* menu : menus)
            titles << menu->text();
        QCOMPARE(titles, (QStringList{"Файл", "Устройство", "Канал", "Выходные параметры",
                                      "Настройки", "Анализ", "Имитация", "Справка"}));
    }

    void applyingABoardShowsItsRatesAndSendsOnlyTheConfigurationRequest() {
        Monitor m;
        m.driver.clearRequests();
        m.state().SOArrayDim[3] = 7;
        m.state().FreqCodes.SIfreq[2] = 2;
        m.state().SOrecord[1].SOwords[9] = 0x1234;

        m.chooseBoard(1);

        QCOMPARE(m.driver.requests().size(), size_t{1});
        QCOMPARE(m.driver.requests()[0].code, board::IOCTL_GET_CONFIGURATION);
        QCOMPARE(m.driver.requests()[0].handle, ScriptedDriver::handleFor(2));
        QCOMPARE(m.statusText("XPStatusBar1", 0),
                 QStringLiteral("ZELVA-1: серийный № 1187; порядковый № 2"));
        QVERIFY(child<QWidget>(&m.main(), "Panel2")->isVisibleTo(&m.main()));
        QVERIFY(child<QWidget>(&m.main(), "Panel9")->isVisibleTo(&m.main()));
        QVERIFY(!child<QWidget>(&m.main(), "Panel5")->isVisibleTo(&m.main()));
        QVERIFY(child<QComboBox>(&m.main(), "cbSOArrayDim")->isEnabled());
        QVERIFY(m.button("tbDeviceInitialization")->isEnabled());
        QVERIFY(m.action("mmDeviceInitialization")->isEnabled());
        QVERIFY(!m.button("tbDeviceReset")->isEnabled());
        QCOMPARE(m.state().SOArrayDim[3], 256);
        QCOMPARE(m.state().SOCycleDim[3], 256);
        QCOMPARE(m.state().FreqCodes.SIfreq[2], 0);
        QCOMPARE(m.state().SOrecord[1].SOwords[9], 0u);
    }

    void channelCountsShowAndHideTabsSelectorsAndRowLabels() {
        Monitor m([](ScriptedDriver& d) {
            for (unsigned i : {0u, 1u, 2u, 3u})
                d.addBoard(i);
            d.answerU16(ScriptedDriver::handleFor(0), board::IOCTL_GET_CONFIGURATION, 0x0820);
            d.answerU16(ScriptedDriver::handleFor(1), board::IOCTL_GET_CONFIGURATION, 0x0280);
            d.answerU16(ScriptedDriver::handleFor(2), board::IOCTL_GET_CONFIGURATION, 0x0440);
            d.answerU16(ScriptedDriver::handleFor(3), board::IOCTL_GET_CONFIGURATION, 0x0350);
        });
        QWidget* w = &m.main();
        auto shown = [w](const char* name) { return child<QWidget>(w, name)->isVisibleTo(w); };
        m.chooseBoard(0); // 8 inputs, 2 outputs
        auto* si = child<QTabBar>(w, "SI");
        auto* so = child<QTabBar>(w, "SO");
        QVERIFY(shown("cbFreqSI8") && shown("lbRateRow8"));
        QVERIFY(shown("cbFreqSO2") && !shown("cbFreqSO3") && !shown("cbFreqSO8"));
        QVERIFY(si->isTabVisible(7) && so->isTabVisible(1) && !so->isTabVisible(2));

        m.chooseBoard(1); // 2 inputs, 8 outputs: output selectors without row labels
        QVERIFY(!shown("cbFreqSI3") && !shown("lbRateRow3") && shown("lbRateRow2"));
        QVERIFY(shown("cbFreqSO3") && shown("cbFreqSO8"));
        QVERIFY(!si->isTabVisible(2) && so->isTabVisible(7));

        m.chooseBoard(2); // 4 and 4: channels 3 and 4 come back, 5..8 stay hidden
        QVERIFY(shown("cbFreqSI4") && shown("lbRateRow4") && !shown("cbFreqSI5"));
        QVERIFY(shown("cbFreqSO4") && !shown("cbFreqSO5"));
        QVERIFY(si->isTabVisible(3) && !si->isTabVisible(4));

        m.chooseBoard(3); // 3 and 5: nothing changes
        QVERIFY(shown("cbFreqSI4") && !shown("cbFreqSI5"));
        QVERIFY(shown("cbFreqSO4") && !shown("cbFreqSO5"));
    }

    void onlyTheUsersPickStoresARateCode() {
        Monitor m;
        m.chooseBoard(0);
        auto* selector = child<QComboBox>(&m.main(), "cbFreqSO3");
        selector->setFocus();
        QTest::keyClick(selector, Qt::Key_Down);
        QTest::keyClick(selector, Qt::Key_Down);
        QCOMPARE(m.state().FreqCodes.SOfreq[2], 2);
        auto* input = child<QComboBox>(&m.main(), "cbFreqSI1");
        QTest::keyClick(input, Qt::Key_Down);
        QCOMPARE(m.state().FreqCodes.SIfreq[0], 1);

        // Opening the choice again and cancelling puts the selectors back to their first
        // items without touching the stored codes.
        testing_support::onNextModal([&m](QWidget*) { m.dialog().Button2->click(); });
        m.button("tbDeviceChoice")->click();
        QCOMPARE(selector->currentIndex(), 0);
        QCOMPARE(m.state().FreqCodes.SOfreq[2], 2);
    }

    void initialisationSendsTheRatesAndShowsTheWorkPanel() {
        Monitor m;
        m.chooseBoard(0);
        auto* input1 = child<QComboBox>(&m.main(), "cbFreqSI1");
        QTest::keyClick(input1, Qt::Key_Down);
        QTest::keyClick(input1, Qt::Key_Down);
        m.driver.clearRequests();
        m.state().SIbuffer[4][10] = {0x12345678, 3};
        m.state().SImode[4] = board::SImodeAddress;

        m.initialise();

        QCOMPARE(m.driver.requests().size(), size_t{1});
        const auto& init = m.driver.requests()[0];
        QCOMPARE(init.code, board::IOCTL_INIT_DEVICE);
        QCOMPARE(init.input.size(), size_t{16});
        QCOMPARE(init.input[0], std::byte{2});
        QCOMPARE(init.handle, ScriptedDriver::handleFor(0));
        QCOMPARE(m.state().SIbuffer[4][10].word, 0u);
        QCOMPARE(m.state().SImode[4], board::SImodeAddress);
        QCOMPARE(m.state().SIchannelNo, 1);
        QCOMPARE(m.state().SOchannelNo, 1);
        QCOMPARE(m.state().SIrateText, std::string_view("частота 100КГц+/-1%"));
        QCOMPARE(m.state().SOrateText, std::string_view("частота 12,5КГц+/-1%"));

        QWidget* w = &m.main();
        QVERIFY(!child<QWidget>(w, "Panel9")->isVisibleTo(w));
        QVERIFY(child<QWidget>(w, "Panel5")->isVisibleTo(w));
        QCOMPARE(child<QLabel>(w, "StaticText3")->text(),
                 QStringLiteral("Буфер входного канала № 1"));
        QCOMPARE(child<QLabel>(w, "StaticText4")->text(),
                 QStringLiteral("Массив выходных параметров канала № 1"));
        QCOMPARE(child<QComboBox>(w, "cbSOArrayDim")->currentText(), QStringLiteral("256"));
        QCOMPARE(child<QTableView>(w, "DrawGrid1")->model()->rowCount(), 256);
        QCOMPARE(child<QTableView>(w, "DrawGrid2")->rowHeight(0), 18);
        QCOMPARE(m.statusText("XPStatusBar1", 1),
                 QStringLiteral("Обновление экрана:-период  500 мс;   -счетчик 0"));
        QVERIFY(m.main().timer()->isActive());
        QCOMPARE(m.main().timer()->interval(), 500);

        for (const char* on :
             {"tbDeviceReset", "tbSIaddressPusk", "tbSIfilePusk", "tbSOsinglePusk", "tbSOciclePusk",
              "tbSOdataClear", "tbSOdataTest", "tbSOdataOpen", "tbSOdataSave"})
            QVERIFY2(m.button(on)->isEnabled(), on);
        for (const char* off : {"tbDeviceChoice", "tbDeviceInitialization", "tbSIstop", "tbSOstop"})
            QVERIFY2(!m.button(off)->isEnabled(), off);
        QVERIFY(!m.action("mmDeviceChoice")->isEnabled());
        QVERIFY(m.action("mmDeviceReset")->isEnabled());
        QVERIFY(menuEnabled(w, "mmChannel"));
        QVERIFY(menuEnabled(w, "mmSOdata"));
    }

    void ticksCountInTheStatusBar() {
        Monitor m;
        m.chooseBoard(0);
        m.initialise();
        m.main().Timer1Timer();
        m.main().Timer1Timer();
        QCOMPARE(m.statusText("XPStatusBar1", 1),
                 QStringLiteral("Обновление экрана:-период  500 мс;  -счетчик          2"));
    }

    void resetStopsTheTimerAndEmptiesTheStatusTextsButTheBoardName() {
        Monitor m;
        m.chooseBoard(0);
        m.initialise();
        m.driver.clearRequests();
        m.state().SOmode[0] = board::SOmodeCyclic;

        m.reset();

        QCOMPARE(m.driver.requests().size(), size_t{1});
        QCOMPARE(m.driver.requests()[0].code, board::IOCTL_RESET_DEVICE);
        QVERIFY(!m.main().timer()->isActive());
        QCOMPARE(m.statusText("XPStatusBar1", 0),
                 QStringLiteral("ZELVA-1: серийный № 1021; порядковый № 0"));
        QCOMPARE(m.statusText("XPStatusBar1", 1), QString());
        QCOMPARE(m.statusText("XPStatusBar2", 0), QString());
        QCOMPARE(m.statusText("XPStatusBar2", 1), QString());
        QCOMPARE(m.state().SOmode[0], board::SOmodeCyclic);
        QWidget* w = &m.main();
        QVERIFY(child<QWidget>(w, "Panel9")->isVisibleTo(w));
        QVERIFY(!child<QWidget>(w, "Panel5")->isVisibleTo(w));
        QVERIFY(m.button("tbDeviceChoice")->isEnabled());
        QVERIFY(m.button("tbDeviceInitialization")->isEnabled());
        QVERIFY(!m.button("tbDeviceReset")->isEnabled());
        QVERIFY(!menuEnabled(w, "mmChannel"));
        QVERIFY(!menuEnabled(w, "mmSOdata"));
        for (const char* off :
             {"tbSIaddressPusk", "tbSIfilePusk", "tbSIstop", "tbSOsinglePusk", "tbSOciclePusk",
              "tbSOstop", "tbSOdataClear", "tbSOdataTest", "tbSOdataOpen", "tbSOdataSave"})
            QVERIFY2(!m.button(off)->isEnabled(), off);

        // Running again after a stop: a new rate reaches the board and the status texts.
        QTest::keyClick(child<QComboBox>(w, "cbFreqSI1"), Qt::Key_Down);
        m.driver.clearRequests();
        m.initialise();
        QCOMPARE(m.driver.requests()[0].input[0], std::byte{1});
        QCOMPARE(m.state().SIrateText, std::string_view("частота 48КГц+/-25%"));
    }

    void closingResetsOnlyTheLastAppliedBoard() {
        {
            Monitor m;
            m.driver.clearRequests();
            m.main().close();
            QVERIFY(m.driver.requests().empty());
        }
        {
            Monitor m;
            m.chooseBoard(0);
            m.chooseBoard(1);
            m.driver.clearRequests();
            m.action("FileExit1")->trigger();
            QCOMPARE(m.driver.requests().size(), size_t{1});
            QCOMPARE(m.driver.requests()[0].code, board::IOCTL_RESET_DEVICE);
            QCOMPARE(m.driver.requests()[0].handle, ScriptedDriver::handleFor(2));
        }
        {
            Monitor m;
            m.chooseBoard(0);
            m.initialise();
            m.driver.clearRequests();
            m.main().close();
            QCOMPARE(m.driver.requests().size(), size_t{1});
            QCOMPARE(m.driver.requests()[0].code, board::IOCTL_RESET_DEVICE);
        }
    }

    void aBoardWhoseRequestsFailReadsAsZeros() {
        Monitor m([](ScriptedDriver& d) {
            d.addBoard(0);
            d.failEverything();
        });
        QCOMPARE(m.dialog().DeviceList->itemText(0).trimmed().left(1), QStringLiteral("0"));
        m.chooseBoard(0);
        QCOMPARE(m.state().SIcount, 0);
        QCOMPARE(m.statusText("XPStatusBar1", 0),
                 QStringLiteral("ZELVA-1: серийный № 0; порядковый № 0"));
        // No count was reported, so every channel stays as it was.
        QWidget* w = &m.main();
        QVERIFY(child<QWidget>(w, "cbFreqSI8")->isVisibleTo(w));
        QVERIFY(child<QTabBar>(w, "SO")->isTabVisible(7));
    }

    void settingsAndHelpWorkWithoutABoard() {
        Monitor m;
        QVERIFY(m.action("mmFormatList")->isEnabled());
        QVERIFY(m.action("mmParamFormat")->isEnabled());
        QVERIFY(m.action("mmTimerPeriod")->isEnabled());
        m.button("tbHelp")->click();
        auto* help = m.main().findChild<ui::HelpWindow*>();
        QVERIFY(help != nullptr);
        QVERIFY(help->isVisible());
        auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Устройство → инициализация")));
        help->close();
    }

    void eachSettingsDialogIsMadeOnceWhenFirstOpened() {
        Monitor m;
        auto dialogsNamed = [&m](const char* name) {
            return m.main().findChildren<QDialog*>(QString::fromLatin1(name)).size();
        };
        // Only the device choice exists before anything is opened: it found the boards.
        QCOMPARE(m.main().findChildren<QDialog*>().size(), 1);
        QCOMPARE(dialogsNamed("TFrmDeviceChoice"), 1);

        for (int opening = 0; opening < 2; ++opening) {
            testing_support::onNextModal(
                [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
            m.button("tbTimer")->click();
        }
        QCOMPARE(dialogsNamed("TFrmTimerPeriod"), 1);
        QCOMPARE(dialogsNamed("TFrmFormatList"), 0);
        QCOMPARE(static_cast<QDialog*>(&m.windows->timerPeriod()),
                 m.main().findChild<QDialog*>(QStringLiteral("TFrmTimerPeriod")));
    }

    void theNumberListsHoldEveryCellAndArraySize() {
        Monitor m;
        m.chooseBoard(0);
        m.initialise();
        QWidget* w = &m.main();
        auto* top = child<QComboBox>(w, "ComboBox1");
        auto* size = child<QComboBox>(w, "cbSOArrayDim");
        auto* outputTop = child<QComboBox>(w, "ComboBox2");
        QCOMPARE(top->count(), 256);
        QCOMPARE(top->itemText(0), QStringLiteral("0"));
        QCOMPARE(top->itemText(255), QStringLiteral("255"));
        QCOMPARE(outputTop->count(), 256);
        QCOMPARE(outputTop->itemText(255), QStringLiteral("255"));
        QCOMPARE(size->count(), 256);
        QCOMPARE(size->itemText(0), QStringLiteral("1"));
        QCOMPARE(size->currentText(), QStringLiteral("256")); // a chosen board's full array
        // Wide enough for the longest number.
        QVERIFY(size->sizeHint().width() >= size->fontMetrics().horizontalAdvance("256"));
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(MainformTest)
#include "mainform_test.moc"
