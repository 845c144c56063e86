// Typing into "Десятичные форматы", on a table that may hold damaged records from a state
// file: each change touches only the field of its column, keeps bit numbers in 9..29, and
// every row still shows and decodes; compaction and "-" keep the table's invariant.

#include "counting_beeper.h"
#include "fuzz_support.h"
#include "table_checks.h"
#include "typing_input.h"

#include "formats/editor_text.h"
#include "formats/format_cells.h"
#include "formats/format_editing.h"
#include "formats/format_table.h"
#include "formats/grid_rows.h"
#include "reception/decimal_decode.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

namespace {

using formats::DecimalFormat;
using formats::DecimalFormatTable;
using formats::EditResult;
using Grid = fuzz_tables::FormatGrid;

struct FieldBytes {
    std::size_t offset;
    std::size_t size;
};

// The bytes each typed column owns; none for the drop-down column and outside the grid.
FieldBytes fieldOf(int column) {
    switch (column) {
    case formats::kLabelColumn: return {offsetof(DecimalFormat, label), 9};
    case formats::kMsbColumn: return {offsetof(DecimalFormat, msbBit), 1};
    case formats::kLsbColumn: return {offsetof(DecimalFormat, lsbBit), 1};
    case formats::kWeightColumn: return {offsetof(DecimalFormat, msbWeight), 4};
    case formats::kUnitsColumn: return {offsetof(DecimalFormat, units), 7};
    default: return {0, 0};
    }
}

bool onlyFieldChanged(const std::string& before, const std::string& after, FieldBytes field) {
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i] && (i < field.offset || i >= field.offset + field.size))
            return false;
    return true;
}

bool isEditorBitNumber(unsigned bit) { return bit >= 9 && bit <= 29; }

// A stored text shows as it was typed: trimmed, up to a NUL that cuts the field short.
void checkStoredText(const DecimalFormat& format, int column, std::string_view typed) {
    std::string_view expected = formats::trimEditorText(typed);
    expected = expected.substr(0, expected.find('\0'));
    const std::string shown = formats::formatCellText(format, column);
    if (shown != expected)
        std::fprintf(stderr, "typed \"%.*s\", shown \"%s\"\n", static_cast<int>(typed.size()),
                     typed.data(), shown.c_str());
    FUZZ_CHECK(shown == expected);
}

void checkEdit(const DecimalFormat& before, const DecimalFormat& after, EditResult result,
               int column, std::string_view text, int beepsBefore, int beepsAfter) {
    const std::string bytesBefore = fuzz_support::bytesOf(before);
    const std::string bytesAfter = fuzz_support::bytesOf(after);
    const FieldBytes field = fieldOf(column);
    if (field.size == 0) {
        FUZZ_CHECK(result == EditResult::Ignored && bytesBefore == bytesAfter);
        FUZZ_CHECK(beepsAfter == beepsBefore);
        return;
    }
    FUZZ_CHECK(result != EditResult::Ignored);
    if (result == EditResult::Refused) {
        FUZZ_CHECK(bytesBefore == bytesAfter && beepsAfter == beepsBefore + 1);
        return;
    }
    FUZZ_CHECK(onlyFieldChanged(bytesBefore, bytesAfter, field));
    switch (column) {
    case formats::kMsbColumn:
        FUZZ_CHECK(isEditorBitNumber(after.msbBit));
        // At or above the LSB, unless the sign rule stopped at 28 or the LSB is damaged.
        if (isEditorBitNumber(after.lsbBit))
            FUZZ_CHECK(after.msbBit >= after.lsbBit || after.msbBit == 28);
        break;
    case formats::kLsbColumn:
        FUZZ_CHECK(after.lsbBit == 0 || isEditorBitNumber(after.lsbBit));
        FUZZ_CHECK(after.msbBit != 0 || after.lsbBit == 0);
        if (isEditorBitNumber(after.msbBit))
            FUZZ_CHECK(after.lsbBit <= after.msbBit);
        break;
    case formats::kWeightColumn: FUZZ_CHECK(std::isfinite(after.msbWeight)); break;
    default: checkStoredText(after, column, text); break;
    }
}

void show(const DecimalFormat& format, std::uint32_t word) {
    for (int column = -1; column <= formats::kFormatColumns; ++column)
        FUZZ_CHECK(fuzz_support::isUtf8(formats::formatCellText(format, column)));
    for (const std::uint32_t w : {word, word | 0x10000000u, word | 0x20000000u})
        FUZZ_CHECK(fuzz_support::isUtf8(reception::decodeDecimalWith(w, format)));
}

void typeIntoCell(DecimalFormatTable& table, FuzzedDataProvider& input, char32_t lastKey,
                  testing_support::CountingBeeper& beeper) {
    const int slot = Grid::anySlot(input);
    const int column = input.ConsumeIntegralInRange(-1, formats::kFormatColumns);
    const bool numeric = column >= formats::kMsbColumn && column <= formats::kWeightColumn;
    const std::string text = fuzz_typing::consumeText(input, numeric ? "0123456789" : "AБв1");
    const DecimalFormatTable before = table;
    const int beeps = beeper.beeps;
    const EditResult result = formats::editFormatCell(table, slot, column, text, lastKey, beeper);

    if (!Grid::inTable(slot)) {
        FUZZ_CHECK(result == EditResult::Ignored && beeper.beeps == beeps);
        FUZZ_CHECK(fuzz_support::sameBytes(before, table));
        return;
    }
    const auto index = static_cast<std::size_t>(slot);
    FUZZ_CHECK(fuzz_support::sameExcept(before.slots, table.slots, index));
    checkEdit(before.slots[index], table.slots[index], result, column, text, beeps, beeper.beeps);
    show(table.slots[index], input.ConsumeIntegral<std::uint32_t>());
}

void chooseBit29(DecimalFormatTable& table, FuzzedDataProvider& input) {
    const int slot = Grid::anySlot(input);
    const int item = input.ConsumeIntegralInRange(-1, 2);
    const DecimalFormatTable before = table;
    const bool lowered = formats::chooseBit29Mode(table, slot, item);
    const bool valid = Grid::inTable(slot) && item >= 0 && item <= 1;
    if (!valid) {
        FUZZ_CHECK(!lowered && fuzz_support::sameBytes(before, table));
        return;
    }
    const auto index = static_cast<std::size_t>(slot);
    const DecimalFormat& was = before.slots[index];
    const DecimalFormat& now = table.slots[index];
    FUZZ_CHECK(now.bit29Mode == item);
    FUZZ_CHECK(lowered == (item == 0 && was.msbBit == 29));
    FUZZ_CHECK(now.msbBit == (lowered ? 28 : was.msbBit));
    FUZZ_CHECK(now.lsbBit == was.lsbBit && now.label == was.label && now.units == was.units);
    show(now, input.ConsumeIntegral<std::uint32_t>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    DecimalFormatTable table;
    const int gridRows = fuzz_tables::loadRawRecords(table, table.formatCount, input, 3);
    testing_support::CountingBeeper beeper;
    fuzz_tables::runGridSteps<Grid>(
        input, table, gridRows,
        [&](char32_t lastKey) { typeIntoCell(table, input, lastKey, beeper); },
        [&] { chooseBit29(table, input); });
    return 0;
}
