#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace labels {

/// @brief A label typed as the monitor shows it: one to three octal digits, 0..377.
[[nodiscard]] std::optional<std::uint8_t> parseOctalLabel(std::string_view text);

} // namespace labels
