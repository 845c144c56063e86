#include "GridView.h"

#include <algorithm>

#include "Fonts.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <cstddef>

namespace ui {
namespace {

/// A column header that measures its texts once. The view asks for the header's height each
/// time its geometry changes (every column width, every resize) and the stock header
/// measures every section's text again each time; the texts and the font of these headers
/// stay as they were made, so one measure serves the whole run.
class MeasuredOnceHeader : public QHeaderView {
public:
    explicit MeasuredOnceHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        // As the view's own header is made.
        setSectionsClickable(true);
        setHighlightSections(true);
    }

    QSize sizeHint() const override {
        if (!measured_.isValid() && count() > 0)
            measured_ = QHeaderView::sizeHint();
        return {length(), measured_.isValid() ? measured_.height() : 0};
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

} // namespace

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
    for (std::size_t column = 0; column < look.columnWidths.size(); ++column)
        grid->setColumnWidth(static_cast<int>(column), look.columnWidths[column]);
    return grid;
}

} // namespace ui
