#pragma once

#include <string>
#include <system_error>

namespace util {

/// @brief What a failed file operation means to the user, in Russian, with the system's own
/// code in brackets so that support can look it up: "на диске нет места (код 28)". The
/// errors a disk, a right or a removable medium cause have their own words; any other is
/// "системная ошибка" with its code.
[[nodiscard]] std::string systemErrorText(const std::error_code& error);

} // namespace util
