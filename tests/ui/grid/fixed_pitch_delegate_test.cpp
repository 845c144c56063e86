#include "ui/grid/FixedPitchCellDelegate.h"
#include "ui/grid/Fonts.h"
#include "ui/grid/GridView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include <memory>
#include <optional>
#include <vector>

using ui::FixedPitchCellDelegate;

namespace {

constexpr int kFontPixels = 13;
constexpr int kRowHeight = 18;
const QColor kButtonFace(212, 208, 200);
const QColor kRed(200, 0, 0);

QFont gridFont() { return ui::courierNewFont(kFontPixels); }

QColor baseColour() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }
QColor textColour() { return QApplication::palette().color(QPalette::Active, QPalette::Text); }

/// Bounding box of the pixels in `area` that differ from `background`.
QRect inkIn(const QImage& image, const QRect& area, const QColor& background) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != background)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

/// A text drawn the ordinary way, where the delegate promises to put it: 1 pixel right of
/// and below the corner of a cell of `size`, cut at the cell's edge.
QImage plainlyDrawn(const QString& text, QSize size, const QColor& background,
                    const QColor& foreground) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setFont(gridFont());
    painter.setPen(foreground);
    painter.setClipRect(image.rect());
    painter.drawText(QPointF(1, 1 + QFontMetricsF(gridFont()).ascent()), text);
    return image;
}

/// A small grid with the delegate, as the input grid uses it: the grids' common form, its
/// own grid lines.
class Grid {
public:
    Grid(int rows, std::vector<int> widths)
        : widths_(std::move(widths)), model_(rows, static_cast<int>(widths_.size())),
          tester_(&model_), view_(ui::makeGridView(QStringLiteral("grid"), model_,
                                                   {kFontPixels, kRowHeight}, nullptr)) {
        for (std::size_t column = 0; column < widths_.size(); ++column)
            view_->setColumnWidth(static_cast<int>(column), widths_[column]);
        view_->setShowGrid(false);
        view_->setItemDelegate(
            new FixedPitchCellDelegate(FixedPitchCellDelegate::GridLines::InCells, view_.get()));
        view_->resize(400, 200);
    }

    void set(int row, int column, const QString& text,
             std::optional<QColor> background = std::nullopt,
             std::optional<QColor> foreground = std::nullopt) {
        auto* item = new QStandardItem(text);
        if (background)
            item->setBackground(*background);
        if (foreground)
            item->setForeground(*foreground);
        model_.setItem(row, column, item);
    }

    QTableView& view() { return *view_; }
    [[nodiscard]] QRect cell(int row, int column) const {
        return view_->visualRect(model_.index(row, column));
    }
    [[nodiscard]] QImage render() {
        if (!view_->isVisible()) {
            view_->show();
            if (!QTest::qWaitForWindowExposed(view_.get()))
                qWarning("the grid was not exposed");
        }
        return view_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    /// The cell without its grid lines, the right pixel column and the bottom pixel row.
    [[nodiscard]] QImage inside(const QImage& image, int row, int column) const {
        return image.copy(cell(row, column).adjusted(0, 0, -1, -1));
    }
    [[nodiscard]] QColor gridColour() {
        QStyleOptionViewItem option;
        return QColor::fromRgba(static_cast<QRgb>(
            view_->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, view_.get())));
    }

private:
    std::vector<int> widths_;
    QStandardItemModel model_;
    QAbstractItemModelTester tester_;
    std::unique_ptr<QTableView> view_;
};

/// One cell 40 pixels wide painted by the delegate straight onto a painter, without a view.
class OneCell {
public:
    explicit OneCell(const QString& text, std::optional<QBrush> background = std::nullopt)
        : model_(1, 1), tester_(&model_) {
        auto* item = new QStandardItem(text);
        if (background)
            item->setBackground(*background);
        model_.setItem(0, 0, item);
        option_.rect = QRect(0, 0, 40, kRowHeight);
        option_.font = gridFont();
        option_.palette = QApplication::palette();
        option_.state = QStyle::State_Enabled | QStyle::State_Active;
    }

    void paint(QPainter& painter) const { delegate_.paint(&painter, option_, model_.index(0, 0)); }
    [[nodiscard]] QSize sizeHint() const { return delegate_.sizeHint(option_, model_.index(0, 0)); }

private:
    QStandardItemModel model_;
    QAbstractItemModelTester tester_;
    FixedPitchCellDelegate delegate_;
    QStyleOptionViewItem option_;
};

} // namespace

class FixedPitchDelegateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cellsAreTheirBackgroundWithGridLinesRightAndBelow() {
        Grid grid(2, {64, 46});
        grid.set(0, 0, QStringLiteral("    0"), kButtonFace);
        grid.set(0, 1, QStringLiteral(" 310"));
        const QImage image = grid.render();

        const QRect numbered = grid.cell(0, 0);
        const QRect plain = grid.cell(0, 1);
        QCOMPARE(numbered.width(), 64);
        // Right of the text and below it: background only.
        QCOMPARE(image.pixelColor(numbered.right() - 2, numbered.bottom() - 1), kButtonFace);
        QCOMPARE(image.pixelColor(numbered.left(), numbered.top()), kButtonFace);
        QCOMPARE(image.pixelColor(plain.right() - 2, plain.bottom() - 1), baseColour());
        const QColor lines = grid.gridColour();
        for (const QRect& cell : {numbered, plain}) {
            QCOMPARE(image.pixelColor(cell.right(), cell.center().y()), lines);
            QCOMPARE(image.pixelColor(cell.center().x(), cell.bottom()), lines);
            QCOMPARE(image.pixelColor(cell.right(), cell.bottom()), lines);
        }
    }

    void textStartsOnePixelRightOfAndBelowTheCorner() {
        Grid grid(1, {64});
        grid.set(0, 0, QStringLiteral("H|"));
        const QImage image = grid.render();
        const QRect cell = grid.cell(0, 0);

        const QRect ink = inkIn(image, cell.adjusted(0, 0, -1, -1), baseColour());
        QVERIFY(!ink.isEmpty());
        QVERIFY2(ink.left() >= cell.left() + 1 && ink.left() <= cell.left() + 2,
                 qPrintable(QString::number(ink.left() - cell.left())));
        QVERIFY2(ink.top() >= cell.top() + 1 && ink.top() <= cell.top() + 3,
                 qPrintable(QString::number(ink.top() - cell.top())));
        QVERIFY(ink.bottom() < cell.bottom());
        // Where ordinary text drawing puts the same text from the same corner, to the pixel.
        QCOMPARE(grid.inside(image, 0, 0),
                 plainlyDrawn(QStringLiteral("H|"), cell.size() - QSize(1, 1), baseColour(),
                              textColour()));
    }

    void textsLookAsOrdinaryTextDrawingWouldDrawThem_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("foreground");
        QTest::newRow("cell number") << QStringLiteral("  255") << kButtonFace << textColour();
        QTest::newRow("hexadecimal") << QStringLiteral(" 64f5ad") << baseColour() << textColour();
        QTest::newRow("decimal with Cyrillic units")
            << QStringLiteral(" +55.796299 град    ") << baseColour() << textColour();
        QTest::newRow("red text") << QStringLiteral(" -0.087891   кг") << baseColour() << kRed;
        QTest::newRow("sign and letters") << QStringLiteral("№ цикла") << kButtonFace << kRed;
    }
    void textsLookAsOrdinaryTextDrawingWouldDrawThem() {
        QFETCH(QString, text);
        QFETCH(QColor, background);
        QFETCH(QColor, foreground);
        Grid grid(1, {192});
        grid.set(0, 0, text, background, foreground);
        const QImage inside = grid.inside(grid.render(), 0, 0);
        QVERIFY(!inkIn(inside, inside.rect(), background).isEmpty());
        QCOMPARE(inside, plainlyDrawn(text, inside.size(), background, foreground));
    }

    void cyrillicLettersAreTheFontsOwnGlyphs() {
        // Letters the font lacked would all be the same empty box.
        Grid grid(1, {30, 30, 30});
        grid.set(0, 0, QStringLiteral("г"));
        grid.set(0, 1, QStringLiteral("д"));
        grid.set(0, 2, QStringLiteral("ж"));
        const QImage image = grid.render();
        const QImage g = grid.inside(image, 0, 0);
        const QImage d = grid.inside(image, 0, 1);
        const QImage zh = grid.inside(image, 0, 2);
        QVERIFY(!inkIn(g, g.rect(), baseColour()).isEmpty());
        QVERIFY(g != d && d != zh && g != zh);
    }

    void aLongTextIsCutAtItsCellWithoutAnEllipsis() {
        Grid grid(1, {40, 40});
        grid.set(0, 0, QStringLiteral("11001001111010110101"));
        grid.set(0, 1, QString(), kButtonFace);
        const QImage image = grid.render();

        // Neither the grid line nor the neighbour shows anything of it.
        const QRect neighbour = grid.cell(0, 1).adjusted(0, 0, -1, -1);
        QVERIFY(inkIn(image, neighbour, kButtonFace).isNull());
        const QRect line = grid.cell(0, 0);
        QVERIFY(inkIn(image, QRect(line.right(), line.top(), 1, line.height()), grid.gridColour())
                    .isNull());
        // Digits run up to the cell's edge: the last pixel columns before the grid line
        // hold ink, and the text is the plain text cut there, not "1100…".
        const QRect cell = grid.cell(0, 0);
        QVERIFY(
            !inkIn(image, QRect(cell.right() - 4, cell.top(), 4, cell.height() - 1), baseColour())
                 .isEmpty());
        QCOMPARE(grid.inside(image, 0, 0),
                 plainlyDrawn(QStringLiteral("11001001111010110101"), cell.size() - QSize(1, 1),
                              baseColour(), textColour()));
    }

    void aCharacterTheFontLacksStaysInsideItsCell() {
        Grid grid(1, {40, 40});
        grid.set(0, 0, QStringLiteral("A\u4E2D\u4E2D\u4E2D\u4E2D\u4E2D\U0001F600"));
        grid.set(0, 1, QString(), kButtonFace);
        const QImage image = grid.render();
        const QRect cell = grid.cell(0, 0);
        QVERIFY(!inkIn(image, cell.adjusted(0, 0, -1, -1), baseColour()).isEmpty());
        QVERIFY(inkIn(image, grid.cell(0, 1).adjusted(0, 0, -1, -1), kButtonFace).isNull());
    }

    void aChangedTextOrFontIsPaintedAfresh() {
        // Painted cells are kept; a kept picture must never stand for another text or font.
        Grid grid(1, {90});
        grid.set(0, 0, QStringLiteral("000000"));
        const QImage zeros = grid.inside(grid.render(), 0, 0);
        QCOMPARE(grid.inside(grid.render(), 0, 0), zeros);

        grid.set(0, 0, QStringLiteral("e35761"));
        const QImage changed = grid.inside(grid.render(), 0, 0);
        QCOMPARE(changed, plainlyDrawn(QStringLiteral("e35761"), changed.size(), baseColour(),
                                       textColour()));

        grid.set(0, 0, QStringLiteral("000000"), std::nullopt, kRed);
        QCOMPARE(grid.inside(grid.render(), 0, 0),
                 plainlyDrawn(QStringLiteral("000000"), changed.size(), baseColour(), kRed));

        grid.set(0, 0, QStringLiteral("000000"));
        grid.view().setFont(ui::courierNewFont(9));
        const QImage smaller = grid.inside(grid.render(), 0, 0);
        QVERIFY(inkIn(smaller, smaller.rect(), baseColour()).width() <
                inkIn(zeros, zeros.rect(), baseColour()).width());
    }

    void scaledPaintingDrawsInPlace() {
        // A painter that scales (a high-density screen, a print) cannot use kept pictures.
        OneCell one(QStringLiteral("777"));
        QImage doubled(80, 2 * kRowHeight, QImage::Format_RGB32);
        doubled.fill(Qt::black);
        QPainter painter(&doubled);
        painter.scale(2, 2);
        one.paint(painter);
        painter.end();
        QCOMPARE(doubled.pixelColor(79, 2 * kRowHeight - 1), baseColour());
        const QRect ink = inkIn(doubled, doubled.rect(), baseColour());
        QVERIFY(ink.left() >= 2 && ink.top() >= 2);
        // Twice the height of the same text painted unscaled, give or take hinting.
        QImage single(40, kRowHeight, QImage::Format_RGB32);
        QPainter singlePainter(&single);
        one.paint(singlePainter);
        singlePainter.end();
        const QRect singleInk = inkIn(single, single.rect(), baseColour());
        QVERIFY(qAbs(ink.height() - 2 * singleInk.height()) <= 2);
    }

    void aPatternedOrSeeThroughBackgroundIsPaintedOverWhatLiesBelow_data() {
        QTest::addColumn<QBrush>("background");
        QTest::addColumn<int>("redPixels");
        QTest::addColumn<QColor>("otherPixels");
        QTest::newRow("pattern") << QBrush(kRed, Qt::Dense4Pattern) << 40 * kRowHeight / 2
                                 << QColor(Qt::white);
        QTest::newRow("half see-through")
            << QBrush(QColor(200, 0, 0, 128)) << 0 << QColor(227, 127, 127);
    }
    void aPatternedOrSeeThroughBackgroundIsPaintedOverWhatLiesBelow() {
        QFETCH(QBrush, background);
        QFETCH(int, redPixels);
        QFETCH(QColor, otherPixels);
        OneCell one(QString(), background);
        QImage image(40, kRowHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        one.paint(painter);
        painter.end();
        int red = 0;
        int other = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                red += pixel == kRed ? 1 : 0;
                other += qAbs(pixel.red() - otherPixels.red()) <= 1 &&
                                 qAbs(pixel.green() - otherPixels.green()) <= 1 &&
                                 qAbs(pixel.blue() - otherPixels.blue()) <= 1
                             ? 1
                             : 0;
            }
        }
        QCOMPARE(red, redPixels);
        QCOMPARE(other, 40 * kRowHeight - redPixels);
    }

    void sizeHintIsTheTextAtTheFixedAdvanceWithItsMargins() {
        OneCell one(QStringLiteral("  № цикла"));
        const QFontMetricsF metrics(gridFont());
        const QSize hint = one.sizeHint();
        QCOMPARE(hint.width(), qCeil(2 + 9 * metrics.horizontalAdvance(QLatin1Char('0'))));
        QVERIFY(hint.height() >= metrics.height() + 2 && hint.height() <= kRowHeight);
    }
};

QTEST_MAIN(FixedPitchDelegateTest)
#include "fixed_pitch_delegate_test.moc"
