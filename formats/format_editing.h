#pragma once

#include "cell_edit.h"
#include "decimal_format.h"

#include "util/beeper.h"

#include <string_view>

namespace formats {

/// @brief Applies one change of a decimal format cell's editor text to the format in `slot`.
///
/// Called at every change (typed character, deletion, paste) with the editor's whole text in
/// UTF-8 and `lastKey`, the character of the last key pressed in the grid. Refused input
/// beeps and leaves the format as it was; clamped numbers are stored and beep. Column 1 is
/// set through the drop-down only (see chooseBit29Mode).
[[nodiscard]] EditResult editFormatCell(DecimalFormatTable& table, int slot, int column,
                                        std::string_view utf8Text, char32_t lastKey,
                                        util::Beeper& beeper);

/// @brief A choice in the bit-29 drop-down (item 0 "знак", 1 "данные") for the format in
/// `slot`. A sign bit leaves bit 28 as the highest data bit, so an MSB of 29 drops to 28;
/// the LSB is left alone.
/// @return true when the MSB was lowered.
bool chooseBit29Mode(DecimalFormatTable& table, int slot, int itemIndex);

} // namespace formats
