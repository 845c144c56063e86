#include "transmission/burst_schedule.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace transmission {
namespace {

// Bit times at rate codes 0, 1, 2 (12.5, 50, 100 kbit/s); a word is 32 bits and a 4-bit gap.
constexpr std::array<ScheduleTime, 3> kBitTimeNs = {80'000, 20'000, 10'000};
constexpr ScheduleTime kBitTimesPerWord = 36;
constexpr ScheduleTime kNever = std::numeric_limits<ScheduleTime>::max();
// How long a strict check plays the schedule: four of its longest intervals, within bounds.
constexpr double kStrictPlayMinMs = 2'000.0;
constexpr double kStrictPlayMaxMs = 60'000.0;

std::string labelText(std::uint32_t word) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%03o", static_cast<unsigned>(word & 0xFFu));
    return text.data();
}

std::string number(double value, int decimals) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    return text.data();
}

} // namespace

ScheduleTime wordBusTime(std::uint8_t rateCode) {
    return kBitTimeNs[std::min<std::size_t>(rateCode, kBitTimeNs.size() - 1)] * kBitTimesPerWord;
}

double busLoadPercent(std::span<const ScheduledWord> words, std::uint8_t rateCode) {
    const auto wordMs = static_cast<double>(wordBusTime(rateCode)) / kNanosPerMs;
    double load = 0.0;
    for (const ScheduledWord& word : words)
        if (!word.paused && word.intervalMs > 0.0)
            load += wordMs / word.intervalMs;
    return load * 100.0;
}

ScheduleCheck checkSchedule(std::span<const ScheduledWord> words, std::uint8_t rateCode,
                            ScheduleMode mode) {
    ScheduleCheck check;
    for (const ScheduledWord& word : words)
        if (!(word.intervalMs > 0.0) || !std::isfinite(word.intervalMs))
            return {false, 0.0, "метка " + labelText(word.word) + ": интервал не больше нуля"};
    check.busLoadPercent = busLoadPercent(words, rateCode);
    if (check.busLoadPercent > 100.0)
        return {false, check.busLoadPercent,
                "нагрузка на шину " + number(check.busLoadPercent, 0) +
                    " %: канал столько не передаст"};
    if (mode == ScheduleMode::BestEffort || words.empty())
        return check;
    // Played on a clock of its own for long enough that every word goes out several times;
    // the timer may wake up to a millisecond late on top of what the bursts do.
    const double longestMs =
        std::max_element(words.begin(), words.end(), [](const auto& a, const auto& b) {
            return a.intervalMs < b.intervalMs;
        })->intervalMs;
    const auto playedFor = static_cast<ScheduleTime>(
        std::clamp(4.0 * longestMs, kStrictPlayMinMs, kStrictPlayMaxMs) * kNanosPerMs);
    BurstSchedule played(words, rateCode, 0);
    for (ScheduleTime now = 0; now < playedFor; now = played.nextLook()) {
        if (!played.dueAt(now).empty())
            played.sent(now);
    }
    constexpr double kTimerMs = 1.0;
    for (std::size_t index = 0; index < played.size(); ++index) {
        const ScheduledWord& word = words[index];
        const WordTiming& timing = played.timing(index);
        if (word.paused || timing.sent < 2)
            continue;
        if ((word.leastMs && timing.shortestMs - kTimerMs < *word.leastMs) ||
            (word.greatestMs && timing.longestMs + kTimerMs > *word.greatestMs))
            return {false, check.busLoadPercent,
                    "метка " + labelText(word.word) + ": интервал " + number(timing.shortestMs, 1) +
                        ".." + number(timing.longestMs, 1) + " мс выходит из окна " +
                        (word.leastMs ? number(*word.leastMs, 1) : std::string()) + ".." +
                        (word.greatestMs ? number(*word.greatestMs, 1) : std::string()) + " мс"};
    }
    return check;
}

BurstSchedule::BurstSchedule(std::span<const ScheduledWord> words, std::uint8_t rateCode,
                             ScheduleTime start)
    : wordTime_(wordBusTime(rateCode)) {
    entries_.reserve(words.size());
    // The words start one word time apart, so that they queue on the bus one after another
    // rather than pile into one long burst that holds the fast ones back.
    for (const ScheduledWord& word : words) {
        Entry& entry = entries_.emplace_back();
        entry.scheduled = word;
        entry.interval = intervalNs(word);
        entry.phase = start + static_cast<ScheduleTime>(entries_.size() - 1) * wordTime_;
    }
    burst_.reserve(kMaxBurst);
}

ScheduleTime BurstSchedule::intervalNs(const ScheduledWord& word) {
    return std::max<ScheduleTime>(1, std::llround(word.intervalMs * kNanosPerMs));
}

ScheduleTime BurstSchedule::deadline(const Entry& entry) const {
    return entry.phase + static_cast<ScheduleTime>(entry.next) * entry.interval;
}

std::span<const std::uint32_t> BurstSchedule::dueAt(ScheduleTime now) {
    burst_.clear();
    if (now < busFreeAt_)
        return {};
    for (Entry& entry : entries_) {
        entry.inBurst = false;
        if (entry.scheduled.paused || burst_.size() == kMaxBurst)
            continue;
        const ScheduleTime interval = entry.interval;
        // More than a whole interval late: the missed deadlines are let go.
        if (const ScheduleTime late = now - deadline(entry); late >= interval)
            entry.next += static_cast<std::uint64_t>(late / interval);
        if (deadline(entry) <= now + kSameBurstNs) {
            entry.inBurst = true;
            burst_.push_back(entry.scheduled.word);
        }
    }
    return burst_;
}

void BurstSchedule::sent(ScheduleTime now) {
    for (Entry& entry : entries_) {
        if (!entry.inBurst)
            continue;
        entry.inBurst = false;
        note(entry, now);
        ++entry.next;
    }
    busFreeAt_ = now + static_cast<ScheduleTime>(burst_.size()) * wordTime_;
    burst_.clear();
}

void BurstSchedule::note(Entry& entry, ScheduleTime now) {
    WordTiming& timing = entry.timing;
    if (entry.lastSentAt >= 0) {
        const double intervalMs = static_cast<double>(now - entry.lastSentAt) / kNanosPerMs;
        timing.lastIntervalMs = intervalMs;
        timing.shortestMs = timing.sent > 1 ? std::min(timing.shortestMs, intervalMs) : intervalMs;
        timing.longestMs = timing.sent > 1 ? std::max(timing.longestMs, intervalMs) : intervalMs;
        const ScheduledWord& word = entry.scheduled;
        timing.outsideWindow = timing.outsideWindow ||
                               (word.leastMs && intervalMs < *word.leastMs) ||
                               (word.greatestMs && intervalMs > *word.greatestMs);
    }
    entry.lastSentAt = now;
    ++timing.sent;
}

ScheduleTime BurstSchedule::nextLook() const {
    ScheduleTime next = kNever;
    for (const Entry& entry : entries_)
        if (!entry.scheduled.paused)
            next = std::min(next, deadline(entry));
    return next == kNever ? kNever : std::max(next, busFreeAt_);
}

void BurstSchedule::setWord(std::size_t index, std::uint32_t word) {
    entries_[index].scheduled.word = word;
}

void BurstSchedule::setInterval(std::size_t index, double intervalMs, ScheduleTime now) {
    Entry& entry = entries_[index];
    entry.scheduled.intervalMs = intervalMs;
    entry.interval = intervalNs(entry.scheduled);
    entry.phase = entry.lastSentAt >= 0 ? entry.lastSentAt : now;
    entry.next = entry.lastSentAt >= 0 ? 1 : 0;
}

void BurstSchedule::setPaused(std::size_t index, bool paused, ScheduleTime now) {
    Entry& entry = entries_[index];
    entry.scheduled.paused = paused;
    if (!paused) {
        entry.phase = now;
        entry.next = 0;
        entry.lastSentAt = -1; // a pause is no interval
    }
}

} // namespace transmission
