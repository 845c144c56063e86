#include "assignment_editing.h"

#include "assignment_cells.h"
#include "editor_text.h"

#include <cstdint>

namespace formats {
namespace {

// How one numeric column is typed and held to its range.
struct NumberColumn {
    char firstKey;
    char lastKey;
    std::size_t maxChars;
    int base;
    std::uint16_t lowest;
    std::uint16_t highest;
};

// Addresses are typed in octal; 0 is accepted but leaves the assignment incomplete.
constexpr NumberColumn kAddress = {'0', '7', 3, 8, 0, 0377};
constexpr NumberColumn kChannel = {'1', '8', 1, 10, 1, 8};

EditResult editNumber(std::uint8_t& field, const NumberColumn& column, std::string_view text,
                      char32_t lastKey, util::Beeper& beeper) {
    if (!keyPassesFilter(lastKey, column.firstKey, column.lastKey)) {
        beeper.beep();
        return EditResult::Refused;
    }
    auto value = readCellNumber(text, column.maxChars, column.base, beeper);
    if (!value)
        return EditResult::Refused;
    holdAtMost(*value, column.highest, beeper);
    holdAtLeast(*value, column.lowest, beeper);
    field = static_cast<std::uint8_t>(*value);
    return EditResult::Stored;
}

} // namespace

EditResult editAssignmentCell(AssignmentTable& table, int slot, int column,
                              std::string_view utf8Text, char32_t lastKey, util::Beeper& beeper) {
    if (slot < 0 || slot >= kAssignmentSlots)
        return EditResult::Ignored;
    ParamFormatAssignment& assignment = table.slots[static_cast<std::size_t>(slot)];
    switch (column) {
    case kAddressColumn: return editNumber(assignment.address, kAddress, utf8Text, lastKey, beeper);
    case kChannelColumn: return editNumber(assignment.channel, kChannel, utf8Text, lastKey, beeper);
    default: return EditResult::Ignored;
    }
}

} // namespace formats
