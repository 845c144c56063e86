// The refresh reads up to 2048 cells per tick, and a recording may write a row for each: neither
// may allocate once running. This executable counts every global allocation to hold them to
// that.

#include "allocation_counter.h"
#include "analysis/recorder.h"
#include "format_test_helpers.h"
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

// Takes the bytes and keeps only their count.
class CountingFile final : public analysis::RecordingFile {
public:
    explicit CountingFile(std::size_t& bytes) : bytes_(bytes) {}
    std::error_code append(std::string_view bytes) override {
        bytes_ += bytes.size();
        return {};
    }

private:
    std::size_t& bytes_;
};

TEST(ReadLoop, RecordingEveryCellOfEveryChannelAllocatesNothingAfterTheFirstTick) {
    ConstantWordDriver driver;
    auto state = std::make_unique<board::SharedState>();
    state->SImode.fill(board::SImodeAddress);
    auto lookup = std::make_unique<reception::AllChannelsFormatLookup>();
    for (reception::ChannelFormatLookup& channel : lookup->channels)
        channel.slots.fill(reception_testing::makeFormat("ALT", 0, 28, 9, 65536.0f, "ft"));
    auto changes = std::make_unique<reception::ChangedCells>();
    std::size_t bytes = 0;
    analysis::Recorder recorder(*lookup);
    ASSERT_FALSE(recorder.start(std::make_unique<CountingFile>(bytes)));

    long allocations = 0;
    for (int tick = 0; tick < 3; ++tick) {
        state->SIbuffer = {}; // every cell changes again
        const long before = allocationCount.load();
        (void)reception::readRunningChannels(driver, *state, changes.get());
        recorder.afterTickReads(*state, *changes);
        if (tick > 0)
            allocations += allocationCount.load() - before;
    }

    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(recorder.rowsKept(), 3u * 2048u);
    EXPECT_GT(bytes, 3u * 2048u * 60u);
}

} // namespace
