#pragma once

#include "driver.h"
#include "driver_access.h"

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace board {

/// The board layer's settings, from the environment variables of the same names and, on
/// Windows, the settings file beside the program.
struct DriverSettings {
    std::string simulatorConfigPath; // ZELVA1_SIM_CONFIG: configuration of the simulated boards
    std::string tracePath;           // ZELVA1_DRIVER_TRACE: file the request trace is appended to
    std::string backend = {};        // ZELVA1_BACKEND: "simulated", "driver" or "" (the default)
    // The driver's interface class, overriding the build setting (kInterfaceClassFileName
    // beside the program); none when empty or when the file does not exist.
    std::filesystem::path interfaceClassFile = {};
};

/// @brief Reads ZELVA1_SIM_CONFIG, ZELVA1_DRIVER_TRACE and ZELVA1_BACKEND, an unset variable
/// giving ""; on Windows names the settings file in the program's folder.
[[nodiscard]] DriverSettings driverSettingsFromEnvironment();

/// What the monitor's requests go to.
enum class Backend { simulated, boardDriver };

/// @brief The back-end a ZELVA1_BACKEND value names: "simulated", or "driver" for the boards'
/// kernel driver; "" is the driver where it can be used (`driverBuiltIn`: a Windows build
/// that knows the interface class) and the simulated boards elsewhere. A driver that cannot
/// be used or an unknown name is written to `messages`, and the default is taken.
[[nodiscard]] Backend chooseBackend(std::string_view setting, bool driverBuiltIn,
                                    std::ostream& messages);

/// @brief The back-end for these settings (chooseBackend): the boards' driver, or the
/// simulated boards (from the configuration file, or the built-in ones when it is unset or
/// refused); traced when a trace file is named. A settings file that names the interface
/// class wrongly is refused and the simulated boards are used. Problems with any setting
/// are written to `messages`; the driver is made anyway.
[[nodiscard]] std::unique_ptr<Driver> makeDriver(const DriverSettings& settings,
                                                 std::ostream& messages);

/// @brief The back-end the monitor runs on. The one place where that choice is made.
/// Problems with the settings go to `messages` (standard error by default).
[[nodiscard]] std::unique_ptr<Driver> makeDefaultDriver(std::ostream& messages);
[[nodiscard]] std::unique_ptr<Driver> makeDefaultDriver();

} // namespace board
