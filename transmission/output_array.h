#pragma once

#include "board/shared_state.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace transmission {

inline constexpr int kMaxArraySize = board::kOutputArrayCapacity;

/// @brief CurSO as an index into the per-channel tables.
[[nodiscard]] std::size_t currentChannelIndex(const board::SharedState& state);

/// @brief The output record of the current output channel (tab CurSO).
[[nodiscard]] board::SOrecord& currentOutputRecord(board::SharedState& state);
[[nodiscard]] const board::SOrecord& currentOutputRecord(const board::SharedState& state);

/// @brief SOArrayDim of the current output channel: the number of words shown, saved and sent.
[[nodiscard]] std::uint16_t currentArraySize(const board::SharedState& state);

/// @brief Makes the tab at tabIndex (0..7) the current output channel: CurSO, SOchannelNo
/// and the rate text follow. An index outside the tab set is ignored (returns false).
[[nodiscard]] bool selectOutputChannel(board::SharedState& state, int tabIndex);

/// @brief The title over the output grid, "Массив выходных параметров канала № %d".
[[nodiscard]] std::string outputArrayTitle(const board::SharedState& state);

/// @brief Rows of the output grid: one header row plus one row per word of the array.
[[nodiscard]] int outputGridRowCount(const board::SharedState& state);

/// @brief Whether grid row `row` shows a word (rows 1 .. array size; row 0 is the header).
[[nodiscard]] bool isDataRow(const board::SharedState& state, int row);

/// @brief The size list item showing the current channel's size (item i is size i + 1).
[[nodiscard]] int arraySizeListItem(const board::SharedState& state);

/// @brief A size list item picked: SOArrayDim and SOCycleDim of the current channel both
/// become item + 1. Words above the new size keep their values. An item outside 0..255 is
/// ignored (returns false).
[[nodiscard]] bool setArraySizeFromListItem(board::SharedState& state, int item);

/// @brief All 256 words of the current channel := 0, whatever the array size.
void clearOutputArray(board::SharedState& state);

/// @brief Test word for index k (0..255) on output channel n (1..8): address k, then n,
/// then k inverted, then n inverted, from the least significant byte up.
[[nodiscard]] constexpr std::uint32_t testPatternWord(std::uint16_t channelNo, unsigned index) {
    const std::uint32_t k = index & 0xFFu;
    const std::uint32_t n = channelNo & 0xFFu;
    return k | (n << 8) | ((0xFFu - k) << 16) | ((0xFFu - n) << 24);
}

/// @brief All 256 words of the current channel := the test pattern of SOchannelNo,
/// whatever the array size.
void fillTestPattern(board::SharedState& state);

} // namespace transmission
