#include "analysis/label_checks.h"

#include <algorithm>
#include <array>
#include <bit>

namespace analysis {

std::string_view labelFlagWord(int flagIndex) {
    static constexpr std::array<std::string_view, kLabelFlagCount> kWords = {
        "диапазон", "SSM", "четность", "пропала", "нет в базе", "интервал"};
    return flagIndex >= 0 && flagIndex < kLabelFlagCount
               ? kWords[static_cast<std::size_t>(flagIndex)]
               : std::string_view{};
}

IntervalJudgement judgeInterval(std::uint32_t words, std::uint32_t maybeWords, std::int64_t spanMs,
                                const labels::LabelDefinition& definition) {
    const auto span = static_cast<double>(spanMs);
    const double shortestPossible =
        span / (static_cast<double>(words) + static_cast<double>(maybeWords) + 1.0);
    if (definition.greatestIntervalMs && shortestPossible > *definition.greatestIntervalMs)
        return IntervalJudgement::TooSeldom;
    if (words < 2)
        return IntervalJudgement::Measuring;
    const double longestPossible = span / (static_cast<double>(words) - 1.0);
    if (definition.leastIntervalMs && longestPossible < *definition.leastIntervalMs)
        return IntervalJudgement::TooOften;
    const bool notTooOften = !definition.leastIntervalMs ||
                             shortestPossible >= *definition.leastIntervalMs;
    const bool notTooSeldom = !definition.greatestIntervalMs ||
                              longestPossible <= *definition.greatestIntervalMs;
    return notTooOften && notTooSeldom ? IntervalJudgement::Within : IntervalJudgement::Measuring;
}

} // namespace analysis
