#pragma once

#include "decimal_format.h"

#include <array>
#include <string>
#include <string_view>

namespace formats {

inline constexpr int kFormatColumns = 6;

/// Column indices of the decimal format grid and of the read-only format list.
enum FormatColumn : int {
    kLabelColumn = 0,
    kBit29Column = 1,
    kMsbColumn = 2,
    kLsbColumn = 3,
    kWeightColumn = 4,
    kUnitsColumn = 5,
};

inline constexpr std::array<std::string_view, kFormatColumns> kFormatColumnHeaders = {
    " метка", "29-й бит", "№ ст.бита", "№ мл.бита", "цена ст.разряда", "единицы измерения",
};

/// The bit-29 drop-down's items, in this order: item index = bit29Mode.
inline constexpr std::array<std::string_view, 2> kBit29Items = {"знак", "данные"};

/// @brief A data cell's text (UTF-8) of the format grid and of the format list; an empty
/// text for a column outside 0..5.
[[nodiscard]] std::string formatCellText(const DecimalFormat& format, int column);

/// @brief A format whose cells are the widest the format grids show for the formats in use:
/// label and units of full length in a broad letter, "данные", two-digit bit numbers and a
/// weight of six integer digits with a sign. The grids' default column widths come from it;
/// a larger weight shows cut until the user widens its column.
[[nodiscard]] DecimalFormat widestShownFormat();

/// @brief The drop-down item shown for the format: any nonzero bit29Mode reads as data.
[[nodiscard]] constexpr int bit29ItemIndex(const DecimalFormat& format) {
    return format.bit29Mode != 0 ? 1 : 0;
}

} // namespace formats
