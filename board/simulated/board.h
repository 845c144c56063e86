#pragma once

#include "board/records.h"
#include "board/sim_time.h"
#include "receiver.h"
#include "setup.h"
#include "table_source.h"
#include "traffic.h"
#include "transmitter.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace board::simulated {

/// @brief One simulated ZELVA-1: its channels, its wiring and the fifteen requests.
///
/// Time moves only when a request arrives: the board is told "now" and brings the input
/// channel that the request concerns up to that moment, delivering the words that completed
/// since it last looked. Nothing is allocated after construction.
class SimBoard {
public:
    explicit SimBoard(const SimulatedBoardSpec& boardSetup);

    [[nodiscard]] const SimulatedBoardSpec& boardSetup() const { return spec_; }

    /// @brief Carries out one request at time `now`.
    /// @return false when the board refused it: unknown code, short record, channel or
    /// index out of range, or a channel request before IOCTL_INIT_DEVICE.
    bool handle(std::uint32_t controlCode, std::span<const std::byte> input,
                std::span<std::byte> output, SimTime now);

private:
    struct InputChannel {
        SimReceiver receiver;
        InputSource source;
        SimTraffic traffic;
        SimTable table;
        std::uint8_t rateCode = 0;
        SimTime caughtUpTo = 0;
        SimTime nextDue = 0; // no word arrives before this
    };

    bool handleWithoutChannel(std::uint32_t controlCode, std::span<const std::byte> input,
                              std::span<std::byte> output);
    bool handleOutputRequest(std::uint32_t controlCode, std::span<const std::byte> input,
                             std::span<std::byte> output, SimTime now);
    bool handleInputRequest(std::uint32_t controlCode, std::span<const std::byte> input,
                            std::span<std::byte> output, SimTime now);

    void initialize(const FreqCodes& codes);
    void powerDown();

    [[nodiscard]] SimTransmitter* transmitter(std::uint16_t channelNo);
    [[nodiscard]] InputChannel* inputChannel(std::uint16_t channelNo);

    void catchUp(InputChannel& channel, SimTime now);
    /// The catch-up of a source that sends whether anyone listens or not (the built-in stream,
    /// a constant table): its words from `since` to `now`.
    template <typename Source>
    static void catchUpAlwaysOn(const Source& source, InputChannel& channel, SimTime since,
                                SimTime now);
    template <typename Action>
    void forEachInputFedBy(std::uint16_t outputChannelNo, Action action);
    /// Before a transmitter's words change: every input it feeds takes its words so far.
    void catchUpInputsFedBy(std::uint16_t outputChannelNo, SimTime now);
    /// Makes `change` to a transmitter's schedule between the catch-up of the inputs it feeds
    /// and their look at the new schedule at their next request.
    template <typename Change>
    void changeSchedule(std::uint16_t outputChannelNo, SimTime now, Change change);

    SimulatedBoardSpec spec_;
    bool initialized_ = false;
    SimTime lastNow_ = 0;
    std::array<SimTransmitter, kMaxChannels> outputs_{};
    std::array<InputChannel, kMaxChannels> inputs_{};
};

} // namespace board::simulated
