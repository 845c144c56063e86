#pragma once

#include "guid.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace board::windows {

/// What the settings file says. A missing file says nothing (`interfaceClass` empty, no
/// error); otherwise either the class or the first problem, with its line (0: the file).
struct InterfaceClassSetting {
    std::optional<InterfaceClassGuid> interfaceClass;
    int errorLine = 0;
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

/// @brief Reads the settings text: blank lines, comments starting with '#' or ';', and
/// `interface-class = {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}`, which must be there once.
[[nodiscard]] InterfaceClassSetting parseInterfaceClassSetting(std::string_view text);

/// @brief Reads the settings file; a file that does not exist gives the empty setting.
[[nodiscard]] InterfaceClassSetting loadInterfaceClassSetting(const std::filesystem::path& file);

} // namespace board::windows
