#pragma once

#include <string>

namespace cli {

/// @brief Whether standard error is a terminal, where a progress line may be redrawn.
[[nodiscard]] bool progressShown();

/// @brief Redraws the progress line on standard error; nothing when it is not a terminal.
void showProgress(const std::string& text);
/// @brief Clears the progress line before the command's own output.
void endProgress();

/// @brief Flushes standard output; returns why a write to it failed, now or before, or empty.
[[nodiscard]] std::string standardOutputFailure();

/// @brief Makes the console show the tool's UTF-8 texts (a Windows console needs telling).
void prepareConsole();

/// @brief From now on Ctrl-C (and a termination request) only sets stopRequested(), so the
/// command can stop its channels before it exits.
void catchStopRequests();
[[nodiscard]] bool stopRequested();

} // namespace cli
