#include "test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace sim_testing;

board::simulated::SimulatorConfig withFaults(std::vector<board::simulated::FaultRule> rules) {
    board::simulated::SimulatorConfig config = board::simulated::defaultSimulatorConfig();
    config.failingRequests = std::move(rules);
    return config;
}

TEST(Faults, FailingReadsReadAsNothingReceived) {
    SimBench bench(withFaults({{.interfaceIndex = 0, .controlCode = board::IOCTL_SI_READ}}));
    bench.init(k100kbit, k100kbit);
    bench.startAddress(1);
    bench.startCyclic(1, labelledWords(8));
    bench.clock.advanceMs(10);
    EXPECT_TRUE(bench.inputActive(1));
    EXPECT_EQ(bench.receivedCells(1), 0);
}

TEST(Faults, AFailedRequestIsNotCarriedOut) {
    SimBench bench(
        withFaults({{.interfaceIndex = 0, .controlCode = board::IOCTL_SO_START_CYCLIC}}));
    bench.init(k100kbit, k100kbit);
    bench.startCyclic(1, labelledWords(8));
    EXPECT_FALSE(bench.outputActive(1));
}

TEST(Faults, ChannelRuleHitsOnlyThatChannel) {
    SimBench bench(withFaults(
        {{.interfaceIndex = 0, .controlCode = board::IOCTL_SI_GET_STATE, .channelNo = 2}}));
    bench.init(k100kbit, k100kbit);
    bench.startAddress(1);
    bench.startAddress(2);
    EXPECT_TRUE(bench.inputActive(1));
    EXPECT_FALSE(bench.inputActive(2)) << "a failed state query reads as stopped";
}

TEST(Faults, RuleForAnotherBoardLeavesThisOneAlone) {
    SimBench bench(withFaults({{.interfaceIndex = 2, .controlCode = 0}}));
    bench.init(k100kbit, k100kbit);
    bench.startAddress(1);
    EXPECT_TRUE(bench.inputActive(1));
}

std::vector<bool> failurePattern(std::uint64_t seed, int requests) {
    SimBench bench(withFaults({{.interfaceIndex = 0,
                                .controlCode = board::IOCTL_GET_SERIAL_NUMBER,
                                .oneIn = 4,
                                .seed = seed}}));
    std::vector<bool> failed;
    for (int i = 0; i < requests; ++i) {
        board::SerialReply reply;
        board::sendRequestWithoutInput(bench.driver, bench.handle, board::IOCTL_GET_SERIAL_NUMBER,
                                       reply);
        failed.push_back(reply.serial == 0);
    }
    return failed;
}

TEST(Faults, OneInNFailsAboutThatShareRepeatablyPerSeed) {
    const auto pattern = failurePattern(7, 4000);
    const auto failures = std::count(pattern.begin(), pattern.end(), true);
    EXPECT_GT(failures, 850);
    EXPECT_LT(failures, 1150);
    EXPECT_EQ(failurePattern(7, 4000), pattern);
    EXPECT_NE(failurePattern(8, 4000), pattern);
}

TEST(Faults, IndexFailingToOpenCarriesAnErrorCode) {
    board::ManualSimClock clock;
    board::simulated::SimulatorConfig config = board::simulated::defaultSimulatorConfig();
    config.indicesFailingToOpen = {0, 5};
    board::simulated::SimulatedDriver driver(config, clock);
    EXPECT_FALSE(driver.open(0).valid());
    EXPECT_EQ(driver.open(0).errorCode, board::simulated::kErrorGenFailure);
    EXPECT_EQ(driver.open(5).errorCode, board::simulated::kErrorGenFailure);
    EXPECT_EQ(driver.open(1).errorCode, board::simulated::kErrorNoMoreItems) << "no board there";
    EXPECT_TRUE(driver.open(2).valid());
}

} // namespace
