#pragma once

#include <optional>
#include <string_view>

namespace util {

/// @brief A number as files write it: blanks and tabs around it, a point for decimals, an
/// optional sign (a plus too), finite; nothing for any other text.
[[nodiscard]] std::optional<double> parseNumber(std::string_view text);

/// @brief A whole number in [lowest, highest] written the same way.
[[nodiscard]] std::optional<int> parseWhole(std::string_view text, int lowest, int highest);

} // namespace util
