#pragma once

#include "reception/changed_cells.h"
#include "reception/format_lookup.h"

#include "board/records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

/// What the watch knows of one label on one input channel.
struct LabelWatchRow {
    std::uint8_t channelIndex = 0; // 0-based input channel
    std::uint8_t label = 0;
    std::uint32_t word = 0;         // the last word of this label
    std::uint32_t changes = 0;      // words that differed from the one before, the first included
    std::uint32_t parityErrors = 0; // of those words, the ones without odd parity
    std::int64_t lastChangeMs = 0;
    bool hasRange = false; // a format gave at least one value
    double least = 0.0;
    double greatest = 0.0;
};

/// Consecutive rows [first, last].
struct RowRun {
    std::size_t first = 0;
    std::size_t last = 0;
};

/// @brief One row per (input channel, label) seen since the table was made or cleared, fed
/// with the cells each tick changed. Rows keep the order in which their labels first came.
///
/// A word counts as a change of its label when it differs from the label's last word: in
/// file mode the same word landing in another cell is no change. Words are taken in the order
/// they arrived, so that the last word is the newest also when file mode wrapped round. Once rows
/// exist a tick allocates nothing: every buffer is sized for all 2048 rows when the table is made.
class LabelWatchTable {
public:
    static constexpr std::size_t kCapacity =
        static_cast<std::size_t>(board::kMaxChannels) * board::kInputBufferCells;
    static constexpr std::int64_t kDefaultStaleLimitMs = 2000;

    LabelWatchTable();

    /// Takes one tick's changes at `nowMs`, decoding values through each channel's formats.
    void takeTick(const reception::ChangedCells& changes,
                  const reception::AllChannelsFormatLookup& formats, std::int64_t nowMs);
    /// Forgets every row; rows come again as their labels are seen.
    void clear();

    [[nodiscard]] std::size_t size() const { return rows_.size(); }
    [[nodiscard]] const LabelWatchRow& row(std::size_t index) const { return rows_[index]; }

    /// Rows that were there before the last tick and changed in it, as runs of consecutive
    /// rows in ascending order.
    [[nodiscard]] std::span<const RowRun> changedRuns() const { return changedRuns_; }
    /// The row count before the last tick: rows from this one on came with it.
    [[nodiscard]] std::size_t rowsBeforeTick() const { return rowsBeforeTick_; }

    void setStaleLimitMs(std::int64_t limitMs) { staleLimitMs_ = limitMs; }
    [[nodiscard]] std::int64_t staleLimitMs() const { return staleLimitMs_; }
    /// Unchanged for longer than the limit.
    [[nodiscard]] bool isStale(std::size_t index, std::int64_t nowMs) const {
        return nowMs - rows_[index].lastChangeMs > staleLimitMs_;
    }

    /// 0 shows every channel, 1..8 one channel by its number.
    void setChannelFilter(int channelNo) { channelFilter_ = channelNo; }
    [[nodiscard]] int channelFilter() const { return channelFilter_; }
    [[nodiscard]] bool isShown(std::size_t index) const {
        return channelFilter_ == 0 || rows_[index].channelIndex + 1 == channelFilter_;
    }

private:
    static constexpr std::int16_t kNoRow = -1;

    std::size_t rowFor(const reception::CellChange& change, std::int64_t nowMs);
    void collectChangedRuns();

    std::vector<LabelWatchRow> rows_;
    std::array<std::array<std::int16_t, board::kInputBufferCells>, board::kMaxChannels> rowOf_{};
    std::vector<std::uint8_t> changedThisTick_; // per row, 1 when the tick changed it
    std::vector<RowRun> changedRuns_;
    std::size_t rowsBeforeTick_ = 0;
    std::int64_t staleLimitMs_ = kDefaultStaleLimitMs;
    int channelFilter_ = 0;
};

} // namespace analysis
