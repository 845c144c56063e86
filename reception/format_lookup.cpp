#include "format_lookup.h"

#include "formats/cp1251.h"
#include "formats/format_table.h"

namespace reception {

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
        // Labels are read up to their NUL or their field's end.
        const auto label = formats::fieldText(assignment.formatLabel);
        if (const formats::DecimalFormat* format = formats::findFormatByLabel(formatTable, label))
            lookup.slots[assignment.address] = *format;
    }
}

void rebuildAllChannelsFormatLookup(AllChannelsFormatLookup& lookup,
                                    const formats::DecimalFormatTable& formatTable,
                                    const formats::AssignmentTable& assignmentTable) {
    for (std::size_t index = 0; index < lookup.channels.size(); ++index)
        rebuildChannelFormatLookup(lookup.channels[index], static_cast<std::uint16_t>(index + 1),
                                   formatTable, assignmentTable);
}

} // namespace reception
