#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace transmission {

/// Time in nanoseconds on the schedule's own clock.
using ScheduleTime = std::int64_t;
inline constexpr ScheduleTime kNanosPerMs = 1'000'000;

/// One word of a periodic schedule: sent every `intervalMs`, which should stay within
/// [leastMs, greatestMs] (the database's transmit window, or the user's own).
struct ScheduledWord {
    std::uint32_t word = 0;
    double intervalMs = 0.0;
    std::optional<double> leastMs{};
    std::optional<double> greatestMs{};
    bool paused = false;
};

/// What a schedule achieves for one of its words.
struct WordTiming {
    std::uint64_t sent = 0;
    double lastIntervalMs = 0.0; // between its last two sendings
    double shortestMs = 0.0;     // of the intervals since it started
    double longestMs = 0.0;
    bool outsideWindow = false; // some interval fell outside [leastMs, greatestMs]
};

/// How a schedule that cannot keep every word inside its window is taken.
enum class ScheduleMode : std::uint8_t {
    Strict,     // refused
    BestEffort, // sent, and the words outside their window are flagged
};

/// Why a schedule was refused, or nothing.
struct ScheduleCheck {
    bool ok = true;
    double busLoadPercent = 0.0;
    std::string why;
};

/// @brief Bus time of a word at an output's rate code: 32 bits and a 4-bit gap.
[[nodiscard]] ScheduleTime wordBusTime(std::uint8_t rateCode);

/// @brief The share of the bus the words take at their intervals, in %.
[[nodiscard]] double busLoadPercent(std::span<const ScheduledWord> words, std::uint8_t rateCode);

/// @brief Whether the schedule can be sent: the bus carries it (load at most 100 %), every
/// interval is positive, and in strict mode every word stays within its window when the
/// schedule is played on a clock of its own (bursts waiting for each other), with a
/// millisecond to spare for the timer.
[[nodiscard]] ScheduleCheck checkSchedule(std::span<const ScheduledWord> words,
                                          std::uint8_t rateCode, ScheduleMode mode);

/// @brief The timing of a periodic transmit schedule on one output, apart from any clock or
/// board: told the time, it says which words go out now as one burst and when to look again.
///
/// Word k of an entry is due at start + its stagger + k × interval, an absolute deadline (the
/// words start one word time apart), so the timing
/// never drifts however late a look comes; a word more than a whole interval late skips to its
/// next deadline rather than bursting to catch up. Words due within the same millisecond go
/// in one burst (at most 256 words, the board's array). No burst starts while the last one is
/// still on the bus: the board abandons a single transmission that a new one starts.
class BurstSchedule {
public:
    static constexpr std::size_t kMaxBurst = 256;
    static constexpr ScheduleTime kSameBurstNs = kNanosPerMs;

    BurstSchedule(std::span<const ScheduledWord> words, std::uint8_t rateCode, ScheduleTime start);

    /// The words due at `now` (empty when none is, or the bus is still busy); once they are
    /// handed to the board, call sent().
    [[nodiscard]] std::span<const std::uint32_t> dueAt(ScheduleTime now);
    /// The burst dueAt() gave went out at `now`: the bus is busy for its length.
    void sent(ScheduleTime now);
    /// When to look again: the next deadline, or the end of the burst on the bus.
    [[nodiscard]] ScheduleTime nextLook() const;

    /// Changes a word or its interval while the schedule runs: from its next deadline on.
    void setWord(std::size_t index, std::uint32_t word);
    void setInterval(std::size_t index, double intervalMs, ScheduleTime now);
    void setPaused(std::size_t index, bool paused, ScheduleTime now);

    [[nodiscard]] std::size_t size() const { return entries_.size(); }
    [[nodiscard]] const ScheduledWord& word(std::size_t index) const {
        return entries_[index].scheduled;
    }
    [[nodiscard]] const WordTiming& timing(std::size_t index) const {
        return entries_[index].timing;
    }

private:
    struct Entry {
        ScheduledWord scheduled;
        ScheduleTime interval = 1; // in nanoseconds, rounded once rather than at every look
        ScheduleTime phase = 0;    // the deadlines are phase + k × interval
        std::uint64_t next = 0;    // k of the next deadline
        ScheduleTime lastSentAt = -1;
        WordTiming timing;
        bool inBurst = false;
    };

    [[nodiscard]] ScheduleTime deadline(const Entry& entry) const;
    [[nodiscard]] static ScheduleTime intervalNs(const ScheduledWord& word);
    void note(Entry& entry, ScheduleTime now);

    std::vector<Entry> entries_;
    std::vector<std::uint32_t> burst_;
    ScheduleTime wordTime_;
    ScheduleTime busFreeAt_ = 0;
};

} // namespace transmission
