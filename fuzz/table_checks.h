#pragma once

// The compaction invariants of both format tables, checked after every compaction the
// targets run: the complete records among the slots with a grid row move to the front in
// order, and every slot after them is cleared. Also the step loop of both grid targets.

#include "fuzz_support.h"
#include "typing_input.h"

#include "formats/assignment_table.h"
#include "formats/format_table.h"
#include "formats/grid_rows.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <vector>

namespace fuzz_tables {

/// A slot number for a step: mostly one of the first rows, sometimes any, just outside too.
[[nodiscard]] inline int consumeSlot(FuzzedDataProvider& input, int slots) {
    return input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 3)
                               : input.ConsumeIntegralInRange(-2, slots + 1);
}

/// Fills the first slots with records taken whole from the input, as a damaged file may
/// leave them, and counts them as the table's records. @return the grid's row count.
template <typename Table, typename Count>
int loadRawRecords(Table& table, Count& count, FuzzedDataProvider& input, int most) {
    const int records = input.ConsumeIntegralInRange(0, most);
    for (int slot = 0; slot < records; ++slot) {
        const auto record = input.ConsumeBytes<std::uint8_t>(sizeof table.slots[0]);
        if (!record.empty())
            std::memcpy(&table.slots[static_cast<std::size_t>(slot)], record.data(), record.size());
    }
    count = static_cast<Count>(records);
    return formats::gridRowsFor(records);
}

template <typename Record, std::size_t Slots, typename Compact, typename Cleared>
void checkCompaction(std::array<Record, Slots>& slots, const std::uint16_t& count, int gridRows,
                     Compact compact, Cleared cleared) {
    std::vector<Record> complete;
    for (int slot = 0; slot < formats::slotsWithRows(gridRows); ++slot)
        if (formats::isComplete(slots[static_cast<std::size_t>(slot)]))
            complete.push_back(slots[static_cast<std::size_t>(slot)]);
    const std::array<Record, Slots> before = slots;

    const int rows = compact();
    FUZZ_CHECK(count == complete.size());
    FUZZ_CHECK(rows == formats::gridRowsFor(count));
    for (std::size_t slot = 0; slot < Slots; ++slot) {
        if (slot < complete.size())
            FUZZ_CHECK(fuzz_support::sameBytes(slots[slot], complete[slot]));
        else
            FUZZ_CHECK(cleared(slots[slot], before[slot]));
    }
}

inline std::string weightBytes(const formats::DecimalFormat& format) {
    return fuzz_support::bytesOf(format).substr(offsetof(formats::DecimalFormat, msbWeight), 4);
}

/// Compacts the format table through `compact` (compactFormats or a row deletion).
template <typename Compact>
void checkFormatCompaction(formats::DecimalFormatTable& table, int gridRows, Compact compact) {
    checkCompaction(table.slots, table.formatCount, gridRows, compact,
                    [](const formats::DecimalFormat& format, const formats::DecimalFormat& before) {
                        return format.label[0] == '\0' && format.msbBit == 0 &&
                               format.lsbBit == 0 && format.units[0] == '\0' &&
                               weightBytes(format) == std::string(4, '\0') &&
                               format.bit29Mode == before.bit29Mode;
                    });
}

template <typename Compact>
void checkAssignmentCompaction(formats::AssignmentTable& table, int gridRows, Compact compact) {
    checkCompaction(table.slots, table.assignmentCount, gridRows, compact,
                    [](const formats::ParamFormatAssignment& assignment,
                       const formats::ParamFormatAssignment&) {
                        return assignment.address == 0 && assignment.channel == 0 &&
                               assignment.formatLabel[0] == '\0';
                    });
}

/// Slots of a table of `Slots`, as a step picks them and as the editors tell them apart.
template <int Slots>
struct SlotsOf {
    [[nodiscard]] static int anySlot(FuzzedDataProvider& input) {
        return consumeSlot(input, Slots);
    }
    [[nodiscard]] static bool inTable(int slot) { return slot >= 0 && slot < Slots; }
};

/// The decimal format table as the grid steps handle it.
struct FormatGrid : SlotsOf<formats::kFormatSlots> {
    using Table = formats::DecimalFormatTable;
    static void emptyLabel(Table& table, std::size_t slot) { table.slots[slot].label[0] = '\0'; }
    static int compact(Table& table, int gridRows) {
        return formats::compactFormats(table, gridRows);
    }
    static int deleteRow(Table& table, int slot, int gridRows) {
        return formats::deleteFormatRow(table, slot, gridRows);
    }
    template <typename Compact>
    static void checkCompaction(Table& table, int gridRows, Compact compact) {
        checkFormatCompaction(table, gridRows, compact);
    }
};

/// The assignment table as the grid steps handle it.
struct AssignmentGrid : SlotsOf<formats::kAssignmentSlots> {
    using Table = formats::AssignmentTable;
    static void emptyLabel(Table& table, std::size_t slot) {
        table.slots[slot].formatLabel[0] = '\0';
    }
    static int compact(Table& table, int gridRows) {
        return formats::compactAssignments(table, gridRows);
    }
    static int deleteRow(Table& table, int slot, int gridRows) {
        return formats::deleteAssignmentRow(table, slot, gridRows);
    }
    template <typename Compact>
    static void checkCompaction(Table& table, int gridRows, Compact compact) {
        checkAssignmentCompaction(table, gridRows, compact);
    }
};

/// "-" on a row the input picks: the same as emptying the row's label and compacting.
/// @return the grid's row count after the deletion.
template <typename Grid>
int checkRowDeletion(typename Grid::Table& table, FuzzedDataProvider& input, int gridRows) {
    const int slot = Grid::anySlot(input);
    typename Grid::Table expected = table;
    if (Grid::inTable(slot))
        Grid::emptyLabel(expected, static_cast<std::size_t>(slot));
    Grid::checkCompaction(expected, gridRows, [&] { return Grid::compact(expected, gridRows); });
    gridRows = Grid::deleteRow(table, slot, gridRows);
    FUZZ_CHECK(fuzz_support::sameBytes(table, expected));
    return gridRows;
}

/// Up to 64 steps on a grid, in the order the input picks: a key press, typing into a cell
/// after the last key (`typeIntoCell(lastKey)`), the grid's own command (`ownCommand()`),
/// adding a row, "-" on a row, and compacting the table.
template <typename Grid, typename TypeIntoCell, typename OwnCommand>
void runGridSteps(FuzzedDataProvider& input, typename Grid::Table& table, int gridRows,
                  TypeIntoCell typeIntoCell, OwnCommand ownCommand) {
    char32_t lastKey = 0;
    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
        switch (input.ConsumeIntegralInRange(0, 6)) {
        case 0:
        case 1: lastKey = fuzz_typing::consumeKey(input, "0123456789"); break;
        case 2: typeIntoCell(lastKey); break;
        case 3: ownCommand(); break;
        case 4:
            gridRows = formats::gridRowsAfterAdd(gridRows);
            FUZZ_CHECK(gridRows <= formats::kMaxDataRows + 1);
            break;
        case 5: gridRows = checkRowDeletion<Grid>(table, input, gridRows); break;
        default:
            Grid::checkCompaction(table, gridRows,
                                  [&] { return gridRows = Grid::compact(table, gridRows); });
            break;
        }
    }
}

} // namespace fuzz_tables
