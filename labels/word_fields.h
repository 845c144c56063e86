#pragma once

#include <bit>
#include <cstdint>

namespace labels {

// Fields of a received word, bits numbered 1..32 from the least significant: label 1-8,
// SDI 9-10, SSM 30-31, parity 32.

[[nodiscard]] constexpr unsigned wordLabel(std::uint32_t word) { return word & 0xFFu; }
[[nodiscard]] constexpr unsigned wordSdi(std::uint32_t word) { return (word >> 8) & 0x3u; }
[[nodiscard]] constexpr unsigned wordSsm(std::uint32_t word) { return (word >> 29) & 0x3u; }

/// @brief Odd parity over all 32 bits: the sender sets bit 32 so that the count of ones is odd.
[[nodiscard]] constexpr bool hasOddParity(std::uint32_t word) {
    return std::popcount(word) % 2 == 1;
}

} // namespace labels
