#include "ui/grid/GridView.h"

#include <algorithm>
#include <cmath>

#include "ui/grid/Fonts.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>

namespace ui {
namespace {

/// A column header that measures its texts once. The view asks for the header's height each
/// time its geometry changes (every column width, every resize) and the stock header
/// measures every section's text again each time; the texts and the font of these headers
/// stay as they were made, so one measure serves the whole run.
///
/// Its sections are not buttons: a press on one would select the column and make its first
/// row current, so that a command meant for the row the user chose would act on another.
/// Dragging a section's edge still resizes the column.
class MeasuredOnceHeader : public QHeaderView {
public:
    explicit MeasuredOnceHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setSectionsClickable(false);
        setHighlightSections(false);
    }

    QSize sizeHint() const override {
        if (!measured_.isValid() && count() > 0)
            measured_ = QHeaderView::sizeHint();
        return {length(), measured_.isValid() ? measured_.height() : 0};
    }

    /// The width that shows the section's text whole, with the style's margins.
    [[nodiscard]] int textWidth(int section) const {
        return sectionSizeFromContents(section).width();
    }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            measured_ = QSize();
        QHeaderView::changeEvent(event);
    }

private:
    mutable QSize measured_;
};

/// The width of a cell that shows `text` whole: the item delegates keep the style's focus
/// margin and one pixel on either side of the text, and the grid line takes one more.
int cellWidthFor(const QTableView& grid, const QString& text) {
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    const auto textWidth =
        static_cast<int>(std::ceil(QFontMetricsF(grid.font()).horizontalAdvance(text)));
    return textWidth + 2 * margin + 1;
}

} // namespace

void fitColumnsToWidestTexts(QTableView& grid) {
    const QAbstractItemModel* model = grid.model();
    const auto* header = dynamic_cast<const MeasuredOnceHeader*>(grid.horizontalHeader());
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString widest =
            model->headerData(column, Qt::Horizontal, kWidestTextRole).toString();
        const int headerWidth = header != nullptr ? header->textWidth(column) : 0;
        grid.setColumnWidth(column, std::max(headerWidth, cellWidthFor(grid, widest)));
    }
}

QTableView* makeGridView(const QString& name, QAbstractItemModel& model, const GridLook& look,
                         QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    auto* header = new MeasuredOnceHeader(grid);
    grid->setHorizontalHeader(header);
    grid->setFont(courierNewFont(look.fontPixels));
    header->setFont(courierNewFont(look.fontPixels));
    grid->setModel(&model);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The style's minimum section size would otherwise win over a small row height.
    QHeaderView* rows = grid->verticalHeader();
    rows->setMinimumSectionSize(std::min(look.rowHeight, rows->minimumSectionSize()));
    grid->verticalHeader()->setDefaultSectionSize(look.rowHeight);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setTabKeyNavigation(false);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    fitColumnsToWidestTexts(*grid);
    return grid;
}

} // namespace ui
