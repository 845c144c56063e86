#pragma once

#include "board/sim_time.h"
#include "setup.h"

#include <cstdint>

namespace board::simulated {

/// @brief A constant cyclic table as a source of words: word k is the table's word k modulo
/// its length and completes at (k + 1) spacings. Like the built-in stream it is always on.
class SimTable {
public:
    SimTable() = default;
    SimTable(std::uint8_t rateCode, const ConstantTable& table)
        : rateCode_(rateCode), table_(table) {}

    [[nodiscard]] std::uint8_t rateCode() const { return rateCode_; }

    [[nodiscard]] std::uint64_t deliveredBy(SimTime now) const {
        return now < table_.spacing || table_.count == 0
                   ? 0
                   : static_cast<std::uint64_t>(now / table_.spacing);
    }
    [[nodiscard]] SimTime deliveryTime(std::uint64_t k) const {
        return static_cast<SimTime>(k + 1) * table_.spacing;
    }
    [[nodiscard]] std::uint32_t wordAt(std::uint64_t k) const {
        return table_.words[k % table_.count];
    }

private:
    std::uint8_t rateCode_ = 0;
    ConstantTable table_{};
};

} // namespace board::simulated
