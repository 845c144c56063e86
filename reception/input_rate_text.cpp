#include "input_rate_text.h"

#include "channel_control.h"

#include "board/rate_codes.h"

namespace reception {

void updateInputRateText(board::SharedState& state) {
    const auto code = state.FreqCodes.SIfreq[currentChannelIndex(state)];
    state.SIrateText = board::rateTextFor(board::kInputRateTexts, code, state.SIrateText);
}

} // namespace reception
