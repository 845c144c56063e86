// Assignment files "*.si": any bytes load over a table that was in use, every loaded slot
// shows, colours and decodes, and compaction keeps exactly the complete assignments.

#include "fuzz_support.h"
#include "table_checks.h"

#include "formats/assignment_cells.h"
#include "formats/assignment_file.h"
#include "formats/assignment_table.h"
#include "formats/grid_rows.h"
#include "reception/decimal_decode.h"
#include "reception/format_lookup.h"
#include "tools/example_tables.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

using formats::AssignmentTable;
using formats::ParamFormatAssignment;

constexpr std::size_t kRecord = sizeof(ParamFormatAssignment);

const formats::DecimalFormatTable& exampleFormats() {
    static const formats::DecimalFormatTable table = tools::buildExampleFormatTable();
    return table;
}

// A table as the window holds it before "Восстановить": the example rows, then leftovers.
const AssignmentTable& tableInUse() {
    static const AssignmentTable table = [] {
        AssignmentTable t = tools::buildExampleAssignmentTable(exampleFormats());
        for (std::size_t slot = t.assignmentCount; slot < formats::kAssignmentSlots; ++slot) {
            auto& leftover = t.slots[slot];
            leftover.address = static_cast<std::uint8_t>(slot);
            leftover.channel = static_cast<std::uint8_t>(slot % 9);
            leftover.formatLabel = {'O', 'L', 'D', static_cast<char>('A' + slot % 26)};
        }
        return t;
    }();
    return table;
}

void checkLoadedBytes(const AssignmentTable& before, const AssignmentTable& table,
                      const formats::AssignmentFileLoad& load, std::span<const std::uint8_t> data) {
    const std::size_t pieces = (data.size() + kRecord - 1) / kRecord;
    FUZZ_CHECK(load.opened);
    FUZZ_CHECK(table.assignmentCount == std::min<std::size_t>(pieces, formats::kAssignmentSlots));
    FUZZ_CHECK(load.ignoredRecords == pieces - table.assignmentCount);
    FUZZ_CHECK(load.gridRows == formats::gridRowsFor(table.assignmentCount));
    for (std::size_t slot = 0; slot < formats::kAssignmentSlots; ++slot) {
        // Each slot holds the file's bytes where the file reaches, else its earlier bytes
        // with the channel cleared.
        std::string expected = fuzz_support::bytesOf(before.slots[slot]);
        expected[offsetof(ParamFormatAssignment, channel)] = '\0';
        const std::size_t from = slot * kRecord;
        for (std::size_t k = 0; k < kRecord && from + k < data.size(); ++k)
            expected[k] = static_cast<char>(data[from + k]);
        FUZZ_CHECK(fuzz_support::bytesOf(table.slots[slot]) == expected);
    }
}

void showAndDecode(const AssignmentTable& table, std::span<const std::uint8_t> data) {
    const formats::DecimalFormatTable& formatTable = exampleFormats();
    for (int slot = 0; slot < table.assignmentCount; ++slot) {
        const ParamFormatAssignment& assignment = table.slots[static_cast<std::size_t>(slot)];
        for (int column = -1; column <= formats::kAssignmentColumns; ++column) {
            const std::string text = formats::assignmentCellText(assignment, column);
            FUZZ_CHECK(fuzz_support::isUtf8(text) && text.size() < 32);
        }
        (void)formats::labelNamesNoFormat(formatTable, assignment);
    }
    reception::ChannelFormatLookup lookup;
    std::vector<std::uint16_t> channels = {1, 2, 3, 4, 5, 6, 7, 8};
    if (table.assignmentCount > 0)
        channels.push_back(table.slots[0].channel);
    for (const std::uint16_t channel : channels) {
        reception::rebuildChannelFormatLookup(lookup, channel, formatTable, table);
        for (int slot = 0; slot < table.assignmentCount; ++slot) {
            const std::uint32_t word =
                (fuzz_support::wordAt(data, static_cast<std::size_t>(slot) * 5) & ~0xFFu) |
                table.slots[static_cast<std::size_t>(slot)].address;
            const std::string text = reception::decodeDecimal(word, lookup);
            FUZZ_CHECK(!text.empty() && fuzz_support::isUtf8(text));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::span<const std::uint8_t> data(bytes, size);
    AssignmentTable table = tableInUse();
    std::istringstream in(std::string(reinterpret_cast<const char*>(bytes), size));
    const formats::AssignmentFileLoad load = formats::loadAssignmentFile(table, in);
    checkLoadedBytes(tableInUse(), table, load, data);

    AssignmentTable fromFile = tableInUse();
    {
        fuzz_support::InputFile file("assignments");
        const formats::AssignmentFileLoad fileLoad =
            formats::loadAssignmentFile(fromFile, file.write(data));
        FUZZ_CHECK(fileLoad.opened && fileLoad.gridRows == load.gridRows &&
                   fileLoad.ignoredRecords == load.ignoredRecords);
    }
    FUZZ_CHECK(fuzz_support::sameBytes(fromFile, table));

    showAndDecode(table, data);
    fuzz_tables::checkAssignmentCompaction(
        table, load.gridRows, [&] { return formats::compactAssignments(table, load.gridRows); });
    showAndDecode(table, data);
    return 0;
}
