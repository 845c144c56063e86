#include "transmission_control.h"

#include "output_array.h"

#include "board/control_codes.h"
#include "board/requests.h"
#include "util/printf_text.h"

namespace transmission {

namespace {

constexpr OutputControlsEnabling kWhileTransmissionStarts{true, false, std::nullopt, std::nullopt};

void setHeader(board::SOrecord& record, std::uint16_t channelNo, std::uint16_t param1,
               std::uint16_t param2, std::uint16_t param3) {
    record.channelNo = channelNo;
    record.param1 = param1;
    record.param2 = param2;
    record.param3 = param3;
}

std::uint16_t& currentMode(board::SharedState& state) {
    return state.SOmode[currentChannelIndex(state)];
}

std::uint16_t currentMode(const board::SharedState& state) {
    return state.SOmode[currentChannelIndex(state)];
}

std::string statusLine(const char* format, const board::SharedState& state) {
    const std::string rateText(state.SOrateText); // a view need not end in NUL
    return util::printfText(format, static_cast<int>(state.SOchannelNo), rateText.c_str());
}

} // namespace

OutputControlsEnabling startSingleTransmission(board::Driver& driver, board::SharedState& state) {
    currentMode(state) = board::SOmodeSingle;
    auto& record = currentOutputRecord(state);
    setHeader(record, state.SOchannelNo, 1, 0, currentArraySize(state));
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SO_LOAD_ARRAY, record);

    const board::SOStartSingleRecord start{record.channelNo, record.param1};
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SO_START_SINGLE, start);
    return kWhileTransmissionStarts;
}

OutputControlsEnabling startCyclicTransmission(board::Driver& driver, board::SharedState& state) {
    currentMode(state) = board::SOmodeCyclic;
    auto& record = currentOutputRecord(state);
    setHeader(record, state.SOchannelNo, currentArraySize(state),
              state.SOCycleDim[currentChannelIndex(state)], 0);
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SO_START_CYCLIC, record);

    auto enabling = kWhileTransmissionStarts;
    enabling.cellEditing = false;
    return enabling;
}

OutputControlsEnabling stopTransmission(board::Driver& driver, board::SharedState& state) {
    currentMode(state) = board::SOmodeStopped;
    const board::ChannelRecord channel{state.SOchannelNo};
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SO_STOP, channel);
    return {false, true, std::nullopt, true};
}

OutputChannelState queryOutputChannelState(board::Driver& driver, const board::SharedState& state) {
    const board::ChannelRecord channel{state.SOchannelNo};
    board::StateReply reply;
    board::sendRequest(driver, state.DeviceHandle, board::IOCTL_SO_GET_STATE, channel, reply);

    if (reply.active == 0)
        return {false, statusLine("Выходной канал №%d: выдача остановлена; %s", state)};
    const char* format = currentMode(state) == board::SOmodeSingle
                             ? "Выходной канал №%d: выдача однократная; %s"
                             : "Выходной канал №%d: выдача циклическая; %s";
    return {true, statusLine(format, state)};
}

OutputControlsEnabling outputControlsFor(const OutputChannelState& channelState) {
    const bool transmitting = channelState.transmitting;
    return {transmitting, !transmitting, !transmitting, std::nullopt};
}

bool sendWordAfterBitEditor(board::Driver& driver, const board::SharedState& state) {
    if (currentMode(state) != board::SOmodeCyclic || state.SOparamIndex >= kMaxArraySize)
        return false;
    const board::SOWordUpdate update{state.SOchannelNo, state.SOparamIndex,
                                     currentOutputRecord(state).SOwords[state.SOparamIndex]};
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SO_WRITE_WORD, update);
    return true;
}

} // namespace transmission
