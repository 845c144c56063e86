#include "output_rate_text.h"

#include "output_array.h"

#include "board/rate_codes.h"

namespace transmission {

void updateOutputRateText(board::SharedState& state) {
    const auto code = state.FreqCodes.SOfreq[currentChannelIndex(state)];
    state.SOrateText = board::rateTextFor(board::kOutputRateTexts, code, state.SOrateText);
}

} // namespace transmission
