#include "setup.h"

namespace board::simulated {

InputSource resolvedSource(const SimulatedBoardSpec& boardSetup, int inputChannelNo) {
    if (inputChannelNo < 1 || inputChannelNo > kMaxChannels)
        return {.kind = InputSourceKind::Idle};
    const InputSource& source = boardSetup.sources[static_cast<std::size_t>(inputChannelNo - 1)];
    if (source.kind != InputSourceKind::Automatic)
        return source;
    if (inputChannelNo <= boardSetup.outputs)
        return {.kind = InputSourceKind::Output,
                .outputChannel = static_cast<std::uint8_t>(inputChannelNo)};
    return {.kind = InputSourceKind::Traffic, .rateCode = 0};
}

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
