// Typing into "Форматы параметров" and the label transfer from its format list, on tables
// that may hold damaged records from files: each change touches only its own field, the
// channel stays in 1..8, and every row still shows, colours and decodes.

#include "counting_beeper.h"
#include "fuzz_support.h"
#include "table_checks.h"
#include "typing_input.h"

#include "formats/assignment_cells.h"
#include "formats/assignment_editing.h"
#include "formats/assignment_table.h"
#include "formats/cell_edit.h"
#include "formats/grid_rows.h"
#include "reception/decimal_decode.h"
#include "reception/format_lookup.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using formats::AssignmentTable;
using formats::EditResult;
using formats::ParamFormatAssignment;
using Grid = fuzz_tables::AssignmentGrid;

void show(const formats::DecimalFormatTable& formats, const AssignmentTable& table, int slot,
          std::uint32_t word) {
    const ParamFormatAssignment& assignment = table.slots[static_cast<std::size_t>(slot)];
    for (int column = -1; column <= formats::kAssignmentColumns; ++column)
        FUZZ_CHECK(fuzz_support::isUtf8(formats::assignmentCellText(assignment, column)));
    (void)formats::labelNamesNoFormat(formats, assignment);
    reception::ChannelFormatLookup lookup;
    reception::rebuildChannelFormatLookup(lookup, assignment.channel, formats, table);
    FUZZ_CHECK(fuzz_support::isUtf8(
        reception::decodeDecimal((word & ~0xFFu) | assignment.address, lookup)));
}

void typeIntoCell(const formats::DecimalFormatTable& formats, AssignmentTable& table,
                  FuzzedDataProvider& input, char32_t lastKey,
                  testing_support::CountingBeeper& beeper) {
    const int slot = Grid::anySlot(input);
    const int column = input.ConsumeIntegralInRange(-1, formats::kAssignmentColumns);
    const std::string text = fuzz_typing::consumeText(input, "0123456789");
    const AssignmentTable before = table;
    const int beeps = beeper.beeps;
    const EditResult result =
        formats::editAssignmentCell(table, slot, column, text, lastKey, beeper);

    const bool numeric = column == formats::kAddressColumn || column == formats::kChannelColumn;
    if (!Grid::inTable(slot) || !numeric) {
        FUZZ_CHECK(result == EditResult::Ignored && beeper.beeps == beeps);
        FUZZ_CHECK(fuzz_support::sameBytes(before, table));
        return;
    }
    const auto index = static_cast<std::size_t>(slot);
    FUZZ_CHECK(fuzz_support::sameExcept(before.slots, table.slots, index));
    const ParamFormatAssignment& was = before.slots[index];
    const ParamFormatAssignment& now = table.slots[index];
    FUZZ_CHECK(result != EditResult::Ignored);
    const bool addressColumn = column == formats::kAddressColumn;
    if (!formats::keyPassesFilter(lastKey, addressColumn ? '0' : '1', addressColumn ? '7' : '8'))
        FUZZ_CHECK(result == EditResult::Refused);
    if (result == EditResult::Refused) {
        FUZZ_CHECK(fuzz_support::sameBytes(was, now));
        FUZZ_CHECK(beeper.beeps == beeps + 1);
        return;
    }
    FUZZ_CHECK(now.formatLabel == was.formatLabel);
    if (addressColumn) {
        FUZZ_CHECK(now.channel == was.channel);
    } else {
        FUZZ_CHECK(now.address == was.address);
        FUZZ_CHECK(now.channel >= 1 && now.channel <= 8);
    }
    show(formats, table, slot, input.ConsumeIntegral<std::uint32_t>());
}

void transferLabel(const formats::DecimalFormatTable& formats, AssignmentTable& table,
                   FuzzedDataProvider& input) {
    const int formatSlot = fuzz_tables::FormatGrid::anySlot(input);
    const int slot = Grid::anySlot(input);
    const bool inside = input.ConsumeBool();
    const AssignmentTable before = table;
    const bool copied = formats::transferFormatLabel(formats, formatSlot, table, slot, inside);
    FUZZ_CHECK(copied ==
               (inside && Grid::inTable(slot) && fuzz_tables::FormatGrid::inTable(formatSlot)));
    if (!copied) {
        FUZZ_CHECK(fuzz_support::sameBytes(before, table));
        return;
    }
    const auto index = static_cast<std::size_t>(slot);
    FUZZ_CHECK(table.slots[index].formatLabel ==
               formats.slots[static_cast<std::size_t>(formatSlot)].label);
    FUZZ_CHECK(table.slots[index].address == before.slots[index].address &&
               table.slots[index].channel == before.slots[index].channel);
    show(formats, table, slot, input.ConsumeIntegral<std::uint32_t>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    formats::DecimalFormatTable formats;
    (void)fuzz_tables::loadRawRecords(formats, formats.formatCount, input, 4);
    AssignmentTable table;
    const int gridRows = fuzz_tables::loadRawRecords(table, table.assignmentCount, input, 3);
    testing_support::CountingBeeper beeper;
    fuzz_tables::runGridSteps<Grid>(
        input, table, gridRows,
        [&](char32_t lastKey) { typeIntoCell(formats, table, input, lastKey, beeper); },
        [&] { transferLabel(formats, table, input); });
    return 0;
}
