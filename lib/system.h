#pragma once

#include "board/driver.h"
#include "board/records.h"
#include "board/serialized_driver.h"
#include "board/shared_state.h"

#include <array>
#include <cstdint>
#include <memory>

namespace zelva1 {

/// One back-end and the boards behind it. Boards keep their system alive after it is closed.
struct System {
    explicit System(std::unique_ptr<board::Driver> made)
        : backEnd(std::move(made)), driver(*backEnd) {}

    std::unique_ptr<board::Driver> backEnd;
    /// The calls of the library and the periodic tasks' threads take the back-end in turn.
    board::SerializedDriver driver;
    /// Each board's output rate codes as its last initialisation set them (0 before any): a
    /// periodic task times its bursts by its output's rate. Guarded by the library's lock.
    std::array<std::array<std::uint8_t, board::kMaxChannels>, board::kMaxInterfaceIndex + 1>
        outputRates{};
};

/// @brief The outcome of one request: ZELVA1_OK, or ZELVA1_ERROR_REQUEST with the system's
/// error code.
struct RequestStatus {
    int status = 0;
    std::uint32_t systemError = 0;
};

} // namespace zelva1
