#include "assignment_cells.h"

#include "cp1251.h"

#include <cstdio>

namespace formats {

std::string assignmentCellText(const ParamFormatAssignment& assignment, int column) {
    char buffer[16];
    switch (column) {
    case kAddressColumn:
        std::snprintf(buffer, sizeof buffer, " %6o", static_cast<unsigned>(assignment.address));
        return buffer;
    case kChannelColumn:
        std::snprintf(buffer, sizeof buffer, " %6d", assignment.channel);
        return buffer;
    case kFormatLabelColumn:
        return cp1251ToUtf8(fieldText(assignment.formatLabel));
    default:
        return {};
    }
}

} // namespace formats
