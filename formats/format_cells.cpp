#include "format_cells.h"

#include "cp1251.h"

#include "board/printf_text.h"

namespace formats {

std::string formatCellText(const DecimalFormat& format, int column) {
    switch (column) {
    case kLabelColumn:
        return cp1251ToUtf8(fieldText(format.label));
    case kBit29Column:
        return std::string(kBit29Items[static_cast<std::size_t>(bit29ItemIndex(format))]);
    case kMsbColumn:
        return board::printfText(" %6d", format.msbBit);
    case kLsbColumn:
        return board::printfText(" %6d", format.lsbBit);
    case kWeightColumn:
        return board::printfText(" %f", static_cast<double>(format.msbWeight));
    case kUnitsColumn:
        return cp1251ToUtf8(fieldText(format.units));
    default:
        return {};
    }
}

} // namespace formats
