#include "board_session.h"

#include "config_word.h"
#include "control_codes.h"
#include "requests.h"

namespace board {

void applyBoard(Driver& driver, SharedState& state, std::size_t position) {
    const BoardEntry& entry = state.BoardTable.at(position);
    state.DeviceHandle = entry.handle;
    state.DeviceSerial = entry.serial;
    state.DeviceOrdinal = entry.ordinal;

    ConfigWord config;
    sendRequestWithoutInput(driver, state.DeviceHandle, IOCTL_GET_CONFIGURATION, config);
    const ChannelCounts counts = decodeConfigWord(config.value);
    state.SIcount = counts.inputs;
    state.SOcount = counts.outputs;

    state.DeviceChosen = true;
    for (int i = 0; i < kMaxChannels; ++i) {
        state.FreqCodes.SIfreq[i] = 0;
        state.FreqCodes.SOfreq[i] = 0;
        state.SOArrayDim[i] = kOutputArrayCapacity;
        state.SOCycleDim[i] = kOutputArrayCapacity;
        state.SOrecord[i].SOwords.fill(0);
    }
    state.CurSI = 0;
    state.CurSO = 0;
}

std::optional<int> shownChannelCount(std::int32_t reportedCount) {
    if (reportedCount == 2 || reportedCount == 4 || reportedCount == 8)
        return reportedCount;
    return std::nullopt;
}

void storeRateCode(SharedState& state, ChannelSide side, int channelIndex, int code) {
    if (channelIndex < 0 || channelIndex >= kMaxChannels || code < 0 || code > 0xFF)
        return;
    auto& codes = side == ChannelSide::Input ? state.FreqCodes.SIfreq : state.FreqCodes.SOfreq;
    codes[channelIndex] = static_cast<std::uint8_t>(code);
}

void initializeBoard(Driver& driver, SharedState& state) {
    state.CurSI = 0;
    state.CurSO = 0;
    state.SIchannelNo = 1;
    state.SOchannelNo = 1;
    for (InputBuffer& buffer : state.SIbuffer)
        buffer.fill(InputCell{});
    sendCommand(driver, state.DeviceHandle, IOCTL_INIT_DEVICE, state.FreqCodes);
    state.TickCount = 0;
}

void resetBoard(Driver& driver, const SharedState& state) {
    sendBareRequest(driver, state.DeviceHandle, IOCTL_RESET_DEVICE);
}

void releaseBoardOnClose(Driver& driver, const SharedState& state) {
    if (state.DeviceHandle != kNoDevice)
        resetBoard(driver, state);
}

} // namespace board
