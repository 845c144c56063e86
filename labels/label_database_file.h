#pragma once

#include "labels/label_database.h"
#include "util/file_error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace labels {

// A label database file: UTF-8 comma-separated text (RFC 4180) with a header line naming the
// columns, in any order, then one row per label. Columns left out are empty in every row;
// label, name and encoding must be there.
inline constexpr std::string_view kColumnLabel = "label";
inline constexpr std::string_view kColumnSdi = "sdi";
inline constexpr std::string_view kColumnChannel = "channel";
inline constexpr std::string_view kColumnName = "name";
inline constexpr std::string_view kColumnUnits = "units";
inline constexpr std::string_view kColumnEncoding = "encoding";
inline constexpr std::string_view kColumnBits = "bits";
inline constexpr std::string_view kColumnResolution = "resolution";
inline constexpr std::string_view kColumnLeast = "min";
inline constexpr std::string_view kColumnGreatest = "max";
inline constexpr std::string_view kColumnLeastInterval = "min_interval_ms";
inline constexpr std::string_view kColumnGreatestInterval = "max_interval_ms";
inline constexpr std::string_view kColumnDiscretes = "discretes";

// The open dialog of «база меток…».
inline constexpr std::string_view kLabelDatabaseFileFilter = "Базы меток|*.csv";
inline constexpr std::string_view kLabelDatabaseWarningCaption = "База меток";

/// Where a file is wrong: line 0 when the file as a whole is (unreadable, too large).
using LabelDatabaseError = util::FileError;

/// The database a file holds, or the first error in it.
struct LabelDatabaseLoad {
    std::optional<LabelDatabase> database;
    LabelDatabaseError error;

    [[nodiscard]] bool ok() const { return database.has_value(); }
};

/// @brief Reads a database from the text of its file.
[[nodiscard]] LabelDatabaseLoad parseLabelDatabase(std::string_view text);

/// @brief Reads a database file (at most 16 MiB).
[[nodiscard]] LabelDatabaseLoad loadLabelDatabaseFile(const std::filesystem::path& path);

/// @brief What the user is told once when a database loads whose labels may come in words the
/// board cannot show (canLookEmpty): which labels, and that the watch does not call them
/// missing; empty when there are none.
[[nodiscard]] std::string unseenLabelsNotice(const LabelDatabase& database);

/// @brief The one message that tells the user why `fileName` was not loaded and that the
/// database in use stays.
[[nodiscard]] std::string labelDatabaseErrorMessage(std::string_view fileName,
                                                    const LabelDatabaseError& error);

} // namespace labels
