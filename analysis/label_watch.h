#pragma once

#include "analysis/label_checks.h"
#include "labels/label_database.h"
#include "reception/changed_cells.h"
#include "reception/format_lookup.h"

#include "board/records.h"
#include "board/shared_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace analysis {

/// What the watch knows of one label (and SDI, where the database tells them apart) on one
/// input channel.
struct LabelWatchRow {
    std::uint8_t channelIndex = 0; // 0-based input channel
    std::uint8_t label = 0;
    std::int8_t sdi = -1;           // -1: the row takes every SDI its database row does
    std::uint32_t word = 0;         // the last word of this label
    std::uint32_t changes = 0;      // words that differed from the one before, the first included
    std::uint32_t parityErrors = 0; // of those words, the ones without odd parity
    std::int64_t lastChangeMs = 0;
    std::int64_t lastSeenMs = 0; // a change, or a cell that held its word where words are counted
    std::int64_t createdMs = 0;  // since when the row can have been seen
    bool hasRange = false;       // a value was decoded at least once
    double least = 0.0;
    double greatest = 0.0;
    const labels::LabelDefinition* definition = nullptr; // the database's row, if any
    bool outOfRange = false;                             // the last word, by the definition
    bool abnormalSsm = false;                            // the last word, by the definition
    bool unseen = false; // by its definition, valid words may look like an empty cell
    // Words counted since countingSinceMs (where every word shows), as of the channel's last
    // proven tick: `words` surely its own, `maybeWords` cells that held its word and may have
    // taken it again or a word the board cannot show.
    std::uint32_t words = 0;
    std::uint32_t maybeWords = 0;
    std::int64_t countingSinceMs = 0;
    std::uint32_t countingEpoch = 0; // the channel's counting the words belong to
    // The same counts with those of ticks not yet proven, and the channel's tick they reach.
    std::uint32_t counted = 0;
    std::uint32_t maybeCounted = 0;
    std::uint32_t countedTick = 0;
    std::uint8_t flags = 0; // LabelFlag bits as of the last tick
    IntervalJudgement interval = IntervalJudgement::CannotTell;
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
/// exist a tick allocates nothing: every buffer is sized for all rows when the table is made.
///
/// With a label database a label's words are kept apart by the database row that decodes them
/// (per SDI where rows name one); rows are checked against the database at every tick
/// (LabelFlag), and labels the database expects on a running channel get a row before they are
/// seen. Given the shared state, a channel in file mode whose tick is too short for 256 words
/// can show every word: there the words are counted, so that the watch can judge their
/// interval and see a label missing. A count is trusted only as far as it is proven: a word
/// that repeats the one in its cell changes nothing, so the cells after a tick's last change
/// may have taken words or not. The next tick proves it when its first change lands exactly
/// where the next word goes, before the buffer could have gone round; until then the
/// judgement rests on the ticks proven, and a tick that cannot be proven starts the count
/// again, showing «не видно» meanwhile.
class LabelWatchTable {
public:
    static constexpr std::size_t kCapacity =
        static_cast<std::size_t>(board::kMaxChannels) * board::kInputBufferCells * 4;
    static constexpr std::int64_t kDefaultStaleLimitMs = 2000;

    LabelWatchTable();

    /// Takes one tick's changes at `nowMs`, decoding values through each channel's formats.
    void takeTick(const reception::ChangedCells& changes,
                  const reception::AllChannelsFormatLookup& formats, std::int64_t nowMs);
    /// The same, also counting words and checking the database with what `state` shows.
    void takeTick(const board::SharedState& state, const reception::ChangedCells& changes,
                  const reception::AllChannelsFormatLookup& formats, std::int64_t nowMs);
    /// Forgets every row; rows come again as their labels are seen.
    void clear();

    /// Checks against `database` from now on (none: no checks); forgets every row.
    void setDatabase(std::shared_ptr<const labels::LabelDatabase> database);
    [[nodiscard]] const labels::LabelDatabase* database() const { return database_.get(); }

    [[nodiscard]] std::size_t size() const { return rows_.size(); }
    [[nodiscard]] const LabelWatchRow& row(std::size_t index) const { return rows_[index]; }

    /// Rows that were there before the last tick and changed in it, as runs of consecutive
    /// rows in ascending order.
    [[nodiscard]] std::span<const RowRun> changedRuns() const { return changedRuns_; }
    /// The row count before the last tick: rows from this one on came with it.
    [[nodiscard]] std::size_t rowsBeforeTick() const { return rowsBeforeTick_; }
    /// The mean time between the row's counted words, when there are any.
    [[nodiscard]] std::optional<double> meanIntervalMs(std::size_t index) const;

    void setStaleLimitMs(std::int64_t limitMs) { staleLimitMs_ = limitMs; }
    [[nodiscard]] std::int64_t staleLimitMs() const { return staleLimitMs_; }
    /// Unchanged for longer than the limit.
    [[nodiscard]] bool isStale(std::size_t index, std::int64_t nowMs) const {
        return nowMs - rows_[index].lastChangeMs > staleLimitMs_;
    }

    /// 0 shows every channel, 1..8 one channel by its number.
    void setChannelFilter(int channelNo);
    [[nodiscard]] int channelFilter() const { return channelFilter_; }
    /// Shows flagged rows only.
    void setFlaggedOnly(bool flaggedOnly) { flaggedOnly_ = flaggedOnly; }
    [[nodiscard]] bool flaggedOnly() const { return flaggedOnly_; }
    [[nodiscard]] bool isShown(std::size_t index) const {
        const LabelWatchRow& row = rows_[index];
        return (channelFilter_ == 0 || row.channelIndex + 1 == channelFilter_) &&
               (!flaggedOnly_ || row.flags != 0);
    }
    /// The rows of the filter's channel (all channels when it shows all) as of the last tick.
    [[nodiscard]] const LabelWatchSummary& summary() const { return summary_; }

private:
    static constexpr std::int16_t kNoRow = -1;

    /// What the table follows of each input channel from tick to tick.
    struct ChannelTrack {
        std::uint16_t mode = board::SImodeStopped;
        std::uint32_t tick = 0; // the channel's ticks, for the rows' counts
        // File mode: the cell after the last change, and the tick that saw it. The next word
        // went there unless words that changed nothing followed.
        bool positionKnown = false;
        std::uint8_t nextCell = 0;
        std::uint32_t positionTick = 0;
        std::int64_t positionMs = 0;
        std::uint32_t epoch = 0; // counts every word while not 0
        std::int64_t epochSinceMs = 0;
        std::uint32_t provenTick = 0; // the counts are whole up to this tick
        std::int64_t provenMs = 0;
        // Words the board cannot show came: an empty cell among the written ones. Then, as
        // where the database expects a label whose words may look empty, a cell that kept
        // its word proves nothing.
        bool unseenWords = false;
        std::int64_t runningSinceMs = 0;
        bool expectedAdded = false;
    };

    /// How a word read from the cells counts where every word shows.
    enum class Count : std::uint8_t { None, Surely, Maybe };

    void beginTick();
    void takeChannel(const board::SharedState& state,
                     std::span<const reception::CellChange> changes, unsigned channelIndex,
                     const reception::AllChannelsFormatLookup& formats, std::int64_t nowMs);
    void countRun(const board::InputBuffer& cells, std::span<const reception::CellChange> changes,
                  unsigned channelIndex, unsigned farthest,
                  const reception::AllChannelsFormatLookup& formats, std::int64_t nowMs);
    /// Takes the changes uncounted, in the order they arrived; the last one, if any.
    const reception::CellChange* takeUncounted(std::span<const reception::CellChange> changes,
                                               unsigned channelIndex,
                                               const reception::AllChannelsFormatLookup& formats,
                                               std::int64_t nowMs);
    void takeWord(unsigned channelIndex, std::uint32_t word, Count count,
                  const reception::AllChannelsFormatLookup& formats, std::int64_t nowMs);
    /// Brings the row's proven counts up to its channel's proven tick, or starts them afresh
    /// in a new counting.
    void settleCounts(LabelWatchRow& row) const;
    std::size_t rowFor(const labels::LabelKey& key, std::int64_t createdMs);
    [[nodiscard]] labels::LabelKey keyOf(unsigned channelIndex, std::uint32_t word) const;
    void addExpectedRows(unsigned channelIndex, std::int64_t nowMs);
    void checkRows(const board::SharedState* state, std::int64_t nowMs);
    [[nodiscard]] bool isMissing(const LabelWatchRow& row, const board::SharedState& state,
                                 std::int64_t nowMs) const;
    void collectChangedRuns();

    std::shared_ptr<const labels::LabelDatabase> database_;
    std::vector<LabelWatchRow> rows_;
    // Per channel and label, the row of each key SDI: -1, then 0..3.
    std::array<std::array<std::array<std::int16_t, 5>, board::kInputBufferCells>,
               board::kMaxChannels>
        rowOf_{};
    std::vector<std::uint8_t> changedThisTick_; // per row, 1 when the tick changed it
    std::vector<RowRun> changedRuns_;
    std::array<ChannelTrack, board::kMaxChannels> tracks_{};
    std::array<bool, board::kMaxChannels> expectsUnseen_{}; // by the database
    // Per channel, label and SDI, the SDI of the word's key: read for every word, so kept here
    // rather than looked up in the database.
    std::array<std::array<std::array<std::int8_t, 4>, board::kInputBufferCells>,
               board::kMaxChannels>
        keySdi_{};
    std::uint32_t lastEpoch_ = 0;
    std::int64_t lastTickMs_ = 0;
    bool hadTick_ = false;
    std::size_t rowsBeforeTick_ = 0;
    std::int64_t staleLimitMs_ = kDefaultStaleLimitMs;
    int channelFilter_ = 0;
    bool flaggedOnly_ = false;
    LabelWatchSummary summary_;
};

} // namespace analysis
