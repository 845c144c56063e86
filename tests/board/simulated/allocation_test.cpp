// A tick sends up to 2048 reads: neither the simulated board nor the trace may allocate per
// request. This file counts every global allocation of the sim_tests executable.

#include "allocation_counter.h"
#include "test_support.h"

#include "board/trace_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

using testing_support::allocationCount;

namespace {

using namespace sim_testing;

void tick(board::Driver& driver, board::DeviceHandle handle) {
    board::StateReply state;
    board::sendRequest(driver, handle, board::IOCTL_SO_GET_STATE, board::ChannelRecord{1}, state);
    board::sendRequest(driver, handle, board::IOCTL_SI_GET_STATE, board::ChannelRecord{1}, state);
    board::SIReadReply reply;
    for (std::uint16_t no = 1; no <= 8; ++no)
        for (std::uint16_t cell = 0; cell < 256; ++cell)
            board::sendRequest(driver, handle, board::IOCTL_SI_READ,
                               board::SIReadRequest{no, 1, cell}, reply);
}

TEST(Allocation, TicksAndCommandsThroughBoardAndTraceAllocateNothing) {
    board::simulated::SimulatorConfig config = board::simulated::defaultSimulatorConfig();
    config.failingRequests = {{.interfaceIndex = 0,
                               .controlCode = board::IOCTL_SI_READ,
                               .channelNo = 3,
                               .oneIn = 5,
                               .seed = 1}};
    board::ManualSimClock clock;
    const std::string path = ::testing::TempDir() + "sim_allocation_trace.log";
    std::string problem;
    auto driver = board::withTrace(
        std::make_unique<board::simulated::SimulatedDriver>(config, clock), path, clock, problem);
    ASSERT_TRUE(problem.empty());
    const board::DeviceHandle handle = driver->open(0).handle;

    board::FreqCodes codes{};
    board::sendCommand(*driver, handle, board::IOCTL_INIT_DEVICE, codes);
    board::SOrecord record = SimBench::record(1, labelledWords(256));
    record.param1 = record.param2 = 256;
    for (std::uint16_t no = 1; no <= 8; ++no) {
        record.channelNo = no;
        board::sendCommand(*driver, handle, board::IOCTL_SO_START_CYCLIC, record);
        board::sendCommand(*driver, handle,
                           no % 2 ? board::IOCTL_SI_START_ADDRESS : board::IOCTL_SI_START_FILE,
                           board::SIStartRecord{no, 1, 0xFFFF, 0xFFFF});
    }
    clock.advanceMs(100);
    tick(*driver, handle); // the trace file's buffer is set up by its first write

    const long before = allocationCount.load();
    for (int i = 0; i < 5; ++i) {
        clock.advanceMs(100);
        board::sendCommand(*driver, handle, board::IOCTL_SO_WRITE_WORD,
                           board::SOWordUpdate{2, 7, wordWithLabel(7, 0x77)});
        tick(*driver, handle);
    }
    board::sendCommand(*driver, handle, board::IOCTL_SO_STOP, board::ChannelRecord{1});
    board::sendCommand(*driver, handle, board::IOCTL_SO_LOAD_ARRAY, record);
    board::sendCommand(*driver, handle, board::IOCTL_SO_START_SINGLE,
                       board::SOStartSingleRecord{8, 1});
    clock.advanceMs(10'000);
    tick(*driver, handle);
    EXPECT_EQ(allocationCount.load() - before, 0);

    driver.reset();
    std::remove(path.c_str());
}

} // namespace
