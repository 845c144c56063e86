#include "analysis/label_watch.h"

#include "analysis/arrival_order.h"
#include "analysis/word_fields.h"
#include "reception/decimal_decode.h"

#include <algorithm>

namespace analysis {

LabelWatchTable::LabelWatchTable() {
    rows_.reserve(kCapacity);
    changedThisTick_.reserve(kCapacity);
    // At most every other row changes in a run of its own.
    changedRuns_.reserve(kCapacity / 2 + 1);
    clear();
}

void LabelWatchTable::clear() {
    rows_.clear();
    changedThisTick_.clear();
    changedRuns_.clear();
    rowsBeforeTick_ = 0;
    for (auto& channel : rowOf_)
        channel.fill(kNoRow);
}

std::size_t LabelWatchTable::rowFor(const reception::CellChange& change, std::int64_t nowMs) {
    const unsigned label = wordLabel(change.word);
    std::int16_t& index = rowOf_[change.channelIndex % board::kMaxChannels][label];
    if (index == kNoRow) {
        index = static_cast<std::int16_t>(rows_.size());
        LabelWatchRow& row = rows_.emplace_back();
        row.channelIndex = change.channelIndex;
        row.label = static_cast<std::uint8_t>(label);
        row.lastChangeMs = nowMs;
        changedThisTick_.push_back(0);
    }
    return static_cast<std::size_t>(index);
}

void LabelWatchTable::takeTick(const reception::ChangedCells& changes,
                               const reception::AllChannelsFormatLookup& formats,
                               std::int64_t nowMs) {
    rowsBeforeTick_ = rows_.size();
    forEachInArrivalOrder(changes, [&](const reception::CellChange& change) {
        const std::size_t index = rowFor(change, nowMs);
        LabelWatchRow& row = rows_[index];
        if (row.changes != 0 && row.word == change.word)
            return;
        row.word = change.word;
        ++row.changes;
        if (!hasOddParity(change.word))
            ++row.parityErrors;
        row.lastChangeMs = nowMs;
        changedThisTick_[index] = 1;

        const auto& format =
            formats.channels[change.channelIndex % board::kMaxChannels].slots[row.label];
        if (const std::optional<reception::DecimalValue> value =
                reception::decimalValueWith(change.word, format)) {
            const double number = value->signedValue();
            row.least = row.hasRange ? std::min(row.least, number) : number;
            row.greatest = row.hasRange ? std::max(row.greatest, number) : number;
            row.hasRange = true;
        }
    });
    collectChangedRuns();
}

void LabelWatchTable::collectChangedRuns() {
    changedRuns_.clear();
    bool inRun = false;
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        const bool changed = changedThisTick_[index] != 0 && index < rowsBeforeTick_;
        changedThisTick_[index] = 0;
        if (changed && inRun)
            changedRuns_.back().last = index;
        else if (changed)
            changedRuns_.push_back({index, index});
        inRun = changed;
    }
}

} // namespace analysis
