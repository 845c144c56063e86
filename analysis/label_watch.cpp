#include "analysis/label_watch.h"

#include "analysis/arrival_order.h"
#include "labels/standard_decoding.h"
#include "labels/word_fields.h"
#include "reception/decimal_decode.h"
#include "reception/refresh_tick.h"

#include <algorithm>
#include <bitset>
#include <limits>

namespace analysis {
namespace {

// The least time 256 words take at an input's rate code: 32 bits and a gap of at least 4 bit
// times each, at the fastest rate each item of the rate selector admits (14.5, 60 and
// 101 kbit/s). Within less than that the buffer cannot have gone round.
constexpr std::array<double, 3> kFastestBitsPerMs = {14.5, 60.0, 101.0};
constexpr double kBitsPerWord = 36.0;

[[nodiscard]] double fastestBitsPerMs(std::uint8_t rateCode) {
    return kFastestBitsPerMs[std::min<std::size_t>(rateCode, 2)];
}

[[nodiscard]] bool fitsInBuffer(std::int64_t spanMs, std::uint8_t rateCode) {
    return static_cast<double>(spanMs) < static_cast<double>(board::kInputBufferCells) *
                                             kBitsPerWord / fastestBitsPerMs(rateCode);
}

/// Whether `words` can have come within `spanMs`: at most one word begun before the span and
/// those the fastest rate fits in it.
[[nodiscard]] bool wordsFit(unsigned words, std::int64_t spanMs, std::uint8_t rateCode) {
    return static_cast<double>(words) <=
           static_cast<double>(spanMs) * fastestBitsPerMs(rateCode) / kBitsPerWord + 1.0;
}

[[nodiscard]] bool matches(std::uint32_t word, const LabelWatchRow& row) {
    return reception::isReceivedWord(word) && labels::wordLabel(word) == row.label &&
           (row.sdi < 0 || labels::wordSdi(word) == static_cast<unsigned>(row.sdi));
}

[[nodiscard]] unsigned cellsAfter(unsigned from, unsigned cell) { return (cell - from) & 0xFFu; }

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

void LabelWatchTable::setDatabase(std::shared_ptr<const labels::LabelDatabase> database) {
    database_ = std::move(database);
    for (unsigned channel = 0; channel < board::kMaxChannels; ++channel)
        for (unsigned label = 0; label < board::kInputBufferCells; ++label)
            for (unsigned sdi = 0; sdi < 4; ++sdi)
                keySdi_[channel][label][sdi] = database_ ? database_->keySdi(channel, label, sdi)
                                                         : std::int8_t{-1};
    for (unsigned channel = 0; channel < board::kMaxChannels; ++channel) {
        expectsUnseen_[channel] = false;
        if (database_)
            for (const labels::LabelKey& key : database_->expectedOn(channel))
                if (const labels::LabelDefinition* row = database_->find(key))
                    expectsUnseen_[channel] = expectsUnseen_[channel] || labels::canLookEmpty(*row);
    }
    clear();
}

labels::LabelKey LabelWatchTable::keyOf(unsigned channelIndex, std::uint32_t word) const {
    channelIndex %= board::kMaxChannels;
    const unsigned label = labels::wordLabel(word);
    return {static_cast<std::uint8_t>(channelIndex), static_cast<std::uint8_t>(label),
            keySdi_[channelIndex][label][labels::wordSdi(word)]};
}

std::size_t LabelWatchTable::rowFor(const labels::LabelKey& key, std::int64_t createdMs) {
    std::int16_t& index = rowOf_[key.channelIndex % board::kMaxChannels][key.label]
                                [key.sdi < 0 ? 0 : (key.sdi & 3) + 1];
    if (index == kNoRow) {
        index = static_cast<std::int16_t>(rows_.size());
        LabelWatchRow& row = rows_.emplace_back();
        row.channelIndex = key.channelIndex;
        row.label = key.label;
        row.sdi = key.sdi;
        row.definition = database_ ? database_->find(key) : nullptr;
        row.unseen = row.definition != nullptr && labels::canLookEmpty(*row.definition);
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
        takeWord(change.channelIndex, change.word, Count::None, formats, nowMs);
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
    const std::uint8_t rateCode = state.FreqCodes.SIfreq[channelIndex];
    const board::InputBuffer& cells = state.SIbuffer[channelIndex];
    if (mode != board::SImodeStopped && track.mode == board::SImodeStopped)
        track.runningSinceMs = nowMs;
    if (mode != track.mode) { // a start in another mode begins again at cell 0
        track.positionKnown = false;
        track.unseenWords = false;
    }
    // A start in the same mode between two ticks clears the cells: the last change is gone.
    if (track.positionKnown && !reception::isReceivedWord(cells[(track.nextCell - 1) & 0xFFu].word))
        track.positionKnown = false;
    ++track.tick;
    const bool shortTick = hadTick_ && fitsInBuffer(nowMs - lastTickMs_, rateCode);
    const std::int64_t sincePositionMs = nowMs - track.positionMs;

    const reception::CellChange* last = nullptr;
    if (mode != board::SImodeFile || !shortTick) {
        // Not every word shows: what arrived cannot be told word by word.
        track.epoch = 0;
        track.positionKnown = false;
        (void)takeUncounted(changes, channelIndex, formats, nowMs);
    } else if (changes.empty()) {
        // No word came, or only words that changed nothing: a change later, right where the
        // next word goes, tells which, unless the buffer may have gone round meanwhile.
        if (track.positionKnown && !fitsInBuffer(sincePositionMs, rateCode))
            track.positionKnown = false;
        if (!track.positionKnown)
            track.epoch = 0;
    } else if (!track.positionKnown) {
        track.epoch = 0;
        last = takeUncounted(changes, channelIndex, formats, nowMs);
    } else {
        unsigned first = board::kInputBufferCells;
        unsigned farthest = 0;
        const reception::CellChange* farthestChange = &changes.front();
        for (const reception::CellChange& change : changes) {
            const unsigned after = cellsAfter(track.nextCell, change.cell);
            first = std::min(first, after);
            if (after >= farthest) {
                farthest = after;
                farthestChange = &change;
            }
        }
        // The first change where the next word goes shows that nothing came after the last
        // tick's last change; then every cell up to this tick's farthest change took a word.
        const bool proven = first == 0 && fitsInBuffer(sincePositionMs, rateCode) &&
                            wordsFit(farthest + 1, sincePositionMs, rateCode);
        if (proven) {
            if (track.epoch == 0) {
                track.epoch = ++lastEpoch_;
                track.epochSinceMs = track.positionMs;
            }
            track.provenTick = track.positionTick;
            track.provenMs = track.positionMs;
            countRun(cells, changes, channelIndex, farthest, formats, nowMs);
            last = farthestChange;
        } else {
            track.epoch = 0;
            last = takeUncounted(changes, channelIndex, formats, nowMs);
        }
    }
    if (last != nullptr) {
        track.positionKnown = true;
        track.nextCell = static_cast<std::uint8_t>(last->cell + 1);
        track.positionTick = track.tick;
        track.positionMs = nowMs;
    }
    track.mode = mode;
    if (mode == board::SImodeStopped)
        track = ChannelTrack{};
    else if (database_ && !track.expectedAdded) {
        addExpectedRows(channelIndex, nowMs);
        track.expectedAdded = true;
    }
}

void LabelWatchTable::countRun(const board::InputBuffer& cells,
                               std::span<const reception::CellChange> changes,
                               unsigned channelIndex, unsigned farthest,
                               const reception::AllChannelsFormatLookup& formats,
                               std::int64_t nowMs) {
    ChannelTrack& track = tracks_[channelIndex];
    std::bitset<board::kInputBufferCells> changed;
    for (const reception::CellChange& change : changes)
        changed.set(change.cell);
    // Every cell of the run took a word; an empty one took a word the board cannot show.
    for (unsigned step = 0; step <= farthest; ++step)
        if (!reception::isReceivedWord(cells[(track.nextCell + step) & 0xFFu].word))
            track.unseenWords = true;
    const Count kept = track.unseenWords || expectsUnseen_[channelIndex] ? Count::Maybe
                                                                         : Count::Surely;
    for (unsigned step = 0; step <= farthest; ++step) {
        const unsigned cell = (track.nextCell + step) & 0xFFu;
        if (reception::isReceivedWord(cells[cell].word))
            takeWord(channelIndex, cells[cell].word, changed.test(cell) ? Count::Surely : kept,
                     formats, nowMs);
    }
}

const reception::CellChange* LabelWatchTable::takeUncounted(
    std::span<const reception::CellChange> changes, unsigned channelIndex,
    const reception::AllChannelsFormatLookup& formats, std::int64_t nowMs) {
    const reception::CellChange* last = nullptr;
    forEachInArrivalOrder(ChangeRange{changes.data(), changes.data() + changes.size()},
                          [&](const reception::CellChange& change) {
                              takeWord(channelIndex, change.word, Count::None, formats, nowMs);
                              last = &change;
                          });
    return last;
}

void LabelWatchTable::addExpectedRows(unsigned channelIndex, std::int64_t nowMs) {
    for (const labels::LabelKey& key : database_->expectedOn(channelIndex))
        if (rows_.size() < kCapacity)
            rowFor(key, nowMs);
}

void LabelWatchTable::settleCounts(LabelWatchRow& row) const {
    const ChannelTrack& track = tracks_[row.channelIndex % board::kMaxChannels];
    if (row.countingEpoch != track.epoch) {
        row.countingEpoch = track.epoch;
        row.words = row.maybeWords = row.counted = row.maybeCounted = 0;
        row.countingSinceMs = std::max(track.epochSinceMs, row.createdMs);
    } else if (row.countedTick <= track.provenTick) {
        row.words = row.counted;
        row.maybeWords = row.maybeCounted;
    }
}

void LabelWatchTable::takeWord(unsigned channelIndex, std::uint32_t word, Count count,
                               const reception::AllChannelsFormatLookup& formats,
                               std::int64_t nowMs) {
    // A word that arrived during the tick came after the tick before.
    const std::size_t index =
        rowFor(keyOf(channelIndex, word), hadTick_ ? std::min(lastTickMs_, nowMs) : nowMs);
    LabelWatchRow& row = rows_[index];
    row.lastSeenMs = nowMs;
    if (count != Count::None) {
        settleCounts(row);
        ++(count == Count::Surely ? row.counted : row.maybeCounted);
        row.countedTick = tracks_[channelIndex % board::kMaxChannels].tick;
    }
    // A cell that may hold an old word is no news of the label's value.
    if (count == Count::Maybe || (row.changes != 0 && row.word == word))
        return;
    row.word = word;
    ++row.changes;
    if (!labels::hasOddParity(word))
        ++row.parityErrors;
    row.lastChangeMs = nowMs;
    changedThisTick_[index] = 1;

    std::optional<double> value;
    bool judged = true;
    if (row.definition != nullptr) {
        const unsigned ssm = labels::wordSsm(word);
        const std::optional<std::int64_t> steps = labels::valueSteps(word, *row.definition);
        row.outOfRange = labels::isOutOfRange(steps, ssm, *row.definition);
        row.abnormalSsm = !labels::isNormalSsm(row.definition->encoding, ssm);
        // Under failure warning or without computed data the bits are no value.
        judged = labels::ssmCarriesData(row.definition->encoding, ssm);
        if (steps)
            value = static_cast<double>(*steps) * row.definition->resolution;
    } else if (const std::optional<reception::DecimalValue> decimal = reception::decimalValueWith(
                   word, formats.channels[channelIndex % board::kMaxChannels].slots[row.label])) {
        value = decimal->signedValue();
    }
    if (value && judged) {
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
        const ChannelTrack& track = tracks_[row.channelIndex % board::kMaxChannels];
        if (state != nullptr && track.epoch != 0)
            settleCounts(row);
        if (row.definition != nullptr && state != nullptr) {
            if (row.unseen)
                row.interval = IntervalJudgement::Unseen;
            else if (track.epoch != 0)
                row.interval = judgeInterval(row.words, row.maybeWords,
                                             track.provenMs - row.countingSinceMs, *row.definition);
            if (row.interval == IntervalJudgement::TooOften ||
                row.interval == IntervalJudgement::TooSeldom)
                flags |= kFlagInterval;
            if (track.mode != board::SImodeStopped && !row.unseen && isMissing(row, *state, nowMs))
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
    // Absent for longer than the limit where every word up to the proven tick was counted.
    if (track.epoch != 0)
        return static_cast<double>(track.provenMs - row.lastSeenMs) > limit;
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
    return static_cast<double>(track.provenMs - row.countingSinceMs) / row.words;
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
