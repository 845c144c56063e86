#pragma once

#include "board/beeper.h"
#include "board/shared_state.h"

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace transmission_tests {

class CountingBeeper final : public board::Beeper {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

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

inline std::vector<std::byte> bytes(std::initializer_list<unsigned> values) {
    std::vector<std::byte> result;
    for (const unsigned v : values)
        result.push_back(static_cast<std::byte>(v));
    return result;
}

} // namespace transmission_tests
