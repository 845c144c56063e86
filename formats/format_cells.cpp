#include "format_cells.h"

#include "cp1251.h"

#include <cstdio>

namespace formats {

std::string formatCellText(const DecimalFormat& format, int column) {
    // " %f" of the largest float is 47 characters.
    char buffer[64];
    switch (column) {
    case kLabelColumn:
        return cp1251ToUtf8(fieldText(format.label));
    case kBit29Column:
        return std::string(kBit29Items[static_cast<std::size_t>(bit29ItemIndex(format))]);
    case kMsbColumn:
        std::snprintf(buffer, sizeof buffer, " %6d", format.msbBit);
        return buffer;
    case kLsbColumn:
        std::snprintf(buffer, sizeof buffer, " %6d", format.lsbBit);
        return buffer;
    case kWeightColumn:
        std::snprintf(buffer, sizeof buffer, " %f", static_cast<double>(format.msbWeight));
        return buffer;
    case kUnitsColumn:
        return cp1251ToUtf8(fieldText(format.units));
    default:
        return {};
    }
}

} // namespace formats
