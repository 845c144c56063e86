#include "monitor_fixture.h"

#include "board/records.h"
#include "labels/word_fields.h"
#include "tests/formats/table_fixtures.h"
#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/AnalysisWindows.h"
#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/analysis/LabelWatchModel.h"
#include "ui/analysis/Labelwatch.h"
#include "ui/analysis/Parameterchart.h"
#include "ui/analysis/Parameterchoice.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <cstring>

using testing_support::Monitor;
using testing_support::RecordedRequest;
using testing_support::ScriptedDriver;

namespace {

/// Board 0 running with address reception on input 1, whose cells the test fills.
struct ReceivingMonitor : Monitor {
    ReceivingMonitor() {
        chooseBoard(0);
        initialise();
        driver.answerU16(ScriptedDriver::handleFor(0), board::IOCTL_SI_GET_STATE, 1);
        driver.answer(board::IOCTL_SI_READ, [this](const RecordedRequest& r, auto output) {
            const auto read = r.inputAs<board::SIReadRequest>();
            board::SIReadReply reply{};
            if (read.channelNo == 1)
                reply.word = cells[read.index];
            std::memcpy(output.data(), &reply, sizeof reply);
            return true;
        });
        button("tbSIaddressPusk")->click();
    }
    /// Label `label` with data `data`, in its own cell, with odd parity.
    void deliver(std::uint8_t label, std::uint32_t data) {
        std::uint32_t word = (data << 10 | label) & 0x7FFFFFFFu;
        if (!labels::hasOddParity(word))
            word |= 0x80000000u;
        cells[label] = word;
    }
    ui::TFrmLabelWatch& openWatch() {
        action("mmLabelWatch")->trigger();
        return windows->analysis().labelWatch();
    }

    std::array<std::uint32_t, board::kInputBufferCells> cells{};
};

using Range = std::pair<int, int>;

/// Source rows named by the dataChanged signals that begin at `column`: 0 for whole rows.
QList<Range> rowSignals(const QSignalSpy& spy, int column = 0) {
    QList<Range> rows;
    for (const QList<QVariant>& signal : spy) {
        const auto first = signal[0].value<QModelIndex>();
        const auto last = signal[1].value<QModelIndex>();
        if (first.column() == column)
            rows.append({first.row(), last.row()});
    }
    return rows;
}

// As a user's: the first press selects, the second comes as a double click.
void doubleClick(QTableView* grid, QPoint where) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, where);
}

} // namespace

class LabelWatchWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path());
    }

    void aTickSignalsOnlyTheRowsThatChangedAndInsertsNewOnes() {
        ReceivingMonitor m;
        ui::TFrmLabelWatch& watch = m.openWatch();
        QVERIFY(watch.isVisible());
        QVERIFY(!watch.isModal());
        ui::LabelWatchModel& model = watch.model();
        new QAbstractItemModelTester(&model, &watch);
        new QAbstractItemModelTester(watch.WatchGrid->model(), &watch);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

        for (const std::uint8_t label : {0201, 0202, 0203, 0204})
            m.deliver(label, label);
        m.main().Timer1Timer();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(inserted.size(), 1);
        QVERIFY(rowSignals(changed).isEmpty());
        QCOMPARE(model.index(2, ui::LabelWatchModel::Label).data().toString(),
                 QStringLiteral("203"));
        QCOMPARE(model.index(2, ui::LabelWatchModel::Channel).data().toInt(), 1);

        changed.clear();
        m.deliver(0202, 0x107);
        m.deliver(0203, 0x107);
        m.main().Timer1Timer();
        QCOMPARE(rowSignals(changed), (QList<Range>{{1, 2}}));
        // and the time columns of the others
        QCOMPARE(rowSignals(changed, ui::LabelWatchModel::SinceChange),
                 (QList<Range>{{0, 0}, {3, 3}}));
        QCOMPARE(changed.size(), 3);
        QCOMPARE(changed.back()[1].value<QModelIndex>().column(), int(ui::LabelWatchModel::Stale));
        QCOMPARE(model.index(1, ui::LabelWatchModel::Changes).data().toInt(), 2);
        QCOMPARE(model.index(0, ui::LabelWatchModel::Changes).data().toInt(), 1);

        // Sorted by label descending, the view keeps its order and filter through ticks.
        watch.WatchGrid->sortByColumn(ui::LabelWatchModel::Label, Qt::DescendingOrder);
        watch.cbChannelFilter->setCurrentIndex(1);
        m.deliver(0201, 0x109);
        m.main().Timer1Timer();
        QCOMPARE(watch.WatchGrid->model()->rowCount(), 4);
        QCOMPARE(watch.WatchGrid->model()->index(0, 1).data().toString(), QStringLiteral("204"));
        watch.cbChannelFilter->setCurrentIndex(2);
        QCOMPARE(watch.WatchGrid->model()->rowCount(), 0);
        QCOMPARE(resets.size(), 0);

        watch.btClear->click();
        QCOMPARE(model.rowCount(), 0);
        m.main().Timer1Timer(); // no cell changed: nothing comes back
        QCOMPARE(model.rowCount(), 0);
        watch.close();
        changed.clear();
        m.deliver(0201, 0x10A);
        m.main().Timer1Timer();
        QVERIFY2(changed.isEmpty(), "a closed watch is no longer told of ticks");
    }

    void aDoubleClickOnARowOpensItsChartOnce() {
        ReceivingMonitor m;
        m.main().formatTable().slots[0] = formats_testing::makeFormat("CAS", 28, 18, 512.0f, "kt");
        m.main().formatTable().formatCount = 1;
        m.main().assignmentTable().slots[0] = formats_testing::makeAssignment(0203, 1, "CAS");
        ui::TFrmLabelWatch& watch = m.openWatch();
        m.deliver(0203, 1u << 7); // 0.5 kt
        m.main().Timer1Timer();
        QVERIFY(QTest::qWaitForWindowExposed(&watch));
        QTableView* grid = watch.WatchGrid;
        const QRect cell = grid->visualRect(grid->model()->index(0, 1));
        doubleClick(grid, cell.center());

        auto charts = m.main().findChildren<ui::TFrmParameterChart*>();
        QCOMPARE(charts.size(), 1);
        QVERIFY(charts[0]->isVisible());
        QCOMPARE(charts[0]->parameter(), (ui::ParameterKey{0, 0203}));
        QCOMPARE(charts[0]->series().size(), size_t{1}); // the word in its cell
        m.deliver(0203, 3u << 7);
        m.main().Timer1Timer();
        QCOMPARE(charts[0]->series().size(), size_t{2});
        QCOMPARE(*charts[0]->series().at(1).value, 1.5);
        QCOMPARE(watch.model().index(0, ui::LabelWatchModel::Greatest).data().toString(),
                 QStringLiteral("+1.500000"));
        doubleClick(grid, cell.center());
        QCOMPARE(m.main().findChildren<ui::TFrmParameterChart*>().size(), 1);

        // The menu command asks, proposing the watch's row, and opens a second chart.
        grid->selectRow(0);
        testing_support::onNextModal([&](QWidget* dialog) {
            auto* choice = static_cast<ui::TFrmParameterChoice*>(dialog);
            QCOMPARE(choice->edLabel->text(), QStringLiteral("203"));
            choice->edLabel->setText(QStringLiteral("9"));
            choice->Button1->click();
            QVERIFY(choice->isVisible());
            QCOMPARE(m.prompts.beeps, 1);
            choice->edLabel->setText(QStringLiteral("310"));
            choice->Button1->click();
        });
        m.action("mmParameterChart")->trigger();
        charts = m.main().findChildren<ui::TFrmParameterChart*>();
        QCOMPARE(charts.size(), 2);
        QCOMPARE(charts[1]->parameter(), (ui::ParameterKey{0, 0310}));

        charts[0]->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m.main().findChildren<ui::TFrmParameterChart*>().size(), 1);
        m.main().Timer1Timer(); // the closed chart is no longer told
    }

    // The grid's own style leaves out the row panels under its cells: the cells, a selected
    // and a stale one among them, must look as with the application's style.
    void theGridLooksAsWithTheApplicationsStyle() {
        ReceivingMonitor m;
        ui::TFrmLabelWatch& watch = m.openWatch();
        for (const std::uint8_t label : {0201, 0202, 0203})
            m.deliver(label, label);
        m.main().Timer1Timer();
        watch.seStaleLimit->setValue(0.1);
        QTest::qWait(150);
        m.deliver(0202, 0x55);
        m.main().Timer1Timer();
        watch.WatchGrid->selectRow(2);
        QVERIFY(QTest::qWaitForWindowExposed(&watch));
        QWidget* cells = watch.WatchGrid->viewport();
        const QImage ownStyle = cells->grab().toImage();
        QVERIFY(watch.WatchGrid->style() != QApplication::style());
        watch.WatchGrid->setStyle(nullptr);
        QCOMPARE(watch.WatchGrid->style(), QApplication::style());
        QCOMPARE(cells->grab().toImage(), ownStyle);
    }

    void aLabelDatabaseNamesDecodesAndFlagsTheLabelsAndIsKeptForTheNextRun() {
        writeFile("bad.csv", "label,name,encoding\n400,X,BNR\n");
        writeFile("icd.csv", "label,sdi,channel,name,units,encoding,bits,resolution,min,max\r\n"
                             "203,,1,Скорость,kt,BNR,18,1,0,100\r\n");
        ReceivingMonitor m;
        ui::TFrmLabelWatch& watch = m.openWatch();
        ui::LabelWatchModel& model = watch.model();
        new QAbstractItemModelTester(&model, &watch);
        const ui::LabelDatabaseCommand& command = m.main().analysisMenu().labelDatabaseCommand();
        QCOMPARE(watch.lbSummary->text(), QStringLiteral("база меток не загружена"));
        QVERIFY(!m.action("mmUnloadLabelDatabase")->isEnabled());

        m.prompts.fileAnswers = {QStringLiteral("bad.csv")};
        m.action("mmLabelDatabase")->trigger();
        QCOMPARE(m.prompts.questions.back(),
                 QStringLiteral("База меток|Файл базы меток «bad.csv» не загружен: строка 2, "
                                "столбец «label», не три восьмеричные цифры 000..377; база "
                                "меток, что в работе, не меняется."));
        QVERIFY(!command.database());

        m.prompts.fileAnswers = {QStringLiteral("icd.csv")};
        m.action("mmLabelDatabase")->trigger();
        QVERIFY(command.database());
        QVERIFY(m.action("mmUnloadLabelDatabase")->isEnabled());
        const auto normal = 3u << 19; // SSM 11 above the 18 data bits and the sign
        m.deliver(0203, 50 | normal);
        m.deliver(0204, 1 | normal);
        m.main().Timer1Timer();
        QCOMPARE(model.rowCount(), 2);
        const auto text = [&](int row, int column) {
            return model.index(row, column).data().toString();
        };
        QCOMPARE(text(0, ui::LabelWatchModel::Name), QStringLiteral("Скорость"));
        QCOMPARE(text(0, ui::LabelWatchModel::Value), QStringLiteral("50 kt"));
        QCOMPARE(text(0, ui::LabelWatchModel::SsmMeaning), QStringLiteral("норма"));
        QCOMPARE(text(0, ui::LabelWatchModel::Flags), QString());
        QCOMPARE(text(0, ui::LabelWatchModel::Interval), QStringLiteral("не видно"));
        QCOMPARE(text(1, ui::LabelWatchModel::Flags), QStringLiteral("нет в базе"));

        m.deliver(0203, 500 | normal);
        m.main().Timer1Timer();
        QCOMPARE(text(0, ui::LabelWatchModel::Flags), QStringLiteral("диапазон"));
        QVERIFY(model.index(0, ui::LabelWatchModel::Value).data(Qt::BackgroundRole).isValid());
        QVERIFY(!model.index(0, ui::LabelWatchModel::Name).data(Qt::BackgroundRole).isValid());
        QCOMPARE(watch.lbSummary->text(),
                 QStringLiteral("база меток icd.csv: в норме 0, с отметками 1, пропали 0, нет в "
                                "базе 1"));
        watch.cbFlaggedOnly->setChecked(true);
        QCOMPARE(watch.WatchGrid->model()->rowCount(), 2);
        m.deliver(0203, 60 | normal);
        m.main().Timer1Timer();
        QCOMPARE(watch.WatchGrid->model()->rowCount(), 1);

        // The chart of a label the database defines: its value and its name.
        ui::TFrmParameterChart& chart = m.windows->analysis().openChart({0, 0203});
        QVERIFY(chart.windowTitle().endsWith(QStringLiteral("— Скорость")));
        QCOMPARE(*chart.series().at(chart.series().size() - 1).value, 60.0);

        // A file with an error keeps the database in use; the one in use comes back next run.
        const auto* inUse = command.database().get();
        m.prompts.fileAnswers = {QStringLiteral("bad.csv")};
        m.action("mmLabelDatabase")->trigger();
        QCOMPARE(command.database().get(), inUse);
        {
            ReceivingMonitor nextRun;
            QVERIFY(nextRun.main().analysisMenu().labelDatabaseCommand().database());
        }
        // One that no longer loads at the start is told and forgotten.
        writeFile("icd.csv", "label,name\n");
        {
            ReceivingMonitor nextRun;
            QVERIFY(!nextRun.main().analysisMenu().labelDatabaseCommand().database());
            const QStringList told =
                nextRun.prompts.questions.filter(QStringLiteral("База меток|"));
            QCOMPARE(told.size(), 1);
            QVERIFY(told[0].contains(QStringLiteral("столбец «encoding», нет такого столбца")));
        }
        {
            ReceivingMonitor nextRun;
            QVERIFY(nextRun.prompts.questions.filter(QStringLiteral("База меток|")).isEmpty());
        }
        m.action("mmUnloadLabelDatabase")->trigger();
        QVERIFY(!command.database());
        QCOMPARE(watch.lbSummary->text(), QStringLiteral("база меток не загружена"));
        QCOMPARE(model.rowCount(), 0);
        {
            ReceivingMonitor nextRun;
            QVERIFY(!nextRun.main().analysisMenu().labelDatabaseCommand().database());
        }
    }

    void labelsWhoseWordsMayLookEmptyAreToldOnceAndNeverMissing() {
        writeFile("discretes.csv", "label,name,encoding,discretes,max_interval_ms\n"
                                   "271,Насосы,DISC,11:насос 1;12:насос 2,100\n"
                                   "272,Клапаны,DISC,11:клапан,100\n");
        ReceivingMonitor m;
        ui::TFrmLabelWatch& watch = m.openWatch();
        m.prompts.fileAnswers = {QStringLiteral("discretes.csv")};
        m.action("mmLabelDatabase")->trigger();
        QCOMPARE(m.prompts.questions
                     .filter(QStringLiteral("База меток|Метки 271, 272 могут "
                                            "приходить словами с битами 17–32"))
                     .size(),
                 1);
        for (int tick = 0; tick < 10; ++tick)
            m.main().Timer1Timer();
        const QModelIndex interval = watch.model().index(0, ui::LabelWatchModel::Interval);
        QCOMPARE(interval.data().toString(), QStringLiteral("не видно: 17–32 = 0"));
        QVERIFY(
            interval.data(Qt::ToolTipRole).toString().contains(QStringLiteral("пустую ячейку")));
        QCOMPARE(watch.model().index(0, ui::LabelWatchModel::Flags).data().toString(), QString());
    }

private:
    static void writeFile(const char* name, const char* text) {
        QFile file(QString::fromUtf8(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir workDir;
};

QTEST_MAIN(LabelWatchWindowTest)
#include "labelwatch_test.moc"
