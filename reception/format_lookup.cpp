#include "format_lookup.h"

#include "formats/cp1251.h"

#include <algorithm>

namespace reception {

namespace {

// The first format, counting from slot 0, whose label equals the given one; labels are
// compared byte for byte, each read up to its NUL or its field's end.
const formats::DecimalFormat* findFormat(const formats::DecimalFormatTable& formatTable,
                                         const std::array<char, 9>& label) {
    // A damaged count must not walk past the table.
    const int count = std::min<int>(formatTable.formatCount, formats::kFormatSlots);
    const auto wanted = formats::fieldText(label);
    for (int i = 0; i < count; ++i) {
        if (formats::fieldText(formatTable.slots[i].label) == wanted)
            return &formatTable.slots[i];
    }
    return nullptr;
}

} // namespace

void rebuildChannelFormatLookup(ChannelFormatLookup& lookup, std::uint16_t channelNo,
                                const formats::DecimalFormatTable& formatTable,
                                const formats::AssignmentTable& assignmentTable) {
    for (formats::DecimalFormat& slot : lookup.slots)
        slot.label[0] = '\0';

    for (const formats::ParamFormatAssignment& assignment : assignmentTable.slots) {
        if (assignment.channel == 0)
            break;
        if (assignment.channel != channelNo)
            continue;
        if (const formats::DecimalFormat* format = findFormat(formatTable, assignment.formatLabel))
            lookup.slots[assignment.address] = *format;
    }
}

} // namespace reception
