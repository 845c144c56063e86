#pragma once

#include "assignment.h"
#include "decimal_format.h"

#include <filesystem>

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

} // namespace formats
