#pragma once

#include "labels/label_definition.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace analysis {

// What the label watch flags against the label database, each shown with a colour and a word.
enum LabelFlag : std::uint8_t {
    kFlagRange = 1u << 0,    // the value lies outside the least and greatest valid values
    kFlagSsm = 1u << 1,      // the SSM says other than normal operation
    kFlagParity = 1u << 2,   // a word without odd parity came
    kFlagMissing = 1u << 3,  // expected on a running channel and not seen for too long
    kFlagUnknown = 1u << 4,  // the database has no row for it
    kFlagInterval = 1u << 5, // its words come more often or more seldom than the bounds
};
inline constexpr int kLabelFlagCount = 6;

/// The short word of each flag, in the order of the bits.
[[nodiscard]] std::string_view labelFlagWord(int flagIndex);

/// How the time between a label's words compares with its bounds.
enum class IntervalJudgement : std::uint8_t {
    CannotTell, // the board does not show every word (address mode, a tick too long, or
                // ticks whose changes do not account for the time that passed)
    Measuring,  // not enough words yet to be sure either way
    Within,
    TooOften,
    TooSeldom,
    Unseen, // its words may have bits 17-32 all clear, which the board cannot show
};

/// @brief Judges the words counted over `spanMs`, at least `words` and at most `words` +
/// `maybeWords` (cells that may hold the label's word again or one the board cannot show):
/// the words came at some period p with (n - 1) p <= span < (n + 1) p for a count n in that
/// range, so the period lies in [span / (words + maybeWords + 1), span / (words - 1)]; a bound
/// counts as broken only when that whole interval lies beyond it.
[[nodiscard]] IntervalJudgement judgeInterval(std::uint32_t words, std::uint32_t maybeWords,
                                              std::int64_t spanMs,
                                              const labels::LabelDefinition& definition);

/// @brief The longest a label expected on a running channel may stay unseen: its greatest
/// interval where the database gives one, else the watch's stale limit.
[[nodiscard]] inline double missingLimitMs(const labels::LabelDefinition& definition,
                                           std::int64_t staleLimitMs) {
    return definition.greatestIntervalMs.value_or(static_cast<double>(staleLimitMs));
}

/// The counts of the line above the watch: each row in exactly one of them.
struct LabelWatchSummary {
    int ok = 0;
    int flagged = 0; // range, SSM, parity or interval, and not missing or unknown
    int missing = 0;
    int unknown = 0;

    friend bool operator==(const LabelWatchSummary&, const LabelWatchSummary&) = default;

    void count(std::uint8_t flags) {
        if ((flags & kFlagUnknown) != 0)
            ++unknown;
        else if ((flags & kFlagMissing) != 0)
            ++missing;
        else if (flags != 0)
            ++flagged;
        else
            ++ok;
    }
};

} // namespace analysis
