#include "assignment_editing.h"

#include "assignment_cells.h"
#include "editor_text.h"

#include <cstdint>
#include <optional>

namespace formats {
namespace {

constexpr std::uint16_t kHighestAddress = 0377;
constexpr std::uint16_t kFirstChannel = 1;
constexpr std::uint16_t kLastChannel = 8;

// The key filter of a numeric column, then its length limit and read.
std::optional<std::uint16_t> readKeyedNumber(std::string_view text, char32_t lastKey,
                                             char firstDigit, char lastDigit,
                                             std::size_t maxChars, int base,
                                             board::Beeper& beeper) {
    if (!keyPassesFilter(lastKey, firstDigit, lastDigit)) {
        beeper.beep();
        return std::nullopt;
    }
    return readCellNumber(text, maxChars, base, beeper);
}

EditResult editAddress(ParamFormatAssignment& assignment, std::string_view text,
                       char32_t lastKey, board::Beeper& beeper) {
    auto address = readKeyedNumber(text, lastKey, '0', '7', 3, 8, beeper);
    if (!address)
        return EditResult::Refused;
    if (*address > kHighestAddress) {
        *address = kHighestAddress;
        beeper.beep();
    }
    assignment.address = static_cast<std::uint8_t>(*address);
    return EditResult::Stored;
}

EditResult editChannel(ParamFormatAssignment& assignment, std::string_view text,
                       char32_t lastKey, board::Beeper& beeper) {
    auto channel = readKeyedNumber(text, lastKey, '1', '8', 1, 10, beeper);
    if (!channel)
        return EditResult::Refused;
    if (*channel > kLastChannel) {
        *channel = kLastChannel;
        beeper.beep();
    }
    if (*channel < kFirstChannel) {
        *channel = kFirstChannel;
        beeper.beep();
    }
    assignment.channel = static_cast<std::uint8_t>(*channel);
    return EditResult::Stored;
}

} // namespace

EditResult editAssignmentCell(AssignmentTable& table, int slot, int column,
                              std::string_view utf8Text, char32_t lastKey,
                              board::Beeper& beeper) {
    if (slot < 0 || slot >= kAssignmentSlots)
        return EditResult::Ignored;
    ParamFormatAssignment& assignment = table.slots[static_cast<std::size_t>(slot)];
    switch (column) {
    case kAddressColumn:
        return editAddress(assignment, utf8Text, lastKey, beeper);
    case kChannelColumn:
        return editChannel(assignment, utf8Text, lastKey, beeper);
    default:
        return EditResult::Ignored;
    }
}

} // namespace formats
