#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace analysis {

/// The file that names the label database in use for the next run: in the working folder,
/// beside the format state file. One line, "database=<path>" in UTF-8; no file or no such line
/// means no database.
inline constexpr const char* kLabelDatabaseSettingFileName = "label-database.cfg";

/// @brief The database the settings file names, if any.
[[nodiscard]] std::optional<std::filesystem::path> readLabelDatabaseSetting(
    const std::filesystem::path& file = kLabelDatabaseSettingFileName);

/// @brief Names `database` (or none) for the next run, replacing the file whole.
[[nodiscard]] std::error_code writeLabelDatabaseSetting(
    const std::optional<std::filesystem::path>& database,
    const std::filesystem::path& file = kLabelDatabaseSettingFileName);

} // namespace analysis
