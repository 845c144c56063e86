#include "example_tables.h"

#include "formats/assignment_cells.h"
#include "formats/assignment_editing.h"
#include "formats/assignment_file.h"
#include "formats/assignment_table.h"
#include "formats/cp1251.h"
#include "formats/format_cells.h"
#include "formats/format_editing.h"
#include "formats/format_state_file.h"
#include "formats/format_table.h"
#include "formats/grid_rows.h"

#include "util/beeper.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace tools {
namespace {

// The LSB is worth msbWeight / 2^(msbBit - lsbBit): altitude 1 ft, its rate 16 ft/min, the
// speeds 1/16 kt, heading and attitude 0.0055 and 0.011 deg, position 0.00017 deg.
constexpr std::array<ExampleFormat, 9> kFormats = {{
    {0203, "ВЫСОТА", "28", "12", "65536", "фут"},     // pressure altitude
    {0212, "ВЕРТ.СК", "28", "18", "16384", "фт/мин"}, // altitude rate
    {0206, "ПРИБ.СК", "28", "15", "512", "узл"},      // computed airspeed
    {0210, "ИСТ.СК", "28", "14", "1024", "узл"},      // true airspeed
    {0320, "МАГ.КУРС", "28", "14", "90", "град"},     // magnetic heading
    {0324, "ТАНГАЖ", "28", "15", "90", "град"},       // pitch
    {0325, "КРЕН", "28", "15", "90", "град"},         // roll
    {0310, "ШИРОТА", "28", "9", "90", "град"},        // latitude
    {0311, "ДОЛГОТА", "28", "9", "90", "град"},       // longitude
}};

constexpr int kSignBitItem = 0; // "знак"

// Example data must pass the editors' rules untouched: a beep means a refused or corrected
// entry, which would ship something other than what the table says.
class StrictEntry : public util::Beeper {
public:
    void beep() override { ++beeps_; }

    void expectStored(formats::EditResult result, std::string_view what, int slot) const {
        expect(result == formats::EditResult::Stored, what, slot);
    }

    void expect(bool taken, std::string_view what, int slot) const {
        if (!taken || beeps_ != 0)
            throw std::runtime_error("example entry refused or corrected: " + std::string(what) +
                                     " in row " + std::to_string(slot + 1));
    }

private:
    int beeps_ = 0;
};

void typeFormat(formats::DecimalFormatTable& table, int slot, const ExampleFormat& format) {
    using namespace formats;
    StrictEntry entry;
    // Whole texts arrive at once, as when pasted.
    const auto type = [&](int column, std::string_view text) {
        entry.expectStored(editFormatCell(table, slot, column, text, kKeyPaste, entry), text, slot);
    };
    type(kLabelColumn, format.label);
    entry.expect(!chooseBit29Mode(table, slot, kSignBitItem), "bit 29", slot);
    // The MSB first: an LSB entered on a row without an MSB is held to 0.
    type(kMsbColumn, format.msbBit);
    type(kLsbColumn, format.lsbBit);
    type(kWeightColumn, format.msbWeight);
    type(kUnitsColumn, format.units);
}

void typeAssignment(const formats::DecimalFormatTable& formats, formats::AssignmentTable& table,
                    int slot, std::uint8_t channel, const ExampleFormat& format) {
    using namespace formats;
    StrictEntry entry;
    char octal[8];
    std::snprintf(octal, sizeof octal, "%o", static_cast<unsigned>(format.address));
    const std::string channelText = std::to_string(channel);
    entry.expectStored(editAssignmentCell(table, slot, kAddressColumn, octal, kKeyPaste, entry),
                       octal, slot);
    entry.expectStored(
        editAssignmentCell(table, slot, kChannelColumn, channelText, kKeyPaste, entry), channelText,
        slot);

    const std::string label = utf8ToCp1251(format.label);
    const DecimalFormat* listed = findFormatByLabel(formats, label);
    const bool transferred = listed != nullptr &&
                             transferFormatLabel(formats,
                                                 static_cast<int>(listed - formats.slots.data()),
                                                 table, slot, true);
    entry.expect(transferred, format.label, slot);
}

} // namespace

std::span<const ExampleFormat> exampleFormats() { return kFormats; }

formats::DecimalFormatTable buildExampleFormatTable() {
    formats::DecimalFormatTable table;
    int gridRows = formats::gridRowsFor(0);
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        const int slot = static_cast<int>(i);
        if (formats::slotsWithRows(gridRows) <= slot)
            gridRows = formats::gridRowsAfterAdd(gridRows);
        typeFormat(table, slot, kFormats[i]);
    }
    (void)formats::compactFormats(table, gridRows);
    if (table.formatCount != kFormats.size())
        throw std::runtime_error("an example format is incomplete");
    return table;
}

formats::AssignmentTable buildExampleAssignmentTable(const formats::DecimalFormatTable& formats) {
    formats::AssignmentTable table;
    int gridRows = formats::gridRowsFor(0);
    int slot = 0;
    for (const std::uint8_t channel : kTrafficInputs) {
        for (const ExampleFormat& format : kFormats) {
            if (formats::slotsWithRows(gridRows) <= slot)
                gridRows = formats::gridRowsAfterAdd(gridRows);
            typeAssignment(formats, table, slot++, channel, format);
        }
    }
    (void)formats::compactAssignments(table, gridRows);
    if (table.assignmentCount != slot)
        throw std::runtime_error("an example assignment is incomplete");
    return table;
}

std::error_code writeExampleFiles(const std::filesystem::path& folder) {
    const formats::DecimalFormatTable formatTable = buildExampleFormatTable();
    formats::AssignmentTable assignmentTable = buildExampleAssignmentTable(formatTable);
    if (const std::error_code error =
            formats::saveFormatState(formatTable, folder / formats::kFormatStateFileName))
        return error;
    return formats::saveAssignmentFile(assignmentTable,
                                       formats::gridRowsFor(assignmentTable.assignmentCount),
                                       folder / kExampleAssignmentFileName)
        .error;
}

} // namespace tools
