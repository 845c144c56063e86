#pragma once

#include "driver.h"

#include <iosfwd>
#include <memory>
#include <string>

namespace board {

/// The board layer's two settings, from the environment variables of the same names.
struct DriverSettings {
    std::string simulatorConfigPath; // ZELVA1_SIM_CONFIG: configuration of the simulated boards
    std::string tracePath;           // ZELVA1_DRIVER_TRACE: file the request trace is appended to
};

/// @brief Reads ZELVA1_SIM_CONFIG and ZELVA1_DRIVER_TRACE; an unset variable gives "".
[[nodiscard]] DriverSettings driverSettingsFromEnvironment();

/// @brief The back-end for these settings: the simulated boards (from the configuration
/// file, or the built-in ones when it is unset or refused), traced when a trace file is
/// named. Problems with either file are written to `messages`; the driver is made anyway.
[[nodiscard]] std::unique_ptr<Driver> makeDriver(const DriverSettings& settings,
                                                 std::ostream& messages);

/// @brief The back-end the monitor runs on. The one place where that choice is made.
[[nodiscard]] std::unique_ptr<Driver> makeDefaultDriver();

} // namespace board
