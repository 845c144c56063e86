#include "ui/analysis/Labelwatch.h"

#include "ui/analysis/LabelWatchModel.h"
#include "ui/analysis/WatchCellDelegate.h"
#include "ui/grid/Fonts.h"
#include "ui/main/Mainform.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace ui {

TFrmLabelWatch::TFrmLabelWatch(TMainFrm& main, analysis::MonotonicClock clock, QWidget* parent)
    : TickWindow(main, parent), clock_(std::move(clock)) {
    setObjectName(QStringLiteral("TFrmLabelWatch"));
    setWindowTitle(QStringLiteral("Наблюдение за метками"));

    model_ = new LabelWatchModel(main.allChannelsFormatLookup(), clock_(), this);
    filter_ = new LabelWatchFilter(*model_, this);

    cbChannelFilter = new QComboBox(this);
    cbChannelFilter->setObjectName(QStringLiteral("cbChannelFilter"));
    cbChannelFilter->addItem(QStringLiteral("все"));
    for (int channelNo = 1; channelNo <= board::kMaxChannels; ++channelNo)
        cbChannelFilter->addItem(QString::number(channelNo));
    cbChannelFilter->setToolTip(QStringLiteral("показывать метки одного входного канала"));

    seStaleLimit = new QDoubleSpinBox(this);
    seStaleLimit->setObjectName(QStringLiteral("seStaleLimit"));
    seStaleLimit->setRange(0.1, 3600.0);
    seStaleLimit->setDecimals(1);
    seStaleLimit->setSingleStep(0.5);
    seStaleLimit->setValue(static_cast<double>(analysis::LabelWatchTable::kDefaultStaleLimitMs) /
                           1000.0);
    seStaleLimit->setToolTip(
        QStringLiteral("метка, не менявшаяся дольше этого времени, отмечается как устаревшая"));

    btClear = new QPushButton(QStringLiteral("очистить"), this);
    btClear->setObjectName(QStringLiteral("btClear"));
    btClear->setAutoDefault(false);

    WatchGrid = new QTableView(this);
    WatchGrid->setObjectName(QStringLiteral("WatchGrid"));
    WatchGrid->setModel(filter_);
    WatchGrid->setSortingEnabled(true);
    WatchGrid->sortByColumn(-1, Qt::AscendingOrder); // the order of arrival until a header press
    WatchGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    WatchGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    WatchGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    WatchGrid->verticalHeader()->hide();
    WatchGrid->verticalHeader()->setDefaultSectionSize(18);
    // Every row may change on every tick: cells are drawn straight from glyphs, grid lines
    // included, as in the input buffer grid.
    WatchGrid->setFont(courierNewFont(13));
    WatchGrid->horizontalHeader()->setFont(font());
    WatchGrid->setShowGrid(false);
    WatchGrid->setItemDelegate(
        new WatchCellDelegate(FixedPitchCellDelegate::GridLines::InCells, WatchGrid,
                              FixedPitchCellDelegate::TextColour::ByPalette));
    WatchGrid->setStyle(new WatchGridStyle(WatchGrid));
    WatchGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    const int widths[LabelWatchModel::ColumnCount] = {50,  44, 80,  40,  190, 90,
                                                      130, 70, 124, 110, 110};
    for (int column = 0; column < LabelWatchModel::ColumnCount; ++column)
        WatchGrid->setColumnWidth(column, widths[column]);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("канал:"), this));
    controls->addWidget(cbChannelFilter);
    controls->addSpacing(16);
    controls->addWidget(new QLabel(QStringLiteral("устаревание через, с:"), this));
    controls->addWidget(seStaleLimit);
    controls->addStretch(1);
    controls->addWidget(btClear);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(WatchGrid, 1);
    resize(1080, 480);

    connect(btClear, &QPushButton::clicked, this, &TFrmLabelWatch::btClearClick);
    connect(cbChannelFilter, &QComboBox::currentIndexChanged, this,
            &TFrmLabelWatch::cbChannelFilterChange);
    connect(seStaleLimit, &QDoubleSpinBox::valueChanged, this, &TFrmLabelWatch::seStaleLimitChange);
    connect(WatchGrid, &QTableView::doubleClicked, this, &TFrmLabelWatch::WatchGridDblClick);
}

void TFrmLabelWatch::afterTickReads(const board::SharedState&,
                                    const reception::ChangedCells& changes) {
    model_->takeTick(changes, clock_());
}

void TFrmLabelWatch::btClearClick() { model_->clear(); }

void TFrmLabelWatch::cbChannelFilterChange(int index) { filter_->setChannel(index); }

void TFrmLabelWatch::seStaleLimitChange(double seconds) {
    model_->setStaleLimitMs(std::llround(seconds * 1000.0), clock_());
}

void TFrmLabelWatch::WatchGridDblClick(const QModelIndex& index) {
    if (const std::optional<ParameterKey> parameter = parameterAt(index))
        Q_EMIT chartRequested(*parameter);
}

std::optional<ParameterKey> TFrmLabelWatch::selectedParameter() const {
    const QModelIndexList rows = WatchGrid->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return parameterAt(rows.front());
}

std::optional<ParameterKey> TFrmLabelWatch::parameterAt(const QModelIndex& viewIndex) const {
    const QModelIndex source = filter_->mapToSource(viewIndex);
    if (!source.isValid())
        return std::nullopt;
    const analysis::LabelWatchRow& row =
        model_->table().row(static_cast<std::size_t>(source.row()));
    return ParameterKey{row.channelIndex, row.label};
}

} // namespace ui
