#pragma once

#include "setup.h"

#include <string>
#include <string_view>

namespace board::simulated {

/// Result of reading a simulator configuration: the configuration, or the first problem
/// found with the number of its line (0 when the file itself could not be read); after a
/// problem the configuration is defaultSimulatorConfig().
struct SimConfigResult {
    SimulatorConfig config;
    int errorLine = 0;
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

/// @brief Reads the line-based configuration text; see the README for the statements.
///
/// Starts from defaultSimulatorConfig(). `board` lines, which must come before all other
/// statements, replace the default boards and the default failing index.
[[nodiscard]] SimConfigResult parseSimulatorConfig(std::string_view text);

/// @brief Reads and parses a configuration file.
[[nodiscard]] SimConfigResult loadSimulatorConfig(const std::string& path);

} // namespace board::simulated
