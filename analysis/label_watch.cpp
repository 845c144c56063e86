#include "analysis/label_watch.h"

#include "analysis/arrival_order.h"
#include "analysis/standard_decoding.h"
#include "analysis/word_fields.h"
#include "reception/decimal_decode.h"
#include "reception/refresh_tick.h"

#include <algorithm>
#include <limits>

namespace analysis {
namespace {

// The least time 256 words take at an input's rate code: 32 bits and a gap of at least 4 bit
// times each, at the fastest rate each item of the rate selector admits (14.5, 60 and
// 101 kbit/s). A tick shorter than that cannot have overwritten a cell that it did not show.
constexpr std::array<double, 3> kFastestBitsPerMs = {14.5, 60.0, 101.0};
constexpr double kBitsPerWord = 36.0;

[[nodiscard]] bool showsEveryWord(std::int64_t tickMs, std::uint8_t rateCode) {
    const double fastest = kFastestBitsPerMs[std::min<std::size_t>(rateCode, 2)];
    return static_cast<double>(tickMs) <
           static_cast<double>(board::kInputBufferCells) * kBitsPerWord / fastest;
}

/// One channel's changes, as forEachInArrivalOrder takes them.
struct ChangeRange {
    const reception::CellChange* first;
    const reception::CellChange* last;
    [[nodiscard]] const reception::CellChange* begin() const { return first; }
    [[nodiscard]] const reception::CellChange* end() const { return last; }
};

[[nodiscard]] bool matches(std::uint32_t word, const LabelWatchRow& row) {
    return reception::isReceivedWord(word) && wordLabel(word) == row.label &&
           (row.sdi < 0 || wordSdi(word) == static_cast<unsigned>(row.sdi));
}

} // namespace

LabelWatchTable::LabelWatchTable() {
    rows_.reserve(kCapacity);
    changedThisTick_.reserve(kCapacity);
    // At most every other row changes in a run of its own.
    changedRuns_.reserve(kCapacity / 2 + 1);
    clear();
}

void LabelWatchTable::clear() {
    rows_.clear();
    summary_ = {};
    changedThisTick_.clear();
    changedRuns_.clear();
    rowsBeforeTick_ = 0;
    tracks_.fill({});
    hadTick_ = false;
    for (auto& channel : rowOf_)
        for (auto& label : channel)
            label.fill(kNoRow);
}

void LabelWatchTable::setDatabase(std::shared_ptr<const LabelDatabase> database) {
    database_ = std::move(database);
    for (unsigned channel = 0; channel < board::kMaxChannels; ++channel)
        for (unsigned label = 0; label < board::kInputBufferCells; ++label)
            keyedBySdi_[channel][label] = database_ && database_->keyedBySdi(channel, label);
    clear();
}

LabelKey LabelWatchTable::keyOf(unsigned channelIndex, std::uint32_t word) const {
    channelIndex %= board::kMaxChannels;
    const unsigned label = wordLabel(word);
    return {static_cast<std::uint8_t>(channelIndex), static_cast<std::uint8_t>(label),
            keyedBySdi_[channelIndex][label] ? static_cast<std::int8_t>(wordSdi(word))
                                             : std::int8_t{-1}};
}

std::size_t LabelWatchTable::rowFor(const LabelKey& key, std::int64_t createdMs) {
    std::int16_t& index =
        rowOf_[key.channelIndex % board::kMaxChannels][key.label][key.sdi < 0 ? 0 : key.sdi & 3];
    if (index == kNoRow) {
        index = static_cast<std::int16_t>(rows_.size());
        LabelWatchRow& row = rows_.emplace_back();
        row.channelIndex = key.channelIndex;
        row.label = key.label;
        row.sdi = key.sdi;
        row.definition = database_ ? database_->find(key) : nullptr;
        row.lastChangeMs = createdMs;
        row.lastSeenMs = createdMs;
        row.createdMs = createdMs;
        changedThisTick_.push_back(0);
    }
    return static_cast<std::size_t>(index);
}

void LabelWatchTable::beginTick() { rowsBeforeTick_ = rows_.size(); }

void LabelWatchTable::takeTick(const reception::ChangedCells& changes,
                               const reception::AllChannelsFormatLookup& formats,
                               std::int64_t nowMs) {
    beginTick();
    forEachInArrivalOrder(changes, [&](const reception::CellChange& change) {
        takeWord(change.channelIndex, change.word, false, formats, nowMs);
    });
    checkRows(nullptr, nowMs);
    collectChangedRuns();
    lastTickMs_ = nowMs;
    hadTick_ = true;
}

void LabelWatchTable::takeTick(const board::SharedState& state,
                               const reception::ChangedCells& changes,
                               const reception::AllChannelsFormatLookup& formats,
                               std::int64_t nowMs) {
    beginTick();
    const reception::CellChange* at = changes.begin();
    for (unsigned channel = 0; channel < board::kMaxChannels; ++channel) {
        const reception::CellChange* first = at;
        while (at != changes.end() && at->channelIndex == channel)
            ++at;
        takeChannel(state, {first, static_cast<std::size_t>(at - first)}, channel, formats, nowMs);
    }
    checkRows(&state, nowMs);
    collectChangedRuns();
    lastTickMs_ = nowMs;
    hadTick_ = true;
}

void LabelWatchTable::takeChannel(const board::SharedState& state,
                                  std::span<const reception::CellChange> changes,
                                  unsigned channelIndex,
                                  const reception::AllChannelsFormatLookup& formats,
                                  std::int64_t nowMs) {
    ChannelTrack& track = tracks_[channelIndex];
    const std::uint16_t mode = state.SImode[channelIndex];
    if (mode != board::SImodeStopped && track.mode == board::SImodeStopped)
        track.runningSinceMs = nowMs;
    if (mode != track.mode) // a start in another mode begins again at cell 0
        track.positionKnown = false;
    const bool shortTick =
        hadTick_ && showsEveryWord(nowMs - lastTickMs_, state.FreqCodes.SIfreq[channelIndex]);
    const bool fileModeGoesOn = mode == board::SImodeFile && track.mode == board::SImodeFile &&
                                shortTick;
    const board::InputBuffer& cells = state.SIbuffer[channelIndex];

    // The cells this tick wrote run from the known position to the changed cell farthest
    // after it; those in between that did not change took the same word again.
    unsigned farthest = 0;
    for (const reception::CellChange& change : changes)
        farthest = std::max(farthest, (change.cell - track.nextCell) & 0xFFu);
    bool counted = fileModeGoesOn && track.positionKnown;
    for (unsigned step = 0; counted && !changes.empty() && step <= farthest; ++step)
        counted = reception::isReceivedWord(cells[(track.nextCell + step) & 0xFFu].word);

    if (counted) {
        if (track.epoch == 0) {
            track.epoch = ++lastEpoch_;
            track.epochSinceMs = lastTickMs_;
        }
        if (!changes.empty()) {
            for (unsigned step = 0; step <= farthest; ++step)
                takeWord(channelIndex, cells[(track.nextCell + step) & 0xFFu].word, true, formats,
                         nowMs);
            track.nextCell = static_cast<std::uint8_t>(track.nextCell + farthest + 1);
        }
    } else {
        // A stop, another mode, a long tick or a restart between ticks: what arrived cannot
        // be told word by word; the position is taken afresh from the cells that changed.
        track.epoch = 0;
        const reception::CellChange* last = nullptr;
        forEachInArrivalOrder(ChangeRange{changes.data(), changes.data() + changes.size()},
                              [&](const reception::CellChange& change) {
                                  takeWord(channelIndex, change.word, false, formats, nowMs);
                                  last = &change;
                              });
        // A tick without words keeps a position it knew.
        const bool fileModeShortTick = mode == board::SImodeFile && shortTick;
        track.positionKnown = fileModeShortTick &&
                              (last != nullptr || (track.positionKnown && changes.empty()));
        if (last != nullptr)
            track.nextCell = static_cast<std::uint8_t>(last->cell + 1);
    }
    track.mode = mode;
    if (mode == board::SImodeStopped)
        track = ChannelTrack{};
    else if (database_ && !track.expectedAdded) {
        addExpectedRows(channelIndex, nowMs);
        track.expectedAdded = true;
    }
}

void LabelWatchTable::addExpectedRows(unsigned channelIndex, std::int64_t nowMs) {
    for (const LabelKey& key : database_->expectedOn(channelIndex))
        if (rows_.size() < kCapacity)
            rowFor(key, nowMs);
}

void LabelWatchTable::takeWord(unsigned channelIndex, std::uint32_t word, bool counted,
                               const reception::AllChannelsFormatLookup& formats,
                               std::int64_t nowMs) {
    // A word that arrived during the tick came after the tick before.
    const std::size_t index =
        rowFor(keyOf(channelIndex, word), hadTick_ ? std::min(lastTickMs_, nowMs) : nowMs);
    LabelWatchRow& row = rows_[index];
    row.lastSeenMs = nowMs;
    if (counted) {
        const ChannelTrack& track = tracks_[channelIndex % board::kMaxChannels];
        if (row.countingEpoch != track.epoch) {
            row.countingEpoch = track.epoch;
            row.words = 0;
            row.countingSinceMs = std::max(track.epochSinceMs, row.createdMs);
        }
        ++row.words;
    }
    if (row.changes != 0 && row.word == word)
        return;
    row.word = word;
    ++row.changes;
    if (!hasOddParity(word))
        ++row.parityErrors;
    row.lastChangeMs = nowMs;
    changedThisTick_[index] = 1;

    std::optional<double> value;
    if (row.definition != nullptr) {
        value = engineeringValue(word, *row.definition);
        row.outOfRange = isOutOfRange(value, *row.definition);
        row.abnormalSsm = !isNormalSsm(row.definition->encoding, wordSsm(word));
    } else if (const std::optional<reception::DecimalValue> decimal = reception::decimalValueWith(
                   word, formats.channels[channelIndex % board::kMaxChannels].slots[row.label])) {
        value = decimal->signedValue();
    }
    if (value) {
        row.least = row.hasRange ? std::min(row.least, *value) : *value;
        row.greatest = row.hasRange ? std::max(row.greatest, *value) : *value;
        row.hasRange = true;
    }
}

void LabelWatchTable::checkRows(const board::SharedState* state, std::int64_t nowMs) {
    summary_ = {};
    for (LabelWatchRow& row : rows_) {
        std::uint8_t flags = row.parityErrors != 0 ? kFlagParity : 0;
        row.interval = IntervalJudgement::CannotTell;
        if (database_ && row.definition == nullptr)
            flags |= kFlagUnknown;
        if (row.definition != nullptr && row.changes != 0) {
            flags |= row.outOfRange ? kFlagRange : 0;
            flags |= row.abnormalSsm ? kFlagSsm : 0;
        }
        if (row.definition != nullptr && state != nullptr) {
            const ChannelTrack& track = tracks_[row.channelIndex % board::kMaxChannels];
            if (track.epoch != 0) {
                const bool countedNow = row.countingEpoch == track.epoch;
                const std::int64_t since = countedNow ? row.countingSinceMs
                                                      : std::max(track.epochSinceMs, row.createdMs);
                row.interval =
                    judgeInterval(countedNow ? row.words : 0, nowMs - since, *row.definition);
            }
            if (row.interval == IntervalJudgement::TooOften ||
                row.interval == IntervalJudgement::TooSeldom)
                flags |= kFlagInterval;
            if (track.mode != board::SImodeStopped && isMissing(row, *state, nowMs))
                flags |= kFlagMissing;
        }
        row.flags = flags;
        if (channelFilter_ == 0 || row.channelIndex + 1 == channelFilter_)
            summary_.count(flags);
    }
}

bool LabelWatchTable::isMissing(const LabelWatchRow& row, const board::SharedState& state,
                                std::int64_t nowMs) const {
    const ChannelTrack& track = tracks_[row.channelIndex % board::kMaxChannels];
    const double limit = missingLimitMs(*row.definition, staleLimitMs_);
    if (track.epoch != 0)
        return static_cast<double>(nowMs - row.lastSeenMs) > limit;
    // Without every word in view a label seen once may still come unchanged; one never seen
    // may sit in the cells from before the watch looked.
    if (row.changes != 0)
        return false;
    const board::InputBuffer& cells = state.SIbuffer[row.channelIndex % board::kMaxChannels];
    if (std::any_of(cells.begin(), cells.end(),
                    [&](const board::InputCell& cell) { return matches(cell.word, row); }))
        return false;
    return static_cast<double>(nowMs - std::max(row.createdMs, track.runningSinceMs)) > limit;
}

std::optional<double> LabelWatchTable::meanIntervalMs(std::size_t index) const {
    const LabelWatchRow& row = rows_[index];
    const ChannelTrack& track = tracks_[row.channelIndex % board::kMaxChannels];
    if (track.epoch == 0 || row.countingEpoch != track.epoch || row.words == 0)
        return std::nullopt;
    return static_cast<double>(lastTickMs_ - row.countingSinceMs) / row.words;
}

void LabelWatchTable::setChannelFilter(int channelNo) {
    channelFilter_ = channelNo;
    summary_ = {};
    for (const LabelWatchRow& row : rows_)
        if (channelFilter_ == 0 || row.channelIndex + 1 == channelFilter_)
            summary_.count(row.flags);
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
