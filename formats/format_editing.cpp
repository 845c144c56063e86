#include "format_editing.h"

#include "editor_text.h"
#include "format_cells.h"
#include "numeric_read.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace formats {
namespace {

constexpr std::uint16_t kLowestDataBit = 9;
constexpr std::uint16_t kHighestDataBit = 29;
constexpr std::uint16_t kHighestBitBelowSign = 28;
constexpr std::size_t kBitNumberChars = 2;

// The other bit number as a bound for the one typed: a damaged state file may hold any byte
// there, and the editor stores data bits 9..29 only.
std::uint16_t asBound(std::uint8_t otherBit) {
    return std::clamp<std::uint16_t>(otherBit, kLowestDataBit, kHighestDataBit);
}

// The common part of the MSB and LSB rules: length limit, decimal read and the two clamps.
std::optional<std::uint16_t> readBitNumber(std::string_view text, util::Beeper& beeper) {
    auto bit = readCellNumber(text, kBitNumberChars, 10, beeper);
    if (!bit)
        return std::nullopt;
    holdAtMost(*bit, kHighestDataBit, beeper);
    if (*bit < kLowestDataBit)
        *bit = kLowestDataBit;
    return bit;
}

EditResult editMsbBit(DecimalFormat& format, std::string_view text, util::Beeper& beeper) {
    auto bit = readBitNumber(text, beeper);
    if (!bit)
        return EditResult::Refused;
    if (format.bit29Mode == 0 && *bit == kHighestDataBit) {
        // Bit 29 carries the sign, so the data can reach bit 28 at most.
        format.msbBit = kHighestBitBelowSign;
        beeper.beep();
        return EditResult::Stored;
    }
    holdAtLeast(*bit, asBound(format.lsbBit), beeper);
    format.msbBit = static_cast<std::uint8_t>(*bit);
    return EditResult::Stored;
}

EditResult editLsbBit(DecimalFormat& format, std::string_view text, util::Beeper& beeper) {
    auto bit = readBitNumber(text, beeper);
    if (!bit)
        return EditResult::Refused;
    // With no MSB yet the LSB can only be 0: the MSB has to be entered first.
    holdAtMost(*bit, format.msbBit == 0 ? 0 : asBound(format.msbBit), beeper);
    format.lsbBit = static_cast<std::uint8_t>(*bit);
    return EditResult::Stored;
}

EditResult editMsbWeight(DecimalFormat& format, std::string_view text, util::Beeper& beeper) {
    const auto weight = readLeadingFloat(text);
    if (!weight) {
        beeper.beep();
        return EditResult::Refused;
    }
    format.msbWeight = *weight;
    return EditResult::Stored;
}

} // namespace

EditResult editFormatCell(DecimalFormatTable& table, int slot, int column,
                          std::string_view utf8Text, char32_t lastKey, util::Beeper& beeper) {
    if (slot < 0 || slot >= kFormatSlots)
        return EditResult::Ignored;
    DecimalFormat& format = table.slots[static_cast<std::size_t>(slot)];
    const bool numeric = column == kMsbColumn || column == kLsbColumn || column == kWeightColumn;
    if (numeric && !keyPassesFilter(lastKey, '0', '9')) {
        beeper.beep();
        return EditResult::Refused;
    }
    switch (column) {
    case kLabelColumn: return editTextField(format.label, utf8Text, beeper);
    case kMsbColumn: return editMsbBit(format, utf8Text, beeper);
    case kLsbColumn: return editLsbBit(format, utf8Text, beeper);
    case kWeightColumn: return editMsbWeight(format, utf8Text, beeper);
    case kUnitsColumn: return editTextField(format.units, utf8Text, beeper);
    default: return EditResult::Ignored;
    }
}

bool chooseBit29Mode(DecimalFormatTable& table, int slot, int itemIndex) {
    if (slot < 0 || slot >= kFormatSlots || itemIndex < 0 || itemIndex > 1)
        return false;
    DecimalFormat& format = table.slots[static_cast<std::size_t>(slot)];
    format.bit29Mode = static_cast<std::uint8_t>(itemIndex);
    if (format.bit29Mode == 0 && format.msbBit == kHighestDataBit) {
        format.msbBit = kHighestBitBelowSign;
        return true;
    }
    return false;
}

} // namespace formats
