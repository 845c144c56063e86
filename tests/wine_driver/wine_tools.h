#pragma once

#include <initializer_list>
#include <string>

namespace wine_driver {

/// @brief The Windows path under Wine of a file of the build: Z: and backslashes.
[[nodiscard]] std::string windowsPath(const std::string& unixPath);

/// @brief Runs a program of the build (its Unix path) with these arguments, Unix paths among
/// them turned into Windows ones, and waits for it: its exit status, -1 when it could not be
/// started, -2 when it was ended after a minute.
[[nodiscard]] int runTool(const std::string& unixPath,
                          std::initializer_list<std::string> arguments);

/// @brief As runTool, with what the program wrote to its standard output and error in
/// `output`.
[[nodiscard]] int runToolWithOutput(const std::string& unixPath,
                                    std::initializer_list<std::string> arguments,
                                    std::string& output);

} // namespace wine_driver
