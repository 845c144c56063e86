#include "output_rate_text.h"

#include "board/rate_codes.h"

namespace transmission {

void updateOutputRateText(board::SharedState& state) {
    const auto code = state.FreqCodes.SOfreq[state.CurSO % board::kMaxChannels];
    state.SOrateText = board::rateTextFor(board::kOutputRateTexts, code, state.SOrateText);
}

} // namespace transmission
