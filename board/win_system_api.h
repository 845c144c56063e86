#pragma once

#include "win_device_api.h"

#include <memory>

namespace board {

/// @brief The operating system's own device calls. Exists only in Windows builds.
[[nodiscard]] std::unique_ptr<WindowsDeviceApi> makeSystemDeviceApi();

} // namespace board
