#include "format_table.h"

#include "cp1251.h"
#include "grid_rows.h"

#include <algorithm>

namespace formats {

bool isComplete(const DecimalFormat& format) {
    return format.label[0] != '\0' && format.msbBit != 0 && format.lsbBit != 0 &&
           format.msbWeight != 0.0F && format.units[0] != '\0';
}

int compactFormats(DecimalFormatTable& table, int gridRows) {
    const int rowSlots = slotsWithRows(gridRows);
    int kept = 0;
    for (int slot = 0; slot < rowSlots; ++slot) {
        if (isComplete(table.slots[slot]))
            table.slots[kept++] = table.slots[slot];
    }
    table.formatCount = static_cast<std::uint16_t>(kept);
    for (int slot = kept; slot < kFormatSlots; ++slot) {
        DecimalFormat& cleared = table.slots[slot];
        cleared.label[0] = '\0';
        cleared.msbBit = 0;
        cleared.lsbBit = 0;
        cleared.msbWeight = 0.0F;
        cleared.units[0] = '\0';
    }
    return gridRowsFor(kept);
}

int deleteFormatRow(DecimalFormatTable& table, int slot, int gridRows) {
    if (slot >= 0 && slot < kFormatSlots)
        table.slots[slot].label[0] = '\0';
    return compactFormats(table, gridRows);
}

const DecimalFormat* findFormatByLabel(const DecimalFormatTable& table, std::string_view label) {
    const int count = std::min<int>(table.formatCount, kFormatSlots);
    for (int slot = 0; slot < count; ++slot) {
        if (fieldText(table.slots[slot].label) == label)
            return &table.slots[slot];
    }
    return nullptr;
}

} // namespace formats
