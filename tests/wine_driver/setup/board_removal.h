#pragma once

#include <cstdint>
#include <string>

namespace wine_driver {

/// @brief Removes the device with this instance id, as unplugging the board would: 0, or the
/// system's error (ERROR_NO_SUCH_DEVINST, 0xE000020B, when there is none).
[[nodiscard]] std::uint32_t removeBoardDevice(const std::string& instanceId);

} // namespace wine_driver
