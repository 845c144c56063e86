#pragma once

// The tool speaks Russian like the monitor: the checks of option values, and the failures of
// the command line that CLI11 itself finds, in the tool's own words.

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace cli {

/// @brief Accepts a whole number from `low` to `high`; shown in the help as "low..high".
[[nodiscard]] CLI::Validator wholeNumberWithin(long low, long high);
/// @brief Accepts a decimal number (point as separator) from `low` to `high`.
[[nodiscard]] CLI::Validator numberWithin(double low, double high);
/// @brief Accepts one of `choices`.
[[nodiscard]] CLI::Validator oneOf(std::vector<std::string> choices);

/// @brief The text printed for a command line that could not be parsed, ending in a pointer to
/// the help; used as CLI11's failure message.
[[nodiscard]] std::string usageFailureText(const CLI::App* app, const CLI::Error& error);

} // namespace cli
