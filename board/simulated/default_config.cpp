#include "setup.h"

// Apart from the rest of setup.cpp: the model that the Wine test driver compiles without a
// C++ runtime has no use for a configuration held in vectors.
namespace board::simulated {

SimulatorConfig defaultSimulatorConfig() {
    SimulatedBoardSpec eightChannels{
        .interfaceIndex = 0, .serial = 1021, .inputs = 8, .outputs = 8};
    for (int input = 5; input <= 8; ++input)
        eightChannels.sources[static_cast<std::size_t>(input - 1)] = {
            .kind = InputSourceKind::Traffic, .rateCode = 0};
    return SimulatorConfig{
        .boards = {eightChannels, {.interfaceIndex = 2, .serial = 1187, .inputs = 4, .outputs = 4}},
        .indicesFailingToOpen = {1},
        .failingRequests = {},
    };
}

} // namespace board::simulated
