#pragma once

#include "board/rate_codes.h"
#include "board/sim_time.h"

#include <array>
#include <cstdint>
#include <optional>

namespace board::simulated {

// An ARINC 429 word is 32 bits followed by at least 4 bit times of bus silence, so a
// transmitter that sends back to back puts out one word every 36 bit times.
inline constexpr int kBitsPerWord = 32;
inline constexpr int kGapBits = 4;
inline constexpr int kBitTimesPerWord = kBitsPerWord + kGapBits;

/// Bit times for rate codes 0, 1, 2: 12.5, 50 and 100 kbit/s.
inline constexpr std::array<SimTime, kRateCodeCount> kBitTimeByRateCode = {80'000, 20'000, 10'000};

/// @brief Time one word occupies the bus at a rate code; nothing for a code the board does
/// not know (such a channel neither sends nor receives).
[[nodiscard]] constexpr std::optional<SimTime> wordTimeFor(std::uint8_t rateCode) {
    if (rateCode >= kBitTimeByRateCode.size())
        return std::nullopt;
    return kBitTimeByRateCode[rateCode] * kBitTimesPerWord;
}

/// @brief The gap after a word: the word is complete this long before its slot ends.
[[nodiscard]] constexpr SimTime gapTimeFor(SimTime wordTime) {
    return wordTime / kBitTimesPerWord * kGapBits;
}

static_assert(*wordTimeFor(0) == 2'880'000, "12.5 kbit/s: 2.88 ms a word");
static_assert(*wordTimeFor(2) == 360'000, "100 kbit/s: 0.36 ms a word");

} // namespace board::simulated
