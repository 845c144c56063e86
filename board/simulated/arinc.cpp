#include "arinc.h"

#include "plain_math.h"

#include <algorithm>

namespace board::simulated {

std::uint32_t encodeBnr(std::uint8_t label, double value, double range, int significantBits) {
    const std::int64_t fullScale = std::int64_t{1} << significantBits;
    const double resolution = range / static_cast<double>(fullScale);
    // Held at the ends before rounding, so that no value, however large, overflows.
    const std::int64_t raw = roundHalfAway(std::clamp(
        value / resolution, -static_cast<double>(fullScale), static_cast<double>(fullScale - 1)));
    const int lowestBit = kBnrSignBit - significantBits; // 1-based bit number
    const std::uint32_t fieldMask = (std::uint32_t{1} << (significantBits + 1)) - 1;
    const std::uint32_t field = static_cast<std::uint32_t>(raw) & fieldMask;
    return withOddParity(label | field << (lowestBit - 1) | kSsmNormalOperation);
}

} // namespace board::simulated
