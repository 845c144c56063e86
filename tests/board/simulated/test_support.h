#pragma once

// A simulated board on a manual clock, driven through the same request helpers the monitor
// uses, so every answer is read from a zero-filled reply.

#include "board/clock.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "board/simulated/simulated_driver.h"

#include <array>
#include <cstdint>
#include <vector>

namespace sim_testing {

inline constexpr board::SimTime kMs = 1'000'000;
inline constexpr board::SimTime kUs = 1'000;

inline constexpr std::uint8_t k12_5kbit = 0;
inline constexpr std::uint8_t k50kbit = 1;
inline constexpr std::uint8_t k100kbit = 2;

/// Word time at a rate code: 36 bit times.
inline constexpr board::SimTime wordTime(std::uint8_t rateCode) {
    constexpr std::array<board::SimTime, 3> kBitTime = {80 * kUs, 20 * kUs, 10 * kUs};
    return 36 * kBitTime[rateCode];
}

/// A word with upper bits set so the monitor would count it as received, at a label.
inline constexpr std::uint32_t wordWithLabel(std::uint32_t label, std::uint32_t data) {
    return 0x60000000u | (data & 0xFFFFFu) << 8 | (label & 0xFFu);
}

class SimBench {
public:
    explicit SimBench(
        board::simulated::SimulatorConfig config = board::simulated::defaultSimulatorConfig(),
        unsigned interfaceIndex = 0)
        : driver(std::move(config), clock), handle(driver.open(interfaceIndex).handle) {}

    board::ManualSimClock clock;
    board::simulated::SimulatedDriver driver;
    board::DeviceHandle handle;

    void init(std::uint8_t inputRate, std::uint8_t outputRate) {
        board::FreqCodes codes{};
        codes.SIfreq.fill(inputRate);
        codes.SOfreq.fill(outputRate);
        init(codes);
    }
    void init(const board::FreqCodes& codes) {
        board::sendCommand(driver, handle, board::IOCTL_INIT_DEVICE, codes);
    }
    void reset() { board::sendBareRequest(driver, handle, board::IOCTL_RESET_DEVICE); }

    static board::SOrecord record(std::uint16_t channelNo,
                                  const std::vector<std::uint32_t>& words) {
        board::SOrecord rec{};
        rec.channelNo = channelNo;
        for (std::size_t i = 0; i < words.size() && i < rec.SOwords.size(); ++i)
            rec.SOwords[i] = words[i];
        return rec;
    }

    void startCyclic(std::uint16_t channelNo, const std::vector<std::uint32_t>& words) {
        board::SOrecord rec = record(channelNo, words);
        rec.param1 = static_cast<std::uint16_t>(words.size());
        rec.param2 = rec.param1;
        board::sendCommand(driver, handle, board::IOCTL_SO_START_CYCLIC, rec);
    }
    void startSingle(std::uint16_t channelNo, const std::vector<std::uint32_t>& words) {
        board::SOrecord rec = record(channelNo, words);
        rec.param1 = 1;
        rec.param3 = static_cast<std::uint16_t>(words.size());
        board::sendCommand(driver, handle, board::IOCTL_SO_LOAD_ARRAY, rec);
        board::sendCommand(driver, handle, board::IOCTL_SO_START_SINGLE,
                           board::SOStartSingleRecord{channelNo, 1});
    }
    void stopOutput(std::uint16_t channelNo) {
        board::sendCommand(driver, handle, board::IOCTL_SO_STOP, board::ChannelRecord{channelNo});
    }
    void writeWord(std::uint16_t channelNo, std::uint16_t index, std::uint32_t word) {
        board::sendCommand(driver, handle, board::IOCTL_SO_WRITE_WORD,
                           board::SOWordUpdate{channelNo, index, word});
    }
    [[nodiscard]] bool outputActive(std::uint16_t channelNo) {
        return stateOf(board::IOCTL_SO_GET_STATE, channelNo);
    }

    void startAddress(std::uint16_t channelNo) {
        startInput(board::IOCTL_SI_START_ADDRESS, channelNo);
    }
    void startFile(std::uint16_t channelNo) { startInput(board::IOCTL_SI_START_FILE, channelNo); }
    void stopInput(std::uint16_t channelNo) {
        board::sendCommand(driver, handle, board::IOCTL_SI_STOP, board::ChannelRecord{channelNo});
    }
    [[nodiscard]] bool inputActive(std::uint16_t channelNo) {
        return stateOf(board::IOCTL_SI_GET_STATE, channelNo);
    }

    [[nodiscard]] std::uint32_t read(std::uint16_t channelNo, std::uint16_t index) {
        board::SIReadReply reply;
        board::sendRequest(driver, handle, board::IOCTL_SI_READ,
                           board::SIReadRequest{channelNo, 1, index}, reply);
        return reply.word;
    }
    [[nodiscard]] std::array<std::uint32_t, 256> readAll(std::uint16_t channelNo) {
        std::array<std::uint32_t, 256> cells{};
        for (std::uint16_t i = 0; i < 256; ++i)
            cells[i] = read(channelNo, i);
        return cells;
    }
    /// Cells holding a word the monitor would store (upper half not zero).
    [[nodiscard]] int receivedCells(std::uint16_t channelNo) {
        int count = 0;
        for (std::uint32_t word : readAll(channelNo))
            count += word >= 0x10000u ? 1 : 0;
        return count;
    }

private:
    void startInput(std::uint32_t code, std::uint16_t channelNo) {
        board::sendCommand(driver, handle, code,
                           board::SIStartRecord{channelNo, 1, 0xFFFF, 0xFFFF});
    }
    bool stateOf(std::uint32_t code, std::uint16_t channelNo) {
        board::StateReply reply;
        board::sendRequest(driver, handle, code, board::ChannelRecord{channelNo}, reply);
        return reply.active != 0;
    }
};

/// Words 0..count-1 each at its own label 1..count (label 0 is left out so a stray zero
/// cell is never mistaken for a word).
inline std::vector<std::uint32_t> labelledWords(int count, std::uint32_t data = 0x123) {
    std::vector<std::uint32_t> words;
    words.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        words.push_back(wordWithLabel(static_cast<std::uint32_t>(i + 1) & 0xFFu,
                                      data + static_cast<std::uint32_t>(i)));
    return words;
}

} // namespace sim_testing
