#include "channel_control.h"

#include "input_rate_text.h"

#include "board/control_codes.h"
#include "board/requests.h"
#include "util/printf_text.h"

namespace reception {

// CurSI is a tab index and never leaves 0..7 through this layer; the modulo keeps a stray
// value from reaching past the eight channels.
std::size_t currentChannelIndex(const board::SharedState& state) {
    return state.CurSI % board::kMaxChannels;
}

namespace {

// The status line's format for the board's answer, or nullptr to leave the line as it is.
const char* statusFormat(bool active, const board::SharedState& state) {
    if (!active)
        return "Входной канал №%d: прием остановлен; %s";
    switch (state.SImode[currentChannelIndex(state)]) {
    case board::SImodeAddress: return "Входной канал №%d: прием адресный; %s";
    case board::SImodeFile: return "Входной канал №%d: прием файловый; %s";
    default: return nullptr;
    }
}

} // namespace

void startReception(board::Driver& driver, board::SharedState& state, ReceptionMode mode) {
    const std::size_t index = currentChannelIndex(state);
    state.SImode[index] = static_cast<std::uint16_t>(mode);
    state.SIbuffer[index].fill(board::InputCell{});

    const board::SIStartRecord record{state.SIchannelNo, 1, 0xFFFF, 0xFFFF};
    const std::uint32_t code = mode == ReceptionMode::Address ? board::IOCTL_SI_START_ADDRESS
                                                              : board::IOCTL_SI_START_FILE;
    board::sendCommand(driver, state.DeviceHandle, code, record);
}

void stopReception(board::Driver& driver, board::SharedState& state) {
    state.SImode[currentChannelIndex(state)] = board::SImodeStopped;
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SI_STOP,
                       board::ChannelRecord{state.SIchannelNo});
}

InputChannelState queryInputChannelState(board::Driver& driver, const board::SharedState& state) {
    board::StateReply reply;
    board::sendRequest(driver, state.DeviceHandle, board::IOCTL_SI_GET_STATE,
                       board::ChannelRecord{state.SIchannelNo}, reply);

    InputChannelState result;
    result.active = reply.active != 0;
    if (const char* format = statusFormat(result.active, state)) {
        const std::string rateText(state.SIrateText); // a view need not end in NUL
        result.statusText =
            util::printfText(format, static_cast<int>(state.SIchannelNo), rateText.c_str());
    }
    return result;
}

std::string inputBufferCaption(std::uint16_t channelNo) {
    return util::printfText("Буфер входного канала № %d", static_cast<int>(channelNo));
}

std::string selectInputChannel(board::SharedState& state, std::uint16_t tabIndex,
                               ChannelFormatLookup& lookup,
                               const formats::DecimalFormatTable& formatTable,
                               const formats::AssignmentTable& assignmentTable) {
    state.CurSI = static_cast<std::uint16_t>(tabIndex % board::kMaxChannels);
    state.SIchannelNo = static_cast<std::uint16_t>(state.CurSI + 1);
    updateInputRateText(state);
    rebuildChannelFormatLookup(lookup, state.SIchannelNo, formatTable, assignmentTable);
    return inputBufferCaption(state.SIchannelNo);
}

} // namespace reception
