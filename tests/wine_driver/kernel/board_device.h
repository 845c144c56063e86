#pragma once

#include "board/sim_time.h"
#include "board/simulated/board.h"
#include "board/simulated/faults.h"
#include "tests/wine_driver/board_settings.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace wine_driver {

/// @brief One test board as the driver keeps it: the simulated board's own model with the
/// fault rules of its device key. Built once when the device is added; nothing allocated
/// after that.
class BoardDevice {
public:
    explicit BoardDevice(const TestBoardSettings& settings);

    [[nodiscard]] bool failsToOpen() const { return failsToOpen_; }

    /// @brief One request at time `now`. The reply goes into `output`, which the caller has
    /// zero-filled, so a reply shorter than the buffer reads as zeros after it, as it does on
    /// the simulated back-end.
    [[nodiscard]] bool carryOut(std::uint32_t controlCode, std::span<const std::byte> input,
                                std::span<std::byte> output, board::SimTime now);

private:
    board::simulated::SimBoard board_;
    board::simulated::SimFaults faults_;
    bool failsToOpen_;
};

/// @brief Whether bytes read from a device key hold a settings record this driver can use.
[[nodiscard]] bool usableSettings(std::span<const std::byte> bytes);

} // namespace wine_driver
