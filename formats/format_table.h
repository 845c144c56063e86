#pragma once

#include "decimal_format.h"

#include <string_view>

namespace formats {

/// @brief Label, MSB, LSB, weight and units all set: only such formats survive compaction.
[[nodiscard]] bool isComplete(const DecimalFormat& format);

/// @brief Moves the complete formats among the slots that have a grid row to the front, in
/// order, recounts `formatCount` and clears the fields of every slot after them (bit29Mode
/// keeps its value).
/// @param gridRows the grid's row count, header included.
/// @return the grid's new row count.
[[nodiscard]] int compactFormats(DecimalFormatTable& table, int gridRows);

/// @brief "-": empties the label of `slot`, then compacts, which drops every incomplete row.
/// @return the grid's new row count.
[[nodiscard]] int deleteFormatRow(DecimalFormatTable& table, int slot, int gridRows);

/// @brief The first format among slots 0..formatCount-1 whose label equals `label` byte
/// for byte (cp1251, case-sensitive), or nullptr. Labels need not be unique.
[[nodiscard]] const DecimalFormat* findFormatByLabel(const DecimalFormatTable& table,
                                                     std::string_view label);

} // namespace formats
