#pragma once

#include "assignment.h"

#include <array>
#include <string>
#include <string_view>

namespace formats {

inline constexpr int kAssignmentColumns = 3;

/// Column indices of the assignment grid.
enum AssignmentColumn : int {
    kAddressColumn = 0,
    kChannelColumn = 1,
    kFormatLabelColumn = 2,
};

inline constexpr std::array<std::string_view, kAssignmentColumns> kAssignmentColumnHeaders = {
    "  АП  ",
    " № канала",
    " метка",
};

/// @brief A data cell's text (UTF-8) of the assignment grid: the address in octal, the
/// channel, the label; an empty text for a column outside 0..2.
[[nodiscard]] std::string assignmentCellText(const ParamFormatAssignment& assignment, int column);

/// @brief The widest text of a column of the assignment grid: address 377, channel 8 and a
/// label of full length (that of widestShownFormat()).
[[nodiscard]] std::string widestAssignmentCellText(int column);

} // namespace formats
