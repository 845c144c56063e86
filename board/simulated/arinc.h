#pragma once

// ARINC 429 word facts the simulated traffic needs: bits are numbered 1..32 from the least
// significant; bits 1-8 label, 9-10 SDI, 11-29 data with the sign in bit 29 for binary
// (BNR) data, 30-31 sign/status matrix, 32 odd parity over the whole word.

#include <bit>
#include <cstdint>

namespace board::simulated {

inline constexpr int kBnrSignBit = 29;
inline constexpr std::uint32_t kParityMask = 1u << 31;
/// SSM of BNR data: both bits 30 and 31 set means "normal operation".
inline constexpr std::uint32_t kSsmNormalOperation = 3u << 29;

/// @brief Sets bit 32 so that the word holds an odd number of ones.
[[nodiscard]] constexpr std::uint32_t withOddParity(std::uint32_t word) {
    word &= ~kParityMask;
    return std::popcount(word) % 2 == 0 ? word | kParityMask : word;
}

/// @brief A BNR word: `significantBits` data bits below the sign bit 29, two's complement;
/// `range` is the value of a set sign bit taken as positive, so the resolution is
/// range / 2^significantBits. Out-of-range values are held at the nearest end. SSM normal,
/// odd parity, SDI 0.
[[nodiscard]] std::uint32_t encodeBnr(std::uint8_t label, double value, double range,
                                      int significantBits);

} // namespace board::simulated
