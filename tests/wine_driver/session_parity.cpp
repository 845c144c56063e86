#include "session_parity.h"

#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "board/trace_driver.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace wine_driver {
namespace {

using namespace board;

// Inputs of board 0 that hear the built-in traffic: what they read depends on the moment.
constexpr std::uint16_t kTrafficInput = 5;

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void readCells(Driver& driver, DeviceHandle handle, std::uint16_t channel, std::uint16_t count) {
    for (std::uint16_t index = 0; index < count; ++index) {
        SIReadReply reply;
        sendRequest(driver, handle, IOCTL_SI_READ, SIReadRequest{channel, 1, index}, reply);
    }
}

void state(Driver& driver, DeviceHandle handle, std::uint32_t code, std::uint16_t channel) {
    StateReply reply;
    sendRequest(driver, handle, code, ChannelRecord{channel}, reply);
}

SIStartRecord startRecord(std::uint16_t channel) { return {channel, 1, 0xFFFF, 0xFFFF}; }

void loopedBackTransmission(Driver& driver, DeviceHandle handle) {
    // Output 1 feeds input 1; both at 100 kbit/s, a pass of 256 words takes 92 ms.
    sendCommand(driver, handle, IOCTL_SI_START_ADDRESS, startRecord(1));
    SOrecord pattern{};
    pattern.channelNo = 1;
    pattern.param1 = kOutputArrayCapacity;
    for (std::uint32_t i = 0; i < kOutputArrayCapacity; ++i)
        pattern.SOwords[i] = 0x60A5'0000u | i << 8 | i;
    sendCommand(driver, handle, IOCTL_SO_START_CYCLIC, pattern);
    pause(300);
    state(driver, handle, IOCTL_SO_GET_STATE, 1);
    state(driver, handle, IOCTL_SI_GET_STATE, 1);
    readCells(driver, handle, 1, kInputBufferCells);
    sendCommand(driver, handle, IOCTL_SO_WRITE_WORD, SOWordUpdate{1, 5, 0x1234'5605u});
    pause(300);
    readCells(driver, handle, 1, 8);
    sendCommand(driver, handle, IOCTL_SO_STOP, ChannelRecord{1});
    state(driver, handle, IOCTL_SO_GET_STATE, 1);
}

void singleTransmission(Driver& driver, DeviceHandle handle) {
    // Output 2 feeds input 2 at 12.5 kbit/s: four words, 12 ms.
    sendCommand(driver, handle, IOCTL_SI_START_FILE, startRecord(2));
    SOrecord words{};
    words.channelNo = 2;
    words.param3 = 4;
    for (std::uint32_t i = 0; i < 4; ++i)
        words.SOwords[i] = 0x0F00'0000u + i * 0x101u;
    sendCommand(driver, handle, IOCTL_SO_LOAD_ARRAY, words);
    sendCommand(driver, handle, IOCTL_SO_START_SINGLE, SOStartSingleRecord{2, 4});
    pause(100);
    state(driver, handle, IOCTL_SO_GET_STATE, 2);
    readCells(driver, handle, 2, 8);
}

// Sent as they are, outputs not zero-filled first: a refused request leaves the caller's bytes.
void oddRequests(Driver& driver, DeviceHandle handle) {
    AckReply ack{0x1111};
    driver.send(handle, 0x8000'2000u, {}, writableBytesOf(ack)); // no such request
    const SIReadRequest read{1, 1, 0};
    SIReadReply reply{.unused = 0xAAAA, .word = 0x5555'5555u};
    driver.send(handle, IOCTL_SI_READ, bytesOf(read).first(2), writableBytesOf(reply)); // short
    std::array<std::byte, 1> tooShort{std::byte{0x77}};
    driver.send(handle, IOCTL_GET_SERIAL_NUMBER, {}, tooShort); // no room for the reply
    std::array<std::byte, 4096> tooLong{};
    tooLong[0] = std::byte{2}; // read no further than its record: stops output 2
    driver.send(handle, IOCTL_SO_STOP, tooLong, writableBytesOf(ack));
    sendCommand(driver, handle, IOCTL_SO_STOP, ChannelRecord{9});                // no such channel
    sendRequest(driver, handle, IOCTL_SI_READ, SIReadRequest{1, 1, 300}, reply); // no such cell
}

} // namespace

void runParitySession(std::unique_ptr<Driver> backend, const std::string& tracePath) {
    std::string problem;
    const std::unique_ptr<Driver> driver =
        withTrace(std::move(backend), tracePath, steadySimClock(), problem);
    ASSERT_TRUE(problem.empty()) << problem;
    SharedState shared;
    buildBoardList(*driver, shared);
    ASSERT_EQ(shared.BoardCount, 2);
    applyBoard(*driver, shared, 0);
    storeRateCode(shared, ChannelSide::Input, 0, 2);
    storeRateCode(shared, ChannelSide::Output, 0, 2);
    initializeBoard(*driver, shared);
    const DeviceHandle handle = shared.DeviceHandle;
    state(*driver, handle, IOCTL_SO_GET_STATE, 1);
    state(*driver, handle, IOCTL_SI_GET_STATE, 1);

    loopedBackTransmission(*driver, handle);
    singleTransmission(*driver, handle);
    sendCommand(*driver, handle, IOCTL_SI_START_FILE, startRecord(kTrafficInput));
    pause(100);
    readCells(*driver, handle, kTrafficInput, 8);
    for (const std::uint16_t channel : {1, 2, 5})
        sendCommand(*driver, handle, IOCTL_SI_STOP, ChannelRecord{channel});
    oddRequests(*driver, handle);

    applyBoard(*driver, shared, 1);
    SerialReply serial;
    sendRequestWithoutInput(*driver, shared.BoardTable[1].handle, IOCTL_GET_SERIAL_NUMBER, serial);
    resetBoard(*driver, shared);
    state(*driver, shared.DeviceHandle, IOCTL_SO_GET_STATE, 1);
}

namespace {

struct TraceLine {
    std::string text;       // without the time
    std::string comparable; // without the time, and without the output where it hangs on time
};

std::vector<TraceLine> requestLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<TraceLine> lines;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream words(line);
        std::string time;
        std::string index;
        std::string name;
        std::string in;
        std::string input;
        std::string out;
        std::string output;
        words >> time >> index >> name >> in >> input >> out >> output;
        std::string status;
        std::getline(words, status);
        TraceLine entry;
        const std::size_t timeEnds = line.find(time) + time.size();
        entry.text = line.substr(line.find_first_not_of(' ', timeEnds));
        entry.comparable = entry.text;
        const bool readsTraffic = name == "IOCTL_SI_READ" &&
                                  input.rfind(std::string("0") + char('0' + kTrafficInput), 0) == 0;
        if (readsTraffic)
            entry.comparable = index + " " + name + " in " + input + status;
        lines.push_back(entry);
    }
    return lines;
}

} // namespace

ParityVerdict compareTraces(const std::string& expectedPath, const std::string& actualPath) {
    const std::vector<TraceLine> expected = requestLines(expectedPath);
    const std::vector<TraceLine> actual = requestLines(actualPath);
    ParityVerdict verdict;
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t i = 0; i < common; ++i)
        if (expected[i].comparable != actual[i].comparable) {
            verdict.requests = i;
            verdict.text = "the traces part at line " + std::to_string(i + 1) +
                           ":\n  simulated: " + expected[i].text +
                           "\n  driver:    " + actual[i].text;
            return verdict;
        }
    verdict.requests = common;
    if (expected.size() != actual.size()) {
        verdict.text = "the simulated trace has " + std::to_string(expected.size()) +
                       " lines, the driver's " + std::to_string(actual.size());
        return verdict;
    }
    verdict.same = true;
    verdict.text = std::to_string(common) + " requests alike (" +
                   std::to_string(std::count_if(
                       expected.begin(), expected.end(),
                       [](const TraceLine& line) { return line.comparable != line.text; })) +
                   " traffic reads compared without their output)";
    return verdict;
}

} // namespace wine_driver
