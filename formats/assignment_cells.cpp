#include "assignment_cells.h"

#include "cp1251.h"
#include "format_cells.h"

#include "util/printf_text.h"

namespace formats {

std::string assignmentCellText(const ParamFormatAssignment& assignment, int column) {
    switch (column) {
    case kAddressColumn: return util::printfText(" %6o", static_cast<unsigned>(assignment.address));
    case kChannelColumn: return util::printfText(" %6d", assignment.channel);
    case kFormatLabelColumn: return cp1251ToUtf8(fieldText(assignment.formatLabel));
    default: return {};
    }
}

std::string widestAssignmentCellText(int column) {
    ParamFormatAssignment widest{};
    widest.address = 0xFF;
    widest.channel = 8;
    widest.formatLabel = widestShownFormat().label;
    return assignmentCellText(widest, column);
}

} // namespace formats
