#pragma once

#include <cstddef>
#include <istream>
#include <span>

namespace formats {

// Both format files are flat runs of fixed-size records with no header or count.

struct RecordsRead {
    std::size_t records = 0; ///< records stored into the slots, a short last piece included
    std::size_t ignored = 0; ///< records (and a short last piece) beyond the last slot
};

/// @brief Reads records of `recordSize` bytes into consecutive slots until the file ends,
/// a read fails or every slot is filled; the rest of the file is counted, never stored.
/// A last piece shorter than a record counts as one and overwrites only the bytes it has.
[[nodiscard]] RecordsRead readRecords(std::istream& in, std::span<std::byte> slots,
                                      std::size_t recordSize);

} // namespace formats
