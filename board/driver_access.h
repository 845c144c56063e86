#pragma once

#include "driver.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string_view>

namespace board {

/// The settings file beside the installed program that names the driver's interface class,
/// so that one Windows package serves whatever class the driver comes with.
inline constexpr std::string_view kInterfaceClassFileName = "zelva1-monitor.ini";

/// How the boards' kernel driver is reached, as far as the build and the settings file tell.
/// Only a Windows build has the driver (board/windows); elsewhere it is never reachable.
struct BoardDriverAccess {
    /// Makes the driver back-end; empty while the driver's interface class is not known.
    std::function<std::unique_ptr<Driver>()> makeDriver;
    /// The settings file names the class wrongly. A wrong class could open somebody else's
    /// devices, so no class is trusted then, not even the build's.
    bool refused = false;
};

/// @brief The access the settings file (none when empty or missing) and the build give.
/// A malformed file is described on `messages`.
[[nodiscard]] BoardDriverAccess boardDriverAccess(const std::filesystem::path& settingsFile,
                                                  std::ostream& messages);

/// @brief Whether this build reaches real boards without a settings file: a Windows build
/// given the driver's interface class GUID (the ZELVA1_DEVICE_INTERFACE_GUID build setting).
[[nodiscard]] bool boardDriverBuiltIn();

/// @brief Where the settings file is looked for: beside the program on Windows, nowhere
/// (an empty path) elsewhere.
[[nodiscard]] std::filesystem::path driverSettingsFile();

} // namespace board
