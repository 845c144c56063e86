#pragma once

#include "assignment.h"
#include "decimal_format.h"

namespace formats {

/// @brief Address, channel and label all set: only such assignments survive compaction.
[[nodiscard]] bool isComplete(const ParamFormatAssignment& assignment);

/// @brief Moves the complete assignments among the slots that have a grid row to the front,
/// in order, recounts `assignmentCount` and clears address, channel and label of every slot
/// after them.
/// @param gridRows the assignment grid's row count, header included.
/// @return the grid's new row count.
[[nodiscard]] int compactAssignments(AssignmentTable& table, int gridRows);

/// @brief "-": empties the label of `slot`, then compacts, which drops every incomplete row.
/// @return the grid's new row count.
[[nodiscard]] int deleteAssignmentRow(AssignmentTable& table, int slot, int gridRows);

/// @brief The red label: no format among slots 0..formatCount-1 has this label. Such an
/// assignment stays in the table and is saved, but decodes nothing.
[[nodiscard]] bool labelNamesNoFormat(const DecimalFormatTable& formats,
                                      const ParamFormatAssignment& assignment);

/// @brief The double click on the format list: copies the label of format `formatSlot`,
/// all 9 bytes, over the label of assignment `assignmentSlot`; address and channel stay.
/// @param pressInsideCell false when the mouse press before the double click lay outside
///        every cell of the format list: then nothing is transferred.
/// @return true when a label was copied (repaint the assignment grid).
bool transferFormatLabel(const DecimalFormatTable& formats, int formatSlot,
                         AssignmentTable& assignments, int assignmentSlot, bool pressInsideCell);

} // namespace formats
