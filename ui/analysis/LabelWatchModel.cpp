#include "ui/analysis/LabelWatchModel.h"

#include "labels/standard_decoding.h"
#include "labels/word_fields.h"
#include "reception/decimal_decode.h"
#include "reception/fixed_decimal.h"

#include "ui/common/Text.h"

#include <QBrush>
#include <QColor>

#include <array>
#include <charconv>
#include <cmath>

namespace ui {
namespace {

constexpr std::array<const char*, LabelWatchModel::ColumnCount> kHeaders = {"канал",
                                                                            "АП",
                                                                            "SDI",
                                                                            "параметр",
                                                                            "слово",
                                                                            "SSM",
                                                                            "по SSM",
                                                                            "значение",
                                                                            "значение по базе",
                                                                            "изменений",
                                                                            "без изменений, с",
                                                                            "интервал, мс",
                                                                            "отметки",
                                                                            "устарела",
                                                                            "ошибок четности",
                                                                            "минимум",
                                                                            "максимум"};

// One colour per flag, in the order of its bit, light enough for black text.
const std::array<QColor, analysis::kLabelFlagCount> kFlagColours = {
    QColor(255, 160, 160), // range
    QColor(255, 230, 120), // SSM
    QColor(235, 165, 235), // parity
    QColor(190, 190, 190), // missing
    QColor(160, 200, 255), // not in the database
    QColor(190, 170, 255), // interval
};
const QColor kStaleColour(255, 214, 153);

// The column each flag colours besides the flags column.
constexpr std::array<int, analysis::kLabelFlagCount> kFlagColumns = {
    LabelWatchModel::Value, LabelWatchModel::SsmMeaning, LabelWatchModel::ParityErrors,
    LabelWatchModel::Flags, LabelWatchModel::Label,      LabelWatchModel::Interval};

QString flagWords(std::uint8_t flags) {
    QString words;
    for (int flag = 0; flag < analysis::kLabelFlagCount; ++flag) {
        if ((flags & (1u << flag)) == 0)
            continue;
        if (!words.isEmpty())
            words.append(QStringLiteral(", "));
        words.append(qtext(analysis::labelFlagWord(flag)));
    }
    return words;
}

// The SSM's meanings as QStrings made once: a screenful is painted at every tick.
const QString& ssmMeaningText(labels::LabelEncoding encoding, unsigned ssm) {
    static const std::array<std::array<QString, 4>, 3> kTexts = [] {
        std::array<std::array<QString, 4>, 3> texts;
        for (std::size_t e = 0; e < texts.size(); ++e)
            for (unsigned code = 0; code < 4; ++code)
                texts[e][code] =
                    qtext(labels::ssmMeaning(static_cast<labels::LabelEncoding>(e), code));
        return texts;
    }();
    return kTexts[static_cast<std::size_t>(encoding) % 3][ssm & 3u];
}

QString intervalText(const analysis::LabelWatchTable& table, std::size_t index) {
    switch (table.row(index).interval) {
    case analysis::IntervalJudgement::CannotTell: return QStringLiteral("не видно");
    case analysis::IntervalJudgement::Unseen: return QStringLiteral("не видно: 17–32 = 0");
    default: break;
    }
    const std::optional<double> mean = table.meanIntervalMs(index);
    return mean ? QString::number(*mean, 'f', 1) : QString();
}

QString ssmText(std::uint32_t word) {
    const unsigned ssm = labels::wordSsm(word);
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
    case Qt::BackgroundRole: return background(index.row(), index.column());
    case Qt::ToolTipRole: return toolTip(index.row(), index.column());
    default: return {};
    }
}

QVariant LabelWatchModel::background(int rowIndex, int column) const {
    const auto index = static_cast<std::size_t>(rowIndex);
    if ((column == SinceChange || column == Stale) && table_.isStale(index, nowMs_))
        return QBrush(kStaleColour);
    const std::uint8_t flags = table_.row(index).flags;
    if (flags == 0)
        return {};
    for (int flag = 0; flag < analysis::kLabelFlagCount; ++flag)
        if ((flags & (1u << flag)) != 0 &&
            (column == Flags || column == kFlagColumns[static_cast<std::size_t>(flag)]))
            return QBrush(kFlagColours[static_cast<std::size_t>(flag)]);
    return {};
}

QVariant LabelWatchModel::toolTip(int rowIndex, int column) const {
    if (column != Interval || table_.row(static_cast<std::size_t>(rowIndex)).interval !=
                                  analysis::IntervalJudgement::Unseen)
        return {};
    return QStringLiteral("Слово этой метки может прийти с битами 17–32, равными нулю: так модуль "
                          "отмечает пустую ячейку, и такое слово не видно. Пропажа и интервал "
                          "этой метки не проверяются.");
}

double LabelWatchModel::secondsSinceChange(const analysis::LabelWatchRow& row) const {
    return static_cast<double>(nowMs_ - row.lastChangeMs) / 1000.0;
}

QVariant LabelWatchModel::displayText(int rowIndex, int column) const {
    const analysis::LabelWatchRow& row = table_.row(static_cast<std::size_t>(rowIndex));
    switch (column) {
    case Channel: return row.channelIndex + 1;
    case Label: return QStringLiteral("%1").arg(row.label, 3, 8, QLatin1Char('0'));
    case Sdi: return row.sdi < 0 ? QString() : QString::number(row.sdi);
    case Name: return row.definition != nullptr ? textsOf(*row.definition).name : QString();
    case SsmMeaning:
        return row.definition != nullptr && row.changes != 0
                   ? ssmMeaningText(row.definition->encoding, labels::wordSsm(row.word))
                   : QString();
    case Value: return valueText(row);
    case Interval: return intervalText(table_, static_cast<std::size_t>(rowIndex));
    case Flags: return flagWords(row.flags);
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
    case Least: return row.hasRange ? boundText(row, row.least) : QString();
    case Greatest: return row.hasRange ? boundText(row, row.greatest) : QString();
    default: return {};
    }
}

// A screenful of these is painted at every tick: a number goes straight into the one text
// it makes.
QString LabelWatchModel::valueText(const analysis::LabelWatchRow& row) const {
    if (row.definition == nullptr || row.changes == 0)
        return {};
    const DefinitionTexts& texts = textsOf(*row.definition);
    const std::optional<std::int64_t> steps = labels::valueSteps(row.word, *row.definition);
    if (!steps)
        return QString::fromStdString(labels::engineeringText(row.word, *row.definition));
    std::array<char, labels::StepsFormat::kCapacity> number{};
    const std::size_t length = texts.steps.writeShown(number.data(), *steps);
    QString text;
    text.reserve(static_cast<qsizetype>(length) + texts.unitsAfterValue.size());
    text.append(QLatin1String(number.data(), static_cast<qsizetype>(length)));
    text.append(texts.unitsAfterValue);
    return text;
}

// A least or greatest value: by the database's resolution where the row has one, else as the
// format gave it.
QString LabelWatchModel::boundText(const analysis::LabelWatchRow& row, double value) const {
    if (row.definition == nullptr || !(row.definition->resolution > 0.0))
        return signedValueText(value);
    const auto steps = static_cast<std::int64_t>(std::llround(value / row.definition->resolution));
    return QString::fromStdString(textsOf(*row.definition).steps.shown(steps));
}

QVariant LabelWatchModel::sortValue(int rowIndex, int column) const {
    const analysis::LabelWatchRow& row = table_.row(static_cast<std::size_t>(rowIndex));
    switch (column) {
    case Channel: return row.channelIndex + 1;
    case Label: return row.label;
    case Sdi: return row.sdi;
    case Word: return row.word;
    case Ssm: return labels::wordSsm(row.word);
    case Value: {
        const std::optional<double> value =
            row.definition != nullptr && row.changes != 0
                ? labels::engineeringValue(row.word, *row.definition)
                : std::nullopt;
        return value ? QVariant(*value) : QVariant();
    }
    case Interval: {
        const std::optional<double> mean =
            table_.meanIntervalMs(static_cast<std::size_t>(rowIndex));
        return mean ? QVariant(*mean) : QVariant();
    }
    case Flags: return row.flags;
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

void LabelWatchModel::takeTick(const board::SharedState& state,
                               const reception::ChangedCells& changes, std::int64_t nowMs) {
    nowMs_ = nowMs;
    table_.takeTick(state, changes, formats_, nowMs);
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

const LabelWatchModel::DefinitionTexts& LabelWatchModel::textsOf(
    const labels::LabelDefinition& definition) const {
    return texts_[static_cast<std::size_t>(&definition - table_.database()->rows().data())];
}

void LabelWatchModel::setDatabase(std::shared_ptr<const labels::LabelDatabase> database) {
    texts_.clear();
    if (database)
        for (const labels::LabelDefinition& definition : database->rows())
            texts_.push_back(
                {qtext(definition.name),
                 definition.units.empty() || definition.encoding == labels::LabelEncoding::Disc
                     ? QString()
                     : QLatin1Char(' ') + qtext(definition.units),
                 labels::StepsFormat(definition.resolution)});
    beginResetModel();
    table_.setDatabase(std::move(database));
    shownRows_ = 0;
    endResetModel();
}

void LabelWatchModel::setStaleLimitMs(std::int64_t limitMs, std::int64_t nowMs) {
    nowMs_ = nowMs;
    table_.setStaleLimitMs(limitMs);
    timesChanged(0, shownRows_ - 1);
}

// Time alone moves these columns (the interval and the flags with it), so every row's may
// have changed.
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

void LabelWatchFilter::setFlaggedOnly(bool flaggedOnly) {
    source_.setFlaggedOnly(flaggedOnly);
    invalidateRowsFilter();
}

void LabelWatchFilter::renew() {
    if (source_.table().flaggedOnly())
        invalidateRowsFilter();
}

bool LabelWatchFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return source_.table().isShown(static_cast<std::size_t>(sourceRow));
}

} // namespace ui
