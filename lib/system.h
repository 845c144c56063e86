#pragma once

#include "board/driver.h"

#include <cstdint>
#include <memory>

namespace zelva1 {

/// One back-end and the boards behind it. Boards keep their system alive after it is closed.
struct System {
    std::unique_ptr<board::Driver> driver;
};

/// @brief The outcome of one request: ZELVA1_OK, or ZELVA1_ERROR_REQUEST with the system's
/// error code.
struct RequestStatus {
    int status = 0;
    std::uint32_t systemError = 0;
};

} // namespace zelva1
