#pragma once

#include <cstdint>

namespace board {

struct ChannelCounts {
    std::int32_t inputs = 0;
    std::int32_t outputs = 0;
};

/// @brief Channel counts in the configuration word: bits 8-11 inputs, bits 4-7 outputs.
[[nodiscard]] constexpr ChannelCounts decodeConfigWord(std::uint16_t word) {
    return {static_cast<std::int32_t>((word >> 8) & 0xFu),
            static_cast<std::int32_t>((word >> 4) & 0xFu)};
}

[[nodiscard]] constexpr std::uint16_t encodeConfigWord(ChannelCounts counts) {
    return static_cast<std::uint16_t>(((counts.inputs & 0xF) << 8) | ((counts.outputs & 0xF) << 4));
}

} // namespace board
