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

} // namespace board::simulated
