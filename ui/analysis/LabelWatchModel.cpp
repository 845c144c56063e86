#include "ui/analysis/LabelWatchModel.h"

#include "analysis/word_fields.h"
#include "reception/decimal_decode.h"
#include "reception/fixed_decimal.h"

#include <QBrush>
#include <QColor>

#include <array>
#include <cmath>

namespace ui {
namespace {

constexpr std::array<const char*, LabelWatchModel::ColumnCount> kHeaders = {"канал",
                                                                            "АП",
                                                                            "слово",
                                                                            "SSM",
                                                                            "значение",
                                                                            "изменений",
                                                                            "без изменений, с",
                                                                            "устарела",
                                                                            "ошибок четности",
                                                                            "минимум",
                                                                            "максимум"};

QString ssmText(std::uint32_t word) {
    const unsigned ssm = analysis::wordSsm(word);
    return QStringLiteral("%1%2").arg((ssm >> 1) & 1u).arg(ssm & 1u);
}

// "%+f" of a value a format gave (a float's), without printf: a screenful of these is
// painted at every tick.
QString signedValueText(double value) {
    std::array<char, 1 + reception::kFixedSixCapacity> text;
    text[0] = std::signbit(value) ? '-' : '+';
    const char* end =
        reception::writeFixedSix(text.data() + 1, static_cast<float>(std::fabs(value)));
    return QString::fromLatin1(text.data(), end - text.data());
}

} // namespace

LabelWatchModel::LabelWatchModel(const reception::AllChannelsFormatLookup& formats,
                                 std::int64_t nowMs, QObject* parent)
    : QAbstractTableModel(parent), formats_(formats), nowMs_(nowMs) {}

int LabelWatchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int LabelWatchModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LabelWatchModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shownRows_)
        return {};
    // A painted cell asks for several roles; most have nothing, so they are answered first.
    switch (role) {
    case Qt::DisplayRole: return displayText(index.row(), index.column());
    case kSortRole: return sortValue(index.row(), index.column());
    case Qt::BackgroundRole:
        if ((index.column() == SinceChange || index.column() == Stale) &&
            table_.isStale(static_cast<std::size_t>(index.row()), nowMs_))
            return QBrush(QColor(255, 214, 153));
        return {};
    default: return {};
    }
}

double LabelWatchModel::secondsSinceChange(const analysis::LabelWatchRow& row) const {
    return static_cast<double>(nowMs_ - row.lastChangeMs) / 1000.0;
}

QVariant LabelWatchModel::displayText(int rowIndex, int column) const {
    const analysis::LabelWatchRow& row = table_.row(static_cast<std::size_t>(rowIndex));
    switch (column) {
    case Channel: return row.channelIndex + 1;
    case Label: return QStringLiteral("%1").arg(row.label, 3, 8, QLatin1Char('0'));
    // Lower case, as the input grid and the recording show words.
    case Word: return QStringLiteral("%1").arg(row.word, 8, 16, QLatin1Char('0'));
    case Ssm: return ssmText(row.word);
    case Decimal: {
        std::array<char, reception::kDecimalTextCapacity> text;
        const std::size_t length = reception::writeDecimalText(
            text, row.word, formats_.channels[row.channelIndex].slots[row.word & 0xFFu]);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(length));
    }
    case Changes: return row.changes;
    case SinceChange: return QString::number(secondsSinceChange(row), 'f', 1);
    case Stale:
        return table_.isStale(static_cast<std::size_t>(rowIndex), nowMs_)
                   ? QStringLiteral("устарела")
                   : QString();
    case ParityErrors: return row.parityErrors;
    case Least: return row.hasRange ? signedValueText(row.least) : QString();
    case Greatest: return row.hasRange ? signedValueText(row.greatest) : QString();
    default: return {};
    }
}

QVariant LabelWatchModel::sortValue(int rowIndex, int column) const {
    const analysis::LabelWatchRow& row = table_.row(static_cast<std::size_t>(rowIndex));
    switch (column) {
    case Channel: return row.channelIndex + 1;
    case Label: return row.label;
    case Word: return row.word;
    case Ssm: return analysis::wordSsm(row.word);
    case Changes: return row.changes;
    case SinceChange: return secondsSinceChange(row);
    case Stale: return table_.isStale(static_cast<std::size_t>(rowIndex), nowMs_);
    case ParityErrors: return row.parityErrors;
    case Least: return row.hasRange ? QVariant(row.least) : QVariant();
    case Greatest: return row.hasRange ? QVariant(row.greatest) : QVariant();
    default: return displayText(rowIndex, column); // the decimal text sorts as text
    }
}

QVariant LabelWatchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return QString::fromUtf8(kHeaders[static_cast<std::size_t>(section)]);
}

void LabelWatchModel::takeTick(const reception::ChangedCells& changes, std::int64_t nowMs) {
    nowMs_ = nowMs;
    table_.takeTick(changes, formats_, nowMs);
    // A changed row is signalled whole; between changed rows only time moved. Each signal
    // costs the sort proxy a pass over its rows, so the fewer the better.
    int unchangedFrom = 0;
    for (const analysis::RowRun& run : table_.changedRuns()) {
        timesChanged(unchangedFrom, static_cast<int>(run.first) - 1);
        Q_EMIT dataChanged(index(static_cast<int>(run.first), 0),
                           index(static_cast<int>(run.last), ColumnCount - 1));
        unchangedFrom = static_cast<int>(run.last) + 1;
    }
    timesChanged(unchangedFrom, shownRows_ - 1);
    const int rows = static_cast<int>(table_.size());
    if (rows > shownRows_) {
        beginInsertRows({}, shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    }
}

void LabelWatchModel::clear() {
    if (shownRows_ == 0)
        return;
    beginRemoveRows({}, 0, shownRows_ - 1);
    table_.clear();
    shownRows_ = 0;
    endRemoveRows();
}

void LabelWatchModel::setStaleLimitMs(std::int64_t limitMs, std::int64_t nowMs) {
    nowMs_ = nowMs;
    table_.setStaleLimitMs(limitMs);
    timesChanged(0, shownRows_ - 1);
}

// Time alone moves these columns, so every row's may have changed.
void LabelWatchModel::timesChanged(int firstRow, int lastRow) {
    if (firstRow <= lastRow)
        Q_EMIT dataChanged(index(firstRow, SinceChange), index(lastRow, Stale),
                           {Qt::DisplayRole, Qt::BackgroundRole, kSortRole});
}

LabelWatchFilter::LabelWatchFilter(LabelWatchModel& source, QObject* parent)
    : QSortFilterProxyModel(parent), source_(source) {
    setSourceModel(&source);
    setSortRole(LabelWatchModel::kSortRole);
}

void LabelWatchFilter::setChannel(int channelNo) {
    source_.setChannelFilter(channelNo);
    invalidateRowsFilter();
}

bool LabelWatchFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return source_.table().isShown(static_cast<std::size_t>(sourceRow));
}

} // namespace ui
