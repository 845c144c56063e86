#include "monitor_fixture.h"

#include "ui/dialogs/Timerperiod.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using testing_support::showAnd;

class TimerperiodTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void applyTurnsTheTypedTextIntoAPeriod_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("applied");
        QTest::newRow("below the minimum") << "50" << 100;
        QTest::newRow("five characters") << "20000" << 10000;
        QTest::newRow("in range") << "250" << 250;
        QTest::newRow("the maximum") << "10000" << 10000;
        QTest::newRow("five characters, not read") << "12345" << 10000;
        QTest::newRow("five characters, negative") << "-5000" << 10000;
        QTest::newRow("negative") << "-500" << 100;
        QTest::newRow("digit then letter") << "3x" << 100;
        QTest::newRow("digits then letter") << "750s" << 750;
        QTest::newRow("leading blanks") << "  99" << 100;
        QTest::newRow("empty keeps the period") << "" << 700;
        QTest::newRow("letters keep the period") << "abc" << 700;
        QTest::newRow("five Cyrillic letters") << "пятьс" << 10000;
    }
    void applyTurnsTheTypedTextIntoAPeriod() {
        QFETCH(QString, typed);
        QFETCH(int, applied);
        board::SharedState state;
        state.RefreshPeriod = 700;
        ui::TFrmTimerPeriod dialog(state);

        QString shown;
        const int result = showAnd(dialog, [&] {
            shown = dialog.Edit1->text();
            dialog.Edit1->setText(typed);
            dialog.Button1->click();
        });
        QCOMPARE(shown, QStringLiteral("700"));
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(state.RefreshPeriod, applied);
    }

    void closingWithoutApplyKeepsThePeriod_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Отмена") << false;
        QTest::newRow("close box") << true;
    }
    void closingWithoutApplyKeepsThePeriod() {
        QFETCH(bool, closeBox);
        board::SharedState state;
        ui::TFrmTimerPeriod dialog(state);
        const int result = showAnd(dialog, [&] {
            dialog.Edit1->setText(QStringLiteral("2000"));
            if (closeBox)
                dialog.close();
            else
                dialog.Button2->click();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(state.RefreshPeriod, 500);

        // The cancelled text is forgotten: the next showing starts from the period.
        QString shown;
        showAnd(dialog, [&] {
            shown = dialog.Edit1->text();
            dialog.Button2->click();
        });
        QCOMPARE(shown, QStringLiteral("500"));
    }

    void enterAndEscapeTriggerNeitherButton() {
        board::SharedState state;
        ui::TFrmTimerPeriod dialog(state);
        QVERIFY(!dialog.Button1->isDefault() && !dialog.Button1->autoDefault());
        QVERIFY(!dialog.Button2->isDefault() && !dialog.Button2->autoDefault());

        bool openAfterEnter = false;
        bool openAfterEscape = false;
        int periodWhileOpen = 0;
        showAnd(dialog, [&] {
            QCOMPARE(dialog.focusWidget(), dialog.Edit1);
            QTest::keyClicks(dialog.Edit1, QStringLiteral("250"));
            QTest::keyClick(dialog.Edit1, Qt::Key_Return);
            QTest::keyClick(dialog.Edit1, Qt::Key_Enter);
            openAfterEnter = dialog.isVisible();
            QTest::keyClick(dialog.Edit1, Qt::Key_Escape);
            openAfterEscape = dialog.isVisible();
            periodWhileOpen = state.RefreshPeriod;
            dialog.Button1->click();
        });
        QVERIFY(openAfterEnter);
        QVERIFY(openAfterEscape);
        QCOMPARE(periodWhileOpen, 500);
        // Typing replaced the selected period shown on opening.
        QCOMPARE(state.RefreshPeriod, 250);
    }

    void windowAsDesigned() {
        board::SharedState state;
        ui::TFrmTimerPeriod dialog(state);
        QCOMPARE(dialog.objectName(), QStringLiteral("TFrmTimerPeriod"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Период обновления экрана, мс"));
        QCOMPARE(dialog.size(), QSize(264, 117));
        QCOMPARE(dialog.font().pixelSize(), 11);
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(testing_support::child<QLineEdit>(&dialog, "Edit1"), dialog.Edit1);
        QCOMPARE(testing_support::child<QPushButton>(&dialog, "Button1")->text(),
                 QStringLiteral("Применить"));
        QCOMPARE(testing_support::child<QPushButton>(&dialog, "Button2")->text(),
                 QStringLiteral("Отмена"));
        for (QWidget* control :
             {static_cast<QWidget*>(dialog.Edit1), static_cast<QWidget*>(dialog.Button1),
              static_cast<QWidget*>(dialog.Button2)}) {
            QVERIFY(dialog.rect().contains(control->geometry()));
            QVERIFY(control->width() >= control->minimumSizeHint().width());
        }
        QVERIFY(!dialog.Button1->geometry().intersects(dialog.Button2->geometry()));
    }
};

QTEST_MAIN(TimerperiodTest)
#include "timerperiod_test.moc"
