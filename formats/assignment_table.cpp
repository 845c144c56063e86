#include "assignment_table.h"

#include "cp1251.h"
#include "format_table.h"
#include "grid_rows.h"

namespace formats {

bool isComplete(const ParamFormatAssignment& assignment) {
    return assignment.address != 0 && assignment.channel != 0 && assignment.formatLabel[0] != '\0';
}

int compactAssignments(AssignmentTable& table, int gridRows) {
    const int rowSlots = slotsWithRows(gridRows);
    int kept = 0;
    for (int slot = 0; slot < rowSlots; ++slot) {
        if (isComplete(table.slots[slot]))
            table.slots[kept++] = table.slots[slot];
    }
    table.assignmentCount = static_cast<std::uint16_t>(kept);
    for (int slot = kept; slot < kAssignmentSlots; ++slot) {
        ParamFormatAssignment& cleared = table.slots[slot];
        cleared.address = 0;
        cleared.channel = 0;
        cleared.formatLabel[0] = '\0';
    }
    return gridRowsFor(kept);
}

int deleteAssignmentRow(AssignmentTable& table, int slot, int gridRows) {
    if (slot >= 0 && slot < kAssignmentSlots)
        table.slots[slot].formatLabel[0] = '\0';
    return compactAssignments(table, gridRows);
}

bool labelNamesNoFormat(const DecimalFormatTable& formats,
                        const ParamFormatAssignment& assignment) {
    return findFormatByLabel(formats, fieldText(assignment.formatLabel)) == nullptr;
}

bool transferFormatLabel(const DecimalFormatTable& formats, int formatSlot,
                         AssignmentTable& assignments, int assignmentSlot, bool pressInsideCell) {
    if (!pressInsideCell || formatSlot < 0 || formatSlot >= kFormatSlots || assignmentSlot < 0 ||
        assignmentSlot >= kAssignmentSlots)
        return false;
    assignments.slots[assignmentSlot].formatLabel = formats.slots[formatSlot].label;
    return true;
}

} // namespace formats
