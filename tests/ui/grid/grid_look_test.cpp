// The shared look of the grids: the fixed-pitch face they ask for and the column header that
// measures its texts once.
#include "ui/grid/Fonts.h"
#include "ui/grid/GridView.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {

void labelColumns(QStandardItemModel& model) {
    model.setHorizontalHeaderLabels({"Адрес", "Hex", "Двоичный код"});
}

} // namespace

class GridLookTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theFixedPitchFaceIsAnInstalledOneWithoutFallback() {
        const QFont font = ui::courierNewFont(13);
        const QFontInfo used(font);
        // Asked for by a name that is installed: the face drawn is the face asked for.
        QVERIFY2(QFontDatabase::hasFamily(font.family()) || font.family() == "Courier New",
                 qPrintable(font.family()));
        if (QFontDatabase::hasFamily(font.family()))
            QCOMPARE(used.family(), font.family());
        QVERIFY(used.fixedPitch());
        QCOMPARE(used.pixelSize(), 13);
    }

    void theHeaderIsAsTallAsTheStockOneAndItsTextsFit() {
        QStandardItemModel model(4, 3);
        labelColumns(model);
        QTableView* grid = ui::makeGridView("Grid", model, {13, 18}, nullptr);
        const std::unique_ptr<QTableView> owner(grid);

        QHeaderView stock(Qt::Horizontal);
        stock.setModel(&model);
        stock.setFont(ui::courierNewFont(13));
        const int stockHeight = stock.sizeHint().height();
        QVERIFY(stockHeight > 13);

        QHeaderView* header = grid->horizontalHeader();
        QCOMPARE(header->sizeHint().height(), stockHeight);
        QCOMPARE(header->sizeHint().width(), header->length());
        for (int column = 0; column < 3; ++column)
            QVERIFY(grid->columnWidth(column) >= header->sectionSizeHint(column));
        QVERIFY(!header->sectionsClickable()); // a press selects nothing
    }

    void theHeaderMeasuresAgainForANewFont() {
        QStandardItemModel model(4, 3);
        labelColumns(model);
        const std::unique_ptr<QTableView> grid(ui::makeGridView("Grid", model, {13, 18}, nullptr));
        QHeaderView* header = grid->horizontalHeader();
        const int before = header->sizeHint().height();
        header->setFont(ui::courierNewFont(26));
        QVERIFY(header->sizeHint().height() > before);
    }

    void aGridMadeWithoutRowsStillGetsAHeaderHeight() {
        QStandardItemModel model(0, 3);
        labelColumns(model);
        const std::unique_ptr<QTableView> grid(ui::makeGridView("Grid", model, {13, 18}, nullptr));
        QVERIFY(grid->horizontalHeader()->sizeHint().height() > 13);
    }
};

QTEST_MAIN(GridLookTest)
#include "grid_look_test.moc"
