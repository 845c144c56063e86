#pragma once

#include "board/records.h"
#include "formats/assignment.h"
#include "formats/decimal_format.h"

#include <array>
#include <cstdint>

namespace reception {

inline constexpr int kLookupSlots = 256;

/// @brief The decimal format of each word address (0..255) on the current input channel.
/// A slot whose label is empty holds no format. Slots are copies: edits of the format table
/// reach the decimal column only at the next rebuild.
struct ChannelFormatLookup {
    std::array<formats::DecimalFormat, kLookupSlots> slots{};
};

/// @brief Rebuilds the lookup for one input channel (1..8) from the assignment table and the
/// decimal format table. Assignments are applied in table order up to the first slot whose
/// channel is 0, so the last one whose format exists wins for its address; an assignment whose
/// label names no format changes nothing.
void rebuildChannelFormatLookup(ChannelFormatLookup& lookup, std::uint16_t channelNo,
                                const formats::DecimalFormatTable& formatTable,
                                const formats::AssignmentTable& assignmentTable);

/// @brief The lookups of all eight input channels, for views that decode every channel at
/// once; channels[i] serves channel number i + 1.
struct AllChannelsFormatLookup {
    std::array<ChannelFormatLookup, board::kMaxChannels> channels{};
};

/// @brief Rebuilds every channel's lookup by the same rules as one channel's.
void rebuildAllChannelsFormatLookup(AllChannelsFormatLookup& lookup,
                                    const formats::DecimalFormatTable& formatTable,
                                    const formats::AssignmentTable& assignmentTable);

} // namespace reception
