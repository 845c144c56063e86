#include "GridView.h"

#include <algorithm>

#include "Fonts.h"

#include <QHeaderView>
#include <QTableView>

#include <cstddef>

namespace ui {

QTableView* makeGridView(const QString& name, QAbstractItemModel& model, const GridLook& look,
                         QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setModel(&model);
    grid->setFont(courierNewFont(look.fontPixels));
    QHeaderView* header = grid->horizontalHeader();
    header->setFont(courierNewFont(look.fontPixels));
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
