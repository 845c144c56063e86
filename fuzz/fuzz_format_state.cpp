// The format state file "KST3frmt.stt": any bytes load, every loaded slot shows and decodes,
// and compaction leaves the table as the editor and the saver expect it.

#include "fuzz_support.h"
#include "table_checks.h"

#include "formats/format_cells.h"
#include "formats/format_state_file.h"
#include "formats/format_table.h"
#include "formats/grid_rows.h"
#include "reception/decimal_decode.h"
#include "reception/format_lookup.h"

#include <algorithm>
#include <sstream>

namespace {

using formats::DecimalFormat;
using formats::DecimalFormatTable;

constexpr std::size_t kRecord = sizeof(DecimalFormat);
constexpr std::size_t kTableBytes = kRecord * formats::kFormatSlots;

void checkLoadedBytes(const DecimalFormatTable& table, std::span<const std::uint8_t> data,
                      std::size_t ignored) {
    const std::size_t pieces = (data.size() + kRecord - 1) / kRecord;
    FUZZ_CHECK(table.formatCount == std::min<std::size_t>(pieces, formats::kFormatSlots));
    FUZZ_CHECK(ignored == pieces - table.formatCount);
    const auto* loaded = reinterpret_cast<const std::uint8_t*>(table.slots.data());
    const std::size_t stored = std::min(data.size(), kTableBytes);
    FUZZ_CHECK(
        std::equal(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(stored), loaded));
    FUZZ_CHECK(std::all_of(loaded + stored, loaded + kTableBytes, [](auto b) { return b == 0; }));
}

// What the grid and the format list show, and what the decimal column makes of words.
void showAndDecode(const DecimalFormatTable& table, std::span<const std::uint8_t> data) {
    formats::AssignmentTable assignments;
    for (int slot = 0; slot < table.formatCount; ++slot) {
        const DecimalFormat& format = table.slots[static_cast<std::size_t>(slot)];
        for (int column = -1; column <= formats::kFormatColumns; ++column) {
            const std::string text = formats::formatCellText(format, column);
            FUZZ_CHECK(fuzz_support::isUtf8(text));
            FUZZ_CHECK(text.size() < 64);
        }
        FUZZ_CHECK(formats::bit29ItemIndex(format) == 0 || formats::bit29ItemIndex(format) == 1);
        auto& assignment = assignments.slots[static_cast<std::size_t>(slot)];
        assignment.address = static_cast<std::uint8_t>(slot);
        assignment.channel = 1;
        assignment.formatLabel = format.label;
    }

    reception::ChannelFormatLookup lookup;
    reception::rebuildChannelFormatLookup(lookup, 1, table, assignments);
    for (int slot = 0; slot < table.formatCount; ++slot) {
        const std::uint32_t base = fuzz_support::wordAt(data, static_cast<std::size_t>(slot) * 7);
        const auto address = static_cast<std::uint32_t>(slot);
        for (const std::uint32_t word : {base, base | 0x10000000u, base | 0x20000000u, ~base}) {
            const std::uint32_t labelled = (word & ~0xFFu) | address;
            const std::string text = reception::decodeDecimal(labelled, lookup);
            FUZZ_CHECK(!text.empty() && fuzz_support::isUtf8(text));
            const std::string direct =
                reception::decodeDecimalWith(labelled, table.slots[static_cast<std::size_t>(slot)]);
            FUZZ_CHECK(!direct.empty() && fuzz_support::isUtf8(direct));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::span<const std::uint8_t> data(bytes, size);
    DecimalFormatTable table;
    formats::AssignmentTable assignments;
    assignments.assignmentCount = 7;

    std::istringstream in(std::string(reinterpret_cast<const char*>(bytes), size));
    const std::size_t ignored = formats::loadFormatState(table, assignments, in);
    FUZZ_CHECK(assignments.assignmentCount == 0);
    checkLoadedBytes(table, data, ignored);

    // The program reads the file by its name; both ways must agree.
    DecimalFormatTable fromFile;
    {
        fuzz_support::InputFile file("format-state");
        const std::size_t fileIgnored =
            formats::loadFormatState(fromFile, assignments, file.write(data));
        FUZZ_CHECK(fileIgnored == ignored);
    }
    FUZZ_CHECK(fuzz_support::sameBytes(fromFile, table));

    showAndDecode(table, data);
    const int gridRows = formats::gridRowsFor(table.formatCount);
    fuzz_tables::checkFormatCompaction(table, gridRows,
                                       [&] { return formats::compactFormats(table, gridRows); });
    return 0;
}
