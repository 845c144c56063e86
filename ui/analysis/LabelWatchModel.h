#pragma once

#include "analysis/label_watch.h"
#include "reception/format_lookup.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <cstdint>

namespace ui {

/// @brief The label watch's rows: one per (input channel, label) seen. Texts are formatted
/// only when a view asks for them; a tick signals the rows it changed, inserts the new ones
/// and renews the time columns of the others, never a reset.
class LabelWatchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Channel,
        Label,
        Word,
        Ssm,
        Decimal,
        Changes,
        SinceChange,
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

    void takeTick(const reception::ChangedCells& changes, std::int64_t nowMs);
    void clear();
    void setStaleLimitMs(std::int64_t limitMs, std::int64_t nowMs);
    /// 0 shows every channel, 1..8 one channel; the filter asks the table.
    void setChannelFilter(int channelNo) { table_.setChannelFilter(channelNo); }

private:
    [[nodiscard]] QVariant displayText(int rowIndex, int column) const;
    [[nodiscard]] QVariant sortValue(int rowIndex, int column) const;
    [[nodiscard]] double secondsSinceChange(const analysis::LabelWatchRow& row) const;
    /// The time columns of rows [firstRow, lastRow]; nothing when the range is empty.
    void timesChanged(int firstRow, int lastRow);

    analysis::LabelWatchTable table_;
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

protected:
    [[nodiscard]] bool filterAcceptsRow(int sourceRow,
                                        const QModelIndex& sourceParent) const override;

private:
    LabelWatchModel& source_;
};

} // namespace ui
