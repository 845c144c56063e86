// The simulated board's configuration file: any text is read or refused with a line number,
// and a configuration that is read describes boards the simulator can run.

#include "fuzz_support.h"

#include "board/clock.h"
#include "board/control_codes.h"
#include "board/records.h"
#include "board/requests.h"
#include "board/shared_state.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"

#include <algorithm>
#include <string_view>

namespace {

using board::simulated::SimulatorConfig;

std::size_t lineCount(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

bool hasBoard(const SimulatorConfig& config, unsigned index) {
    return std::any_of(config.boards.begin(), config.boards.end(),
                       [&](const auto& boardSetup) { return boardSetup.interfaceIndex == index; });
}

void checkConfig(const SimulatorConfig& config) {
    FUZZ_CHECK(config.boards.size() <= board::kMaxInterfaceIndex + 1);
    for (const board::simulated::SimulatedBoardSpec& boardSetup : config.boards) {
        FUZZ_CHECK(boardSetup.interfaceIndex <= board::kMaxInterfaceIndex);
        const auto sameIndex = [&](const auto& other) {
            return other.interfaceIndex == boardSetup.interfaceIndex;
        };
        FUZZ_CHECK(std::count_if(config.boards.begin(), config.boards.end(), sameIndex) == 1);
        FUZZ_CHECK(boardSetup.inputs >= 0 && boardSetup.inputs <= board::kMaxChannels);
        FUZZ_CHECK(boardSetup.outputs >= 0 && boardSetup.outputs <= board::kMaxChannels);
        for (int input = 1; input <= boardSetup.inputs; ++input) {
            const board::simulated::InputSource source =
                board::simulated::resolvedSource(boardSetup, input);
            if (source.kind == board::simulated::InputSourceKind::Output)
                FUZZ_CHECK(source.outputChannel >= 1 && source.outputChannel <= boardSetup.outputs);
            FUZZ_CHECK(source.rateCode <= 2);
        }
    }
    for (const unsigned index : config.indicesFailingToOpen)
        FUZZ_CHECK(index <= board::kMaxInterfaceIndex);
    for (const board::simulated::FaultRule& rule : config.failingRequests) {
        FUZZ_CHECK(hasBoard(config, rule.interfaceIndex));
        FUZZ_CHECK(rule.channelNo <= board::kMaxChannels && rule.oneIn >= 1);
    }
}

// Every board the configuration describes opens (unless told not to) and answers the
// requests of a short session.
void runBoards(const SimulatorConfig& config) {
    board::ManualSimClock clock;
    board::simulated::SimulatedDriver driver(config, clock);
    for (unsigned index = 0; index <= board::kMaxInterfaceIndex; ++index) {
        const board::OpenResult opened = driver.open(index);
        const bool failsToOpen = std::find(config.indicesFailingToOpen.begin(),
                                           config.indicesFailingToOpen.end(),
                                           index) != config.indicesFailingToOpen.end();
        FUZZ_CHECK(opened.valid() == (hasBoard(config, index) && !failsToOpen));
        if (!opened.valid())
            continue;
        board::SerialReply serial{};
        board::sendRequestWithoutInput(driver, opened.handle, board::IOCTL_GET_SERIAL_NUMBER,
                                       serial);
        board::ConfigWord configuration{};
        board::sendRequestWithoutInput(driver, opened.handle, board::IOCTL_GET_CONFIGURATION,
                                       configuration);
        board::sendCommand(driver, opened.handle, board::IOCTL_INIT_DEVICE, board::FreqCodes{});
        for (std::uint16_t channel = 1; channel <= board::kMaxChannels; ++channel) {
            board::SOrecord record{};
            record.channelNo = channel;
            record.param1 = 4;
            record.param2 = 4;
            board::sendCommand(driver, opened.handle, board::IOCTL_SO_START_CYCLIC, record);
            board::sendCommand(driver, opened.handle, board::IOCTL_SI_START_ADDRESS,
                               board::SIStartRecord{channel, 1, 0xFFFF, 0xFFFF});
        }
        clock.advanceMs(20);
        for (std::uint16_t channel = 1; channel <= board::kMaxChannels; ++channel) {
            board::SIReadReply reply{};
            board::sendRequest(driver, opened.handle, board::IOCTL_SI_READ,
                               board::SIReadRequest{channel, 1, 0}, reply);
            board::StateReply state{};
            board::sendRequest(driver, opened.handle, board::IOCTL_SO_GET_STATE,
                               board::ChannelRecord{channel}, state);
        }
        board::sendBareRequest(driver, opened.handle, board::IOCTL_RESET_DEVICE);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const board::simulated::SimConfigResult result = board::simulated::parseSimulatorConfig(text);
    if (!result.ok()) {
        FUZZ_CHECK(result.errorLine >= 1 &&
                   static_cast<std::size_t>(result.errorLine) <= lineCount(text));
        FUZZ_CHECK(result.config.boards.size() ==
                   board::simulated::defaultSimulatorConfig().boards.size());
        return 0;
    }
    FUZZ_CHECK(result.errorLine == 0);
    checkConfig(result.config);
    runBoards(result.config);
    return 0;
}
