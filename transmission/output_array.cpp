#include "output_array.h"

#include "output_rate_text.h"

#include "util/printf_text.h"

namespace transmission {

// CurSO is a tab index and never leaves 0..7 through this layer; the modulo keeps a stray
// value from reaching past the eight records.
std::size_t currentChannelIndex(const board::SharedState& state) {
    return state.CurSO % board::kMaxChannels;
}

board::SOrecord& currentOutputRecord(board::SharedState& state) {
    return state.SOrecord[currentChannelIndex(state)];
}

const board::SOrecord& currentOutputRecord(const board::SharedState& state) {
    return state.SOrecord[currentChannelIndex(state)];
}

std::uint16_t currentArraySize(const board::SharedState& state) {
    return state.SOArrayDim[currentChannelIndex(state)];
}

bool selectOutputChannel(board::SharedState& state, int tabIndex) {
    if (tabIndex < 0 || tabIndex >= board::kMaxChannels)
        return false;
    state.CurSO = static_cast<std::uint16_t>(tabIndex);
    state.SOchannelNo = static_cast<std::uint16_t>(tabIndex + 1);
    updateOutputRateText(state);
    return true;
}

std::string outputArrayTitle(const board::SharedState& state) {
    return util::printfText("Массив выходных параметров канала № %d",
                            static_cast<int>(state.SOchannelNo));
}

int outputGridRowCount(const board::SharedState& state) { return currentArraySize(state) + 1; }

bool isDataRow(const board::SharedState& state, int row) {
    return row >= 1 && row <= currentArraySize(state) && row <= kMaxArraySize;
}

int arraySizeListItem(const board::SharedState& state) { return currentArraySize(state) - 1; }

bool setArraySizeFromListItem(board::SharedState& state, int item) {
    if (item < 0 || item >= kMaxArraySize)
        return false;
    const auto size = static_cast<std::uint16_t>(item + 1);
    state.SOArrayDim[currentChannelIndex(state)] = size;
    state.SOCycleDim[currentChannelIndex(state)] = size;
    return true;
}

void clearOutputArray(board::SharedState& state) { currentOutputRecord(state).SOwords.fill(0); }

void fillTestPattern(board::SharedState& state) {
    auto& words = currentOutputRecord(state).SOwords;
    for (unsigned k = 0; k < words.size(); ++k)
        words[k] = testPatternWord(state.SOchannelNo, k);
}

} // namespace transmission
