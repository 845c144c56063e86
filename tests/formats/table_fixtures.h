#pragma once

#include "formats/assignment.h"
#include "formats/decimal_format.h"
#include "formats/editor_text.h"

#include <cstdint>
#include <string_view>

namespace formats_testing {

inline formats::DecimalFormat makeFormat(std::string_view label, std::uint8_t msb, std::uint8_t lsb,
                                         float weight, std::string_view units,
                                         std::uint8_t bit29Mode = 0) {
    formats::DecimalFormat format{};
    formats::storeFieldText(format.label, label);
    format.bit29Mode = bit29Mode;
    format.msbBit = msb;
    format.lsbBit = lsb;
    format.msbWeight = weight;
    formats::storeFieldText(format.units, units);
    return format;
}

inline formats::ParamFormatAssignment makeAssignment(std::uint8_t address, std::uint8_t channel,
                                                     std::string_view label) {
    formats::ParamFormatAssignment assignment{};
    assignment.address = address;
    assignment.channel = channel;
    formats::storeFieldText(assignment.formatLabel, label);
    return assignment;
}

} // namespace formats_testing
