#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace reception {

inline constexpr std::int32_t kMinRefreshPeriodMs = 100;
inline constexpr std::int32_t kMaxRefreshPeriodMs = 10000;

/// @brief The period that Apply makes of the text of Edit1 (UTF-8): 10000 for a text of five
/// or more characters, otherwise its leading decimal integer read as "%d" reads it, clamped to
/// 100..10000. A text with no number keeps the current period.
[[nodiscard]] std::int32_t appliedRefreshPeriod(std::string_view text, std::int32_t currentPeriod);

/// @brief The text of Edit1 when the dialog is shown: the period as "%d".
[[nodiscard]] std::string refreshPeriodText(std::int32_t period);

} // namespace reception
