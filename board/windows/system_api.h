#pragma once

#include "device_api.h"

#include <filesystem>
#include <memory>

namespace board::windows {

/// @brief The operating system's own device calls. Exists only in Windows builds.
[[nodiscard]] std::unique_ptr<WindowsDeviceApi> makeSystemDeviceApi();

/// @brief The folder the running program was started from, where its settings file lies.
[[nodiscard]] std::filesystem::path programFolder();

} // namespace board::windows
