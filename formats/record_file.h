#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <span>
#include <system_error>

namespace formats {

// Both format files are flat runs of fixed-size records with no header or count.

struct RecordsRead {
    std::size_t records = 0;  ///< records stored into the slots, a short last piece included
    std::size_t ignored = 0;  ///< records (and a short last piece) beyond the last slot
};

/// @brief Reads records of `recordSize` bytes into consecutive slots until the file ends,
/// a read fails or every slot is filled; the rest of the file is counted, never stored.
/// A last piece shorter than a record counts as one and overwrites only the bytes it has.
[[nodiscard]] RecordsRead readRecords(std::istream& in, std::span<std::byte> slots,
                                      std::size_t recordSize);

/// Appended to the target's name for the temporary file of writeFileReplacing.
inline constexpr const char* kTemporaryFileSuffix = ".zelva-save";

/// @brief Replaces `target` with `bytes`, or leaves it as it was: the bytes go to a
/// temporary file in the same folder, which is flushed to disk and then renamed over the
/// target, so a failed or interrupted write never leaves a shortened file behind.
/// @return the error that stopped the write; empty on success.
[[nodiscard]] std::error_code writeFileReplacing(const std::filesystem::path& target,
                                                 std::span<const std::byte> bytes);

} // namespace formats
