#include "ui/analysis/Labelwatch.h"

#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/analysis/LabelWatchModel.h"
#include "ui/analysis/WatchCellDelegate.h"
#include "ui/grid/Fonts.h"
#include "ui/main/Mainform.h"

#include <QCheckBox>
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

    cbFlaggedOnly = new QCheckBox(QStringLiteral("только с отметками"), this);
    cbFlaggedOnly->setObjectName(QStringLiteral("cbFlaggedOnly"));
    cbFlaggedOnly->setToolTip(QStringLiteral("показывать только метки, отмеченные по базе меток"));
    lbSummary = new QLabel(this);
    lbSummary->setObjectName(QStringLiteral("lbSummary"));

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
    const int widths[LabelWatchModel::ColumnCount] = {50, 44,  36,  190, 80, 40,  96,  190, 150,
                                                      90, 130, 100, 170, 70, 124, 110, 110};
    for (int column = 0; column < LabelWatchModel::ColumnCount; ++column)
        WatchGrid->setColumnWidth(column, widths[column]);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("канал:"), this));
    controls->addWidget(cbChannelFilter);
    controls->addSpacing(16);
    controls->addWidget(cbFlaggedOnly);
    controls->addSpacing(16);
    controls->addWidget(new QLabel(QStringLiteral("устаревание через, с:"), this));
    controls->addWidget(seStaleLimit);
    controls->addStretch(1);
    controls->addWidget(btClear);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(lbSummary);
    layout->addWidget(WatchGrid, 1);
    resize(1280, 480);

    connect(btClear, &QPushButton::clicked, this, &TFrmLabelWatch::btClearClick);
    connect(cbChannelFilter, &QComboBox::currentIndexChanged, this,
            &TFrmLabelWatch::cbChannelFilterChange);
    connect(seStaleLimit, &QDoubleSpinBox::valueChanged, this, &TFrmLabelWatch::seStaleLimitChange);
    connect(WatchGrid, &QTableView::doubleClicked, this, &TFrmLabelWatch::WatchGridDblClick);
    connect(cbFlaggedOnly, &QCheckBox::toggled, this, &TFrmLabelWatch::cbFlaggedOnlyClick);
    connect(&main.analysisMenu().labelDatabaseCommand(), &LabelDatabaseCommand::databaseChanged,
            this, &TFrmLabelWatch::databaseChanged);
    databaseChanged();
}

void TFrmLabelWatch::databaseChanged() {
    const std::shared_ptr<const labels::LabelDatabase>& database =
        main_.analysisMenu().labelDatabaseCommand().database();
    model_->setDatabase(database);
    // Without a database its columns would stay empty: the watch looks as it always did.
    for (const int column :
         {LabelWatchModel::Sdi, LabelWatchModel::Name, LabelWatchModel::SsmMeaning,
          LabelWatchModel::Value, LabelWatchModel::Interval, LabelWatchModel::Flags})
        WatchGrid->setColumnHidden(column, !database);
    shownSummary_.reset();
    showSummary();
}

void TFrmLabelWatch::showSummary() {
    const LabelDatabaseCommand& command = main_.analysisMenu().labelDatabaseCommand();
    if (!command.database()) {
        shownSummary_.reset();
        lbSummary->setText(QStringLiteral("база меток не загружена"));
        return;
    }
    const analysis::LabelWatchSummary& counts = model_->table().summary();
    // Told every tick: the text is made and laid out again only when a count moved.
    if (shownSummary_ == counts)
        return;
    shownSummary_ = counts;
    lbSummary->setText(QStringLiteral("база меток %1: в норме %2, с отметками %3, пропали %4, "
                                      "нет в базе %5")
                           .arg(command.fileName())
                           .arg(counts.ok)
                           .arg(counts.flagged)
                           .arg(counts.missing)
                           .arg(counts.unknown));
}

void TFrmLabelWatch::afterTickReads(const board::SharedState& state,
                                    const reception::ChangedCells& changes) {
    model_->takeTick(state, changes, clock_());
    filter_->renew();
    showSummary();
}

void TFrmLabelWatch::btClearClick() {
    model_->clear();
    showSummary();
}

void TFrmLabelWatch::cbChannelFilterChange(int index) {
    filter_->setChannel(index);
    showSummary();
}

void TFrmLabelWatch::cbFlaggedOnlyClick(bool checked) { filter_->setFlaggedOnly(checked); }

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
    return ParameterKey{row.channelIndex, row.label, row.sdi};
}

} // namespace ui
