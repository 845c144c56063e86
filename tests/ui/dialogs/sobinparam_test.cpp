#include "monitor_fixture.h"

#include "ui/dialogs/Sobinparam.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <set>

using testing_support::showAnd;

namespace {

std::uint32_t& word(board::SharedState& state, int channel, int index) {
    return state.SOrecord[static_cast<std::size_t>(channel)]
        .SOwords[static_cast<std::size_t>(index)];
}

} // namespace

class SobinparamTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCheckBoxStandsForItsBit_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<uint>("mask");
        const uint masks[32] = {
            0x80000000, 0x40000000, 0x20000000, 0x10000000, 0x08000000, 0x04000000, 0x02000000,
            0x01000000, 0x00800000, 0x00400000, 0x00200000, 0x00100000, 0x00080000, 0x00040000,
            0x00020000, 0x00010000, 0x00008000, 0x00004000, 0x00002000, 0x00001000, 0x00000800,
            0x00000400, 0x00000200, 0x00000100, 0x00000080, 0x00000040, 0x00000020, 0x00000010,
            0x00000008, 0x00000004, 0x00000002, 0x00000001};
        for (int box = 1; box <= 32; ++box)
            QTest::addRow("CheckBox%d", box) << box << masks[box - 1];
    }
    void everyCheckBoxStandsForItsBit() {
        QFETCH(int, box);
        QFETCH(uint, mask);
        board::SharedState state;
        state.SOparamIndex = 5;
        ui::TFrmSObinParam dialog(state);

        // Clicked where the user clicks, on a clear word, then on a word with every bit set.
        uint setOnClear = 0;
        showAnd(dialog, [&] {
            QTest::mouseClick(dialog.CheckBox(box), Qt::LeftButton);
            setOnClear = dialog.workingWord();
            dialog.Button1->click();
        });
        QCOMPARE(setOnClear, mask);
        QCOMPARE(word(state, 0, 5), mask);

        word(state, 0, 5) = 0xFFFFFFFF;
        showAnd(dialog, [&] {
            QVERIFY(dialog.CheckBox(box)->isChecked());
            QTest::mouseClick(dialog.CheckBox(box), Qt::LeftButton);
            dialog.Button1->click();
        });
        QCOMPARE(word(state, 0, 5), ~mask);
    }

    void showingReflectsTheWordOfTheCurrentChannel() {
        board::SharedState state;
        state.CurSO = 2;
        state.SOparamIndex = 0;
        word(state, 2, 0) = 0xFEFF0100;
        word(state, 0, 0) = 0xFFFFFFFF; // another channel's word must not show
        ui::TFrmSObinParam dialog(state);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Задание битов выходного параметра"));

        std::set<int> checked;
        QString caption;
        showAnd(dialog, [&] {
            caption = dialog.windowTitle();
            for (int box = 1; box <= 32; ++box)
                if (dialog.CheckBox(box)->isChecked())
                    checked.insert(box);
            QCOMPARE(dialog.workingWord(), 0xFEFF0100u);
            dialog.Button2->click();
        });
        QCOMPARE(caption, QStringLiteral("Задание кода выходного параметра (индекс 0)"));
        // Bits 9, 17..24 and 26..32; bit 25 (CheckBox8) stays clear.
        const std::set<int> expected{1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 24};
        QCOMPARE(checked, expected);
    }

    void captionFollowsTheIndexOnEveryShowing() {
        board::SharedState state;
        ui::TFrmSObinParam dialog(state);
        QStringList captions;
        for (std::uint16_t index : {10, 255, 7}) {
            state.SOparamIndex = index;
            showAnd(dialog, [&] {
                captions << dialog.windowTitle();
                dialog.close();
            });
        }
        QCOMPARE(captions, QStringList({"Задание кода выходного параметра (индекс 10)",
                                        "Задание кода выходного параметра (индекс 255)",
                                        "Задание кода выходного параметра (индекс 7)"}));
    }

    void applyWritesTheEditedWordOfTheCurrentChannelOnly() {
        board::SharedState state;
        state.CurSO = 1;
        state.SOparamIndex = 10;
        word(state, 0, 10) = 0x12345678;
        word(state, 1, 9) = 0x0000FFFF;
        ui::TFrmSObinParam dialog(state);

        const int result = showAnd(dialog, [&] {
            dialog.CheckBox(25)->click();
            dialog.CheckBox(32)->click();
            dialog.Button1->click();
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(word(state, 1, 10), 0x00000081u);
        QCOMPARE(QString::asprintf("%03o", word(state, 1, 10) & 0xFFu), QStringLiteral("201"));
        QCOMPARE(QString::asprintf("%06x", word(state, 1, 10) >> 8), QStringLiteral("000000"));
        QCOMPARE(word(state, 0, 10), 0x12345678u);
        QCOMPARE(word(state, 1, 9), 0x0000FFFFu);
    }

    void closingWithoutApplyKeepsTheWord_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Отмена") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("Escape") << 2;
    }
    void closingWithoutApplyKeepsTheWord() {
        QFETCH(int, way);
        board::SharedState state;
        state.SOparamIndex = 3;
        word(state, 0, 3) = 0x00A5005A;
        ui::TFrmSObinParam dialog(state);

        uint edited = 0;
        const int result = showAnd(dialog, [&] {
            dialog.CheckBox(1)->click();
            dialog.CheckBox(32)->click();
            edited = dialog.workingWord();
            if (way == 0)
                dialog.Button2->click();
            else if (way == 1)
                dialog.close();
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(edited, 0x80A5005Bu);
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(word(state, 0, 3), 0x00A5005Au);
    }

    void aSecondShowingStartsFromTheCurrentWord() {
        board::SharedState state;
        state.SOparamIndex = 1;
        word(state, 0, 1) = 0x00000100;
        ui::TFrmSObinParam dialog(state);
        showAnd(dialog, [&] {
            dialog.CheckBox(1)->click();
            dialog.CheckBox(24)->click();
            dialog.Button2->click();
        });

        word(state, 0, 1) = 0x00000003;
        uint shown = 0;
        bool box1 = true;
        bool box24 = true;
        bool lowBits = false;
        showAnd(dialog, [&] {
            shown = dialog.workingWord();
            box1 = dialog.CheckBox(1)->isChecked();
            box24 = dialog.CheckBox(24)->isChecked();
            lowBits = dialog.CheckBox(31)->isChecked() && dialog.CheckBox(32)->isChecked();
            dialog.Button1->click();
        });
        QCOMPARE(shown, 0x00000003u);
        QVERIFY(!box1);
        QVERIFY(!box24);
        QVERIFY(lowBits);
        QCOMPARE(word(state, 0, 1), 0x00000003u);
    }

    void controlsAreNamedAndLaidOutAsDesigned() {
        board::SharedState state;
        ui::TFrmSObinParam dialog(state);
        QCOMPARE(dialog.objectName(), QStringLiteral("TFrmSObinParam"));
        QCOMPARE(dialog.size(), QSize(673, 160));
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

        auto* panel = testing_support::child<QFrame>(&dialog, "Panel1");
        QVERIFY(panel != nullptr);
        QVERIFY(panel->frameShape() != QFrame::NoFrame);
        for (int box = 1; box <= 32; ++box) {
            auto* named = testing_support::child<QCheckBox>(
                &dialog, QStringLiteral("CheckBox%1").arg(box).toUtf8().constData());
            QCOMPARE(named, dialog.CheckBox(box));
            QCOMPARE(named->parentWidget(), box == 1 ? static_cast<QWidget*>(&dialog) : panel);
            QVERIFY(panel->rect().contains(named->geometry()) || box == 1);
        }
        QVERIFY(dialog.CheckBox(1)->geometry().right() < panel->geometry().left());

        // Bit 31 at the left to bit 1 at the right, evenly spaced but for the gap between
        // bit 9 (CheckBox24) and bit 8 (CheckBox25).
        int widestStep = 0;
        int widestAfter = 0;
        int narrowest = 1000;
        for (int box = 2; box < 32; ++box) {
            const int step = dialog.CheckBox(box + 1)->x() - dialog.CheckBox(box)->x();
            QVERIFY2(step > dialog.CheckBox(box)->width(), "boxes overlap");
            narrowest = std::min(narrowest, step);
            if (step > widestStep) {
                widestStep = step;
                widestAfter = box;
            }
        }
        QCOMPARE(widestAfter, 24);
        QVERIFY(widestStep >= 2 * narrowest);

        const QString row = QStringLiteral(
            "31   29   27   25   23   21   19   17   15   13   11    9       7    5    3    1");
        QCOMPARE(dialog.Label1->text(), row);
        QVERIFY(dialog.Label1->font().fixedPitch());
        // Each odd bit number stands over its own box.
        const QFontMetricsF metrics(dialog.Label1->font());
        const double cell = metrics.horizontalAdvance(QLatin1Char('0'));
        for (int bit = 31; bit >= 1; bit -= 2) {
            const QString number = QString::number(bit);
            const qsizetype at =
                row.indexOf(QRegularExpression(QStringLiteral("\\b%1\\b").arg(number)));
            QVERIFY(at >= 0);
            const double numberCentre =
                dialog.Label1->x() +
                cell * (static_cast<double>(at) + static_cast<double>(number.size()) / 2.0);
            const QRect box = dialog.CheckBox(33 - bit)->geometry();
            QVERIFY2(std::abs(box.center().x() - numberCentre) <= 2.0,
                     qPrintable(QStringLiteral("bit %1").arg(bit)));
        }
        QCOMPARE(dialog.Label2->text(), QStringLiteral("32"));
        QVERIFY(dialog.Label2->geometry().bottom() <= dialog.CheckBox(1)->geometry().top());
        QCOMPARE(dialog.Label3->text(), QStringLiteral("Адрес Параметра"));
        QCOMPARE(dialog.Label4->text(), QStringLiteral("Код Параметра"));
        QVERIFY(dialog.Label3->x() >= dialog.CheckBox(25)->x() - 8);
        QVERIFY(dialog.Label4->geometry().right() < dialog.CheckBox(25)->x());
        for (QLabel* label : {dialog.Label1, dialog.Label2, dialog.Label3, dialog.Label4}) {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            QVERIFY(label->parentWidget()->rect().contains(label->geometry()));
        }
        QCOMPARE(dialog.Button1->text(), QStringLiteral("Применить"));
        QCOMPARE(dialog.Button2->text(), QStringLiteral("Отмена"));
        for (QPushButton* button : {dialog.Button1, dialog.Button2}) {
            QVERIFY(dialog.rect().contains(button->geometry()));
            QVERIFY(button->width() >= button->sizeHint().width());
            QVERIFY(!button->geometry().intersects(panel->geometry()));
        }
    }
};

QTEST_MAIN(SobinparamTest)
#include "sobinparam_test.moc"
