#pragma once

#include "assignment.h"
#include "cell_edit.h"

#include "util/beeper.h"

#include <string_view>

namespace formats {

/// @brief Applies one change of an assignment cell's editor text to the assignment in `slot`.
///
/// Called at every change with the editor's whole text in UTF-8 and `lastKey`, the character
/// of the last key pressed in the grid. The address is typed in octal and held to 377; the
/// channel is held to 1..8, each clamp with a beep. The label column takes no typed text:
/// labels come from the format list (see transferFormatLabel).
[[nodiscard]] EditResult editAssignmentCell(AssignmentTable& table, int slot, int column,
                                            std::string_view utf8Text, char32_t lastKey,
                                            util::Beeper& beeper);

} // namespace formats
