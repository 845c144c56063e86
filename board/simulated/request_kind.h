#pragma once

#include "board/control_codes.h"

#include <cstdint>

namespace board::simulated {

/// Requests whose input record starts with an output channel number.
[[nodiscard]] constexpr bool isOutputRequest(std::uint32_t code) {
    return code == IOCTL_SO_LOAD_ARRAY || code == IOCTL_SO_START_SINGLE ||
           code == IOCTL_SO_GET_STATE || code == IOCTL_SO_START_CYCLIC || code == IOCTL_SO_STOP ||
           code == IOCTL_SO_WRITE_WORD;
}

/// Requests whose input record starts with an input channel number.
[[nodiscard]] constexpr bool isInputRequest(std::uint32_t code) {
    return code == IOCTL_SI_START_ADDRESS || code == IOCTL_SI_STOP || code == IOCTL_SI_START_FILE ||
           code == IOCTL_SI_GET_STATE || code == IOCTL_SI_READ;
}

} // namespace board::simulated
