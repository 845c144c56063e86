#include "refresh_tick.h"

#include "board/control_codes.h"
#include "board/requests.h"
#include "util/printf_text.h"

namespace reception {

std::string refreshStatusText(int intervalMs, std::uint32_t tickCount) {
    return util::printfText("Обновление экрана:-период %4d мс;  -счетчик %10lu", intervalMs,
                            static_cast<unsigned long>(tickCount));
}

std::string initialRefreshStatusText(int intervalMs) {
    return util::printfText("Обновление экрана:-период %4d мс;   -счетчик 0", intervalMs);
}

std::string beginRefreshTick(board::SharedState& state, int timerIntervalMs) {
    ++state.TickCount;
    return refreshStatusText(timerIntervalMs, state.TickCount);
}

ChannelReadResult readRunningChannels(board::Driver& driver, board::SharedState& state,
                                      ChangedCells* changes) {
    if (changes != nullptr)
        changes->clear();
    ChannelReadResult result;
    board::SIReadReply reply;
    board::SIReadRequest request{0, 1, 0};
    for (int channel = 0; channel < board::kMaxChannels; ++channel) {
        if (state.SImode[channel] == board::SImodeStopped)
            continue;
        request.channelNo = static_cast<std::uint16_t>(channel + 1);
        board::InputBuffer& cells = state.SIbuffer[channel];
        for (int index = 0; index < board::kInputBufferCells; ++index) {
            request.index = static_cast<std::uint16_t>(index);
            board::sendRequest(driver, state.DeviceHandle, board::IOCTL_SI_READ, request, reply);
            const std::uint32_t word = reply.word;
            if (!isReceivedWord(word))
                continue;
            if (changes != nullptr && cells[index].word != word)
                changes->add(
                    {static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(index), word});
            cells[index] = {word, state.TickCount};
        }
        ++result.channelsRead;
        if (channel == state.CurSI)
            result.currentChannelRead = true;
    }
    return result;
}

} // namespace reception
