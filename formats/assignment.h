#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace formats {

inline constexpr int kAssignmentSlots = 256;

#pragma pack(push, 1)
/// One (address, input channel) -> format label assignment; also the 11-byte record of
/// assignment files.
struct ParamFormatAssignment {
    std::uint8_t address; // ARINC label 1..255, 0 = not set
    std::uint8_t channel; // input channel 1..8, 0 = not set
    std::array<char, 9> formatLabel;
};
#pragma pack(pop)
static_assert(sizeof(ParamFormatAssignment) == 11);
static_assert(offsetof(ParamFormatAssignment, channel) == 1);
static_assert(offsetof(ParamFormatAssignment, formatLabel) == 2);

struct AssignmentTable {
    std::array<ParamFormatAssignment, kAssignmentSlots> slots{};
    std::uint16_t assignmentCount = 0;
};

} // namespace formats
