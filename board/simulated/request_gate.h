#pragma once

#include "board.h"
#include "board/sim_time.h"
#include "faults.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace board::simulated {

/// @brief One request as a board with its fault rules takes it, the same in the simulated
/// back-end and in the Wine test driver. A failed request leaves the reply as the caller
/// prepared it and the board untouched.
[[nodiscard]] inline bool carryOutRequest(SimBoard& board, SimFaults& faults,
                                          std::uint32_t controlCode,
                                          std::span<const std::byte> input,
                                          std::span<std::byte> output, SimTime now) {
    if (faults.fails(board.boardSetup().interfaceIndex, controlCode, input))
        return false;
    return board.handle(controlCode, input, output, now);
}

} // namespace board::simulated
