#pragma once

#include "analysis/label_watch.h"
#include "labels/value_text.h"
#include "reception/format_lookup.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace ui {

/// @brief The label watch's rows: one per (input channel, label) seen, or per SDI where the
/// label database tells them apart. Texts are formatted only when a view asks for them; a
/// tick signals the rows it changed, inserts the new ones and renews the time columns (and
/// the checks that time moves) of the others, never a reset. With a database the flags of
/// each row have a colour and a word each.
class LabelWatchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Channel,
        Label,
        Sdi,
        Name,
        Word,
        Ssm,
        SsmMeaning,
        Decimal,
        Value,
        Changes,
        SinceChange, // from here to Stale the columns time alone moves
        Interval,
        Flags,
        Stale,
        ParityErrors,
        Least,
        Greatest,
        ColumnCount
    };
    /// Numbers to sort by, where the text would sort wrongly.
    static constexpr int kSortRole = Qt::UserRole;

    LabelWatchModel(const reception::AllChannelsFormatLookup& formats, std::int64_t nowMs,
                    QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

    [[nodiscard]] const analysis::LabelWatchTable& table() const { return table_; }

    void takeTick(const board::SharedState& state, const reception::ChangedCells& changes,
                  std::int64_t nowMs);
    void clear();
    /// Checks against `database` (none: no checks); the rows start again.
    void setDatabase(std::shared_ptr<const labels::LabelDatabase> database);
    void setStaleLimitMs(std::int64_t limitMs, std::int64_t nowMs);
    /// 0 shows every channel, 1..8 one channel; the filter asks the table.
    void setChannelFilter(int channelNo) { table_.setChannelFilter(channelNo); }
    void setFlaggedOnly(bool flaggedOnly) { table_.setFlaggedOnly(flaggedOnly); }

private:
    [[nodiscard]] QVariant displayText(int rowIndex, int column) const;
    [[nodiscard]] QVariant sortValue(int rowIndex, int column) const;
    [[nodiscard]] QVariant background(int rowIndex, int column) const;
    [[nodiscard]] QString valueText(const analysis::LabelWatchRow& row) const;
    [[nodiscard]] QString boundText(const analysis::LabelWatchRow& row, double value) const;
    [[nodiscard]] QVariant toolTip(int rowIndex, int column) const;
    [[nodiscard]] double secondsSinceChange(const analysis::LabelWatchRow& row) const;
    /// The time columns of rows [firstRow, lastRow]; nothing when the range is empty.
    void timesChanged(int firstRow, int lastRow);

    /// Texts of a database row made once, so that painting a row allocates less.
    struct DefinitionTexts {
        QString name;
        QString unitsAfterValue; // " units", or empty
        labels::StepsFormat steps;
    };
    [[nodiscard]] const DefinitionTexts& textsOf(const labels::LabelDefinition& definition) const;

    analysis::LabelWatchTable table_;
    std::vector<DefinitionTexts> texts_; // by the database's row

    const reception::AllChannelsFormatLookup& formats_;
    std::int64_t nowMs_;
    int shownRows_ = 0; // the table's rows the views have been told of
};

/// @brief Sorts the watch and shows the rows of the chosen channel.
class LabelWatchFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit LabelWatchFilter(LabelWatchModel& source, QObject* parent = nullptr);
    /// 0 shows every channel, 1..8 one channel.
    void setChannel(int channelNo);
    /// Flagged rows only; the flags change with time, so the filter is renewed every tick.
    void setFlaggedOnly(bool flaggedOnly);
    void renew();

protected:
    [[nodiscard]] bool filterAcceptsRow(int sourceRow,
                                        const QModelIndex& sourceParent) const override;

private:
    LabelWatchModel& source_;
};

} // namespace ui
