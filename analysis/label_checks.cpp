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
                                const LabelDefinition& definition) {
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

bool canLookEmpty(const LabelDefinition& definition) {
    if (definition.encoding == LabelEncoding::Bnr)
        return false;
    // Bits 9-16 that a valid word may have set: an open SDI, and the data bits down there.
    std::uint32_t freeBits = definition.sdi ? 0u : 0x300u;
    if (definition.encoding == LabelEncoding::Bcd) {
        // Digits from the top: the first in bits 27-29, each next four bits lower.
        const int lowestDataBit = 27 - 4 * (definition.significantBits - 1);
        for (int bit = std::max(lowestDataBit, 11); bit <= 16; ++bit)
            freeBits |= 1u << (bit - 1);
    } else {
        for (const DiscreteBit& named : definition.discretes)
            if (named.bit <= 16)
                freeBits |= 1u << (named.bit - 1);
    }
    const unsigned fixedOnes =
        std::popcount(static_cast<unsigned>(definition.label)) +
        (definition.sdi ? std::popcount(static_cast<unsigned>(*definition.sdi)) : 0);
    return freeBits != 0 || fixedOnes % 2 == 1;
}

} // namespace analysis
