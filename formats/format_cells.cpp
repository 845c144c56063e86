#include "format_cells.h"

#include "cp1251.h"

#include "util/printf_text.h"

namespace formats {

DecimalFormat widestShownFormat() {
    constexpr char kBroadLetter = '\xD8'; // "Ш" in cp1251
    DecimalFormat format{};
    format.label.fill(kBroadLetter);
    format.label.back() = '\0';
    format.bit29Mode = 1;
    format.msbBit = 29;
    format.lsbBit = 29;
    format.msbWeight = -999999.0f;
    format.units.fill(kBroadLetter);
    format.units.back() = '\0';
    return format;
}

std::string formatCellText(const DecimalFormat& format, int column) {
    switch (column) {
    case kLabelColumn: return cp1251ToUtf8(fieldText(format.label));
    case kBit29Column:
        return std::string(kBit29Items[static_cast<std::size_t>(bit29ItemIndex(format))]);
    case kMsbColumn: return util::printfText(" %6d", format.msbBit);
    case kLsbColumn: return util::printfText(" %6d", format.lsbBit);
    case kWeightColumn: return util::printfText(" %f", static_cast<double>(format.msbWeight));
    case kUnitsColumn: return cp1251ToUtf8(fieldText(format.units));
    default: return {};
    }
}

} // namespace formats
