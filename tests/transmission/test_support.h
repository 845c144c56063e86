#pragma once

#include "board/shared_state.h"

namespace transmission_tests {

/// A shared state as after choosing a board and initialising it: 256-word arrays,
/// output channel 1 current.
inline board::SharedState initialisedState() {
    board::SharedState state;
    state.SOArrayDim.fill(256);
    state.SOCycleDim.fill(256);
    state.CurSO = 0;
    state.SOchannelNo = 1;
    return state;
}

} // namespace transmission_tests
