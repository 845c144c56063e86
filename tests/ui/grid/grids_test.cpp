// What every grid of the monitor shares: a press on a column header leaves the current cell
// alone, the header edge still resizes its column, and the default widths show the widest
// texts whole.
#include "monitor_fixture.h"
#include "tests/formats/table_fixtures.h"

#include <QHeaderView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using formats_testing::makeAssignment;
using formats_testing::makeFormat;
using testing_support::Monitor;

namespace {

// Eight and six broad Cyrillic letters, in cp1251: "ДАВЛЕНИЕ", "кгс/см".
constexpr char kLongLabel[] = "\xC4\xC0\xC2\xCB\xC5\xCD\xC8\xC5";
constexpr char kLongUnits[] = "\xEA\xE3\xF1/\xF1\xEC";

QPoint insideSection(const QHeaderView* header, int section) {
    return {header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
            header->height() / 2};
}

QPoint onSectionEdge(const QHeaderView* header, int section) {
    return {header->sectionViewportPosition(section) + header->sectionSize(section) - 1,
            header->height() / 2};
}

} // namespace

class GridsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir_.isValid());
        QDir::setCurrent(workDir_.path());
        monitor_ = std::make_unique<Monitor>();
        Monitor& m = *monitor_;
        m.chooseBoard(0);
        m.initialise();

        // The longest texts the grids show for formats in use.
        formats::DecimalFormatTable& formats = m.main().formatTable();
        formats.slots[0] = makeFormat(kLongLabel, 29, 9, 65536.5f, kLongUnits, 1);
        formats.slots[1] = makeFormat("ALT", 28, 18, 90.0f, "ft");
        formats.formatCount = 2;
        formats::AssignmentTable& assignments = m.main().assignmentTable();
        assignments.slots[0] = makeAssignment(0377, 1, kLongLabel);
        assignments.slots[1] = makeAssignment(0203, 8, "ALT");
        assignments.assignmentCount = 2;
        testing_support::onNextModal([](QWidget* dialog) { dialog->close(); });
        m.button("tbParamFormat")->click(); // the decimal column now decodes address 377

        m.state().SIbuffer[0][0] = {0x1FFFFFFFu, 0xFFFFFFFFu}; // bits 9..29: +131072.874...
        m.state().SIbuffer[0][1] = {0xFFFFFFFFu, 4000000000u}; // 24 binary digits
        m.state().SOrecord[0].SOwords[255] = 0xFFFFFFFFu;
        m.main().Timer1Timer();
        m.main().resize(1280, 800);
        m.main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&m.main()));
        for (QWidget* dialog : {static_cast<QWidget*>(&m.windows->formatList()),
                                static_cast<QWidget*>(&m.windows->paramFormat())}) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
        }
    }

    void cleanupTestCase() {
        m().windows->formatList().hide();
        m().windows->paramFormat().hide();
        monitor_.reset();
    }

    void init() {
        QFETCH(QString, window);
        QFETCH(QString, gridName);
        grid_ =
            window == QStringLiteral("TMainFrm")
                ? testing_support::child<QTableView>(&m().main(), qPrintable(gridName))
                : testing_support::child<QTableView>(m().dialogNamed(window), qPrintable(gridName));
        QVERIFY(grid_ != nullptr);
    }

    void aHeaderPressLeavesTheCurrentCellAlone_data() { grids(); }
    void aHeaderPressLeavesTheCurrentCellAlone() {
        QHeaderView* header = grid_->horizontalHeader();
        const QModelIndex chosen = grid_->model()->index(grid_->model()->rowCount() - 1, 1);
        grid_->setCurrentIndex(chosen);
        for (int section = 0; section < header->count(); ++section) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              insideSection(header, section));
            QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                               insideSection(header, section));
        }
        QCOMPARE(grid_->currentIndex(), chosen);
    }

    void theHeaderEdgeStillResizesItsColumn_data() { grids(); }
    void theHeaderEdgeStillResizesItsColumn() {
        QHeaderView* header = grid_->horizontalHeader();
        const int before = header->sectionSize(0);
        const QPoint edge = onSectionEdge(header, 0);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, edge);
        QTest::mouseMove(header->viewport(), edge + QPoint(30, 0));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, edge + QPoint(30, 0));
        QCOMPARE(header->sectionSize(0), before + 30);
        header->resizeSection(0, before);
    }

    void everyColumnShowsItsHeaderAndItsLongestCellWhole_data() { grids(); }
    void everyColumnShowsItsHeaderAndItsLongestCellWhole() {
        grid_->scrollToTop();
        if (grid_ == m().outputGrid())
            grid_->scrollToBottom(); // word 255
        const QHeaderView* header = grid_->horizontalHeader();
        for (int column = 0; column < header->count(); ++column) {
            const QString where = QStringLiteral("column %1").arg(column);
            QVERIFY2(header->sectionSizeHint(column) <= grid_->columnWidth(column),
                     qPrintable(where + QStringLiteral(": header")));
            // The delegate's measure of the shown cells, with the view's grid line.
            const QAbstractItemView* view = grid_;
            QVERIFY2(view->sizeHintForColumn(column) <= grid_->columnWidth(column),
                     qPrintable(where + QStringLiteral(": cells")));
        }
    }

private:
    Monitor& m() { return *monitor_; }

    static void grids() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("gridName");
        QTest::newRow("input buffer") << "TMainFrm"
                                      << "DrawGrid2";
        QTest::newRow("output array") << "TMainFrm"
                                      << "DrawGrid1";
        QTest::newRow("decimal formats") << "TFrmFormatList"
                                         << "DrawGrid1";
        QTest::newRow("parameter formats: assignments") << "TFrmParamFormat"
                                                        << "DrawGrid2";
        QTest::newRow("parameter formats: format list") << "TFrmParamFormat"
                                                        << "DrawGrid1";
    }

    QTemporaryDir workDir_;
    std::unique_ptr<Monitor> monitor_;
    QTableView* grid_ = nullptr;
};

QTEST_MAIN(GridsTest)
#include "grids_test.moc"
