#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace formats {

inline constexpr int kFormatSlots = 256;

#pragma pack(push, 1)
/// One decimal format; also the 23-byte record of the format state file. Text fields are
/// cp1251, NUL-terminated inside their field.
struct DecimalFormat {
    std::array<char, 9> label; // empty (first byte 0): slot not in use
    std::uint8_t bit29Mode;    // 0: bit 29 is the sign; 1: bit 29 is data
    std::uint8_t msbBit;       // 9..29, 0 = not set
    std::uint8_t lsbBit;       // 9..29, 0 = not set
    float msbWeight;           // IEEE-754 single, little-endian
    std::array<char, 7> units;
};
#pragma pack(pop)
static_assert(sizeof(DecimalFormat) == 23);
static_assert(offsetof(DecimalFormat, bit29Mode) == 9);
static_assert(offsetof(DecimalFormat, msbBit) == 10);
static_assert(offsetof(DecimalFormat, lsbBit) == 11);
static_assert(offsetof(DecimalFormat, msbWeight) == 12);
static_assert(offsetof(DecimalFormat, units) == 16);

struct DecimalFormatTable {
    std::array<DecimalFormat, kFormatSlots> slots{};
    std::uint16_t formatCount = 0;
};

} // namespace formats
