#pragma once

#include "assignment.h"
#include "decimal_format.h"

#include "util/file_replacing.h"

#include <filesystem>
#include <istream>
#include <string>
#include <system_error>

namespace formats {

/// The format state file, resolved against the working directory of the moment.
inline constexpr const char* kFormatStateFileName = "KST3frmt.stt";

/// @brief Empties both tables and reads the decimal formats from the state file.
///
/// A missing or unreadable file leaves the table empty. A last piece shorter than a record
/// counts as a record, zero-filled; records beyond the 256 slots are ignored.
/// @return the number of records in the file that did not fit and were ignored.
std::size_t loadFormatState(DecimalFormatTable& formats, AssignmentTable& assignments,
                            const std::filesystem::path& file = kFormatStateFileName);

/// @brief The same, reading the state file's bytes from a stream that is already open.
std::size_t loadFormatState(DecimalFormatTable& formats, AssignmentTable& assignments,
                            std::istream& in);

/// @brief Replaces the state file with the formats in slots 0..formatCount-1, 23 bytes each
/// (an empty table gives an empty file), written through `writer`. On failure the previous
/// file stays whole.
/// @return the error that stopped the write; empty on success.
[[nodiscard]] std::error_code saveFormatState(
    const DecimalFormatTable& formats, const std::filesystem::path& file = kFormatStateFileName,
    util::FileWriter& writer = util::diskFileWriter());

struct FormatListClosing {
    int gridRows = 0;          ///< the grid's row count after compaction
    std::error_code saveError; ///< the state file could not be written; show a warning
};

/// @brief Closing the decimal formats window: compacts the table, then rewrites the state
/// file, whether or not anything changed.
[[nodiscard]] FormatListClosing closeFormatList(
    DecimalFormatTable& formats, int gridRows,
    const std::filesystem::path& file = kFormatStateFileName);

/// The caption of the warning box about a state file that could not be written.
inline constexpr const char* kFormatStateWarningCaption = "Десятичные форматы";

/// @brief The warning shown when closing the decimal formats window could not write the
/// state file: the formats stay in memory for this run only. Names the folder that `file`
/// resolves to at this moment.
[[nodiscard]] std::string formatStateSaveWarning(
    const std::filesystem::path& file = kFormatStateFileName);

} // namespace formats
