#pragma once

#include "reception/format_lookup.h"

#include <filesystem>
#include <optional>

namespace reception {

/// @brief Builds `lookup` from a decimal format file and, unless `assignmentFile` is empty, an
/// assignment file, read with the monitor's readers. The monitor takes a missing file for an
/// empty one; a program that is given a file by name wants to hear that it is not there.
/// @return The file that could not be opened; nothing when both were read.
[[nodiscard]] std::optional<std::filesystem::path> loadFormatLookup(
    AllChannelsFormatLookup& lookup, const std::filesystem::path& formatFile,
    const std::filesystem::path& assignmentFile);

} // namespace reception
