// The refresh reads up to 2048 cells per tick: the loop must not allocate. This executable
// counts every global allocation to hold it to that.

#include "allocation_counter.h"
#include "reception/refresh_tick.h"

#include "board/control_codes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

using testing_support::allocationCount;

namespace {

// Answers every read with a received word and records nothing, so that only the monitor's own
// allocations are counted.
class ConstantWordDriver final : public board::Driver {
public:
    [[nodiscard]] board::OpenResult open(unsigned) override { return {}; }
    bool send(board::DeviceHandle, std::uint32_t code, std::span<const std::byte>,
              std::span<std::byte> output) override {
        if (code == board::IOCTL_SI_READ) {
            const board::SIReadReply reply{0, 0x12340000u};
            std::memcpy(output.data(), &reply, std::min(output.size(), sizeof reply));
            ++reads;
        }
        return true;
    }
    long reads = 0;
};

TEST(ReadLoop, AllocatesNothingWithEveryChannelRunning) {
    ConstantWordDriver driver;
    auto state = std::make_unique<board::SharedState>();
    state->SImode.fill(board::SImodeAddress);
    state->TickCount = 5;

    const long before = allocationCount.load();
    const auto result = reception::readRunningChannels(driver, *state);
    const long allocations = allocationCount.load() - before;

    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(driver.reads, 2048);
    EXPECT_EQ(result.channelsRead, 8);
    EXPECT_EQ(state->SIbuffer[7][255].tick, 5u);
}

} // namespace
