#include "input_rate_text.h"

#include "board/rate_codes.h"

namespace reception {

void updateInputRateText(board::SharedState& state) {
    const auto code = state.FreqCodes.SIfreq[state.CurSI % board::kMaxChannels];
    state.SIrateText = board::rateTextFor(board::kInputRateTexts, code, state.SIrateText);
}

} // namespace reception
