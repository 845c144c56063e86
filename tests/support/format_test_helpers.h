#pragma once

#include "formats/assignment.h"
#include "formats/decimal_format.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace reception_testing {

/// A format with the given fields; texts are copied without regard to their field's NUL, so
/// a text as long as the field leaves it unterminated.
inline formats::DecimalFormat makeFormat(std::string_view label, std::uint8_t bit29Mode,
                                         std::uint8_t msbBit, std::uint8_t lsbBit, float weight,
                                         std::string_view units) {
    formats::DecimalFormat format{};
    std::copy_n(label.begin(), std::min(label.size(), format.label.size()), format.label.begin());
    format.bit29Mode = bit29Mode;
    format.msbBit = msbBit;
    format.lsbBit = lsbBit;
    format.msbWeight = weight;
    std::copy_n(units.begin(), std::min(units.size(), format.units.size()), format.units.begin());
    return format;
}

inline formats::ParamFormatAssignment makeAssignment(std::uint8_t address, std::uint8_t channel,
                                                     std::string_view label) {
    formats::ParamFormatAssignment assignment{};
    assignment.address = address;
    assignment.channel = channel;
    std::copy_n(label.begin(), std::min(label.size(), assignment.formatLabel.size()),
                assignment.formatLabel.begin());
    return assignment;
}

} // namespace reception_testing
