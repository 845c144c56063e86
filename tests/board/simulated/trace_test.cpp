#include "board/clock.h"
#include "board/control_codes.h"
#include "board/default_driver.h"
#include "board/requests.h"
#include "board/trace_driver.h"
#include "environment.h"
#include "scripted_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(const std::string& path, bool withComments = false) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        if (withComments || line.rfind('#', 0) != 0)
            lines.push_back(line);
    return lines;
}

class TraceFile : public ::testing::Test {
protected:
    void SetUp() override {
        path = ::testing::TempDir() + "sim_trace_test_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
        std::remove(path.c_str());
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string path;
};

TEST_F(TraceFile, OneLinePerRequestWithTimeIndexNameBytesAndStatus) {
    board::ManualSimClock clock(5 * board::kNanosPerSecond);
    auto inner = std::make_unique<testing_support::ScriptedDriver>();
    testing_support::ScriptedDriver& scripted = *inner;
    scripted.addBoard(2);
    const auto handle = testing_support::ScriptedDriver::handleFor(2);
    scripted.answerU16(handle, board::IOCTL_GET_SERIAL_NUMBER, 0x04FD);
    scripted.fail(board::IOCTL_SO_STOP);
    {
        std::string problem;
        auto traced = board::withTrace(std::move(inner), path, clock, problem);
        ASSERT_TRUE(problem.empty()) << problem;
        EXPECT_FALSE(traced->open(1).valid());
        clock.advance(1'500);
        ASSERT_EQ(traced->open(2).handle, handle);
        clock.advance(2 * board::kNanosPerSecond + 250'000'000);
        board::SerialReply serial;
        board::sendRequestWithoutInput(*traced, handle, board::IOCTL_GET_SERIAL_NUMBER, serial);
        EXPECT_EQ(serial.serial, 0x04FD) << "the answer passes through";
        board::SIReadReply reply;
        board::sendRequest(*traced, handle, board::IOCTL_SI_READ, board::SIReadRequest{3, 1, 0x102},
                           reply);
        board::sendCommand(*traced, handle, board::IOCTL_SO_STOP, board::ChannelRecord{1});
        board::sendBareRequest(*traced, handle, board::IOCTL_RESET_DEVICE);
        board::sendBareRequest(*traced, 0x999, 0x80002000u);
    }

    const std::vector<std::string> expected = {
        "     0.000000 1 open failed 259",
        "     0.000001 2 open ok",
        "     2.250001 2 IOCTL_GET_SERIAL_NUMBER in - out fd04 ok",
        "     2.250001 2 IOCTL_SI_READ in 030001000201 out 000000000000 ok",
        "     2.250001 2 IOCTL_SO_STOP in 0100 out 0000 failed",
        "     2.250001 2 IOCTL_RESET_DEVICE in - out - ok",
        "     2.250001 ? 0x80002000 in - out - ok",
    };
    EXPECT_EQ(linesOf(path), expected);
}

TEST_F(TraceFile, RunsAreAppendedEachUnderItsOwnHeader) {
    board::ManualSimClock clock;
    for (int run = 0; run < 2; ++run) {
        std::string problem;
        auto traced = board::withTrace(std::make_unique<testing_support::ScriptedDriver>(), path,
                                       clock, problem);
        static_cast<void>(traced->open(0));
    }
    const auto lines = linesOf(path, true);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("# ZELVA-1 driver trace started ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("# ZELVA-1 driver trace started ", 0), 0u);
}

TEST_F(TraceFile, WholeOutputRecordIsWritten) {
    board::ManualSimClock clock;
    std::string problem;
    auto traced =
        board::withTrace(std::make_unique<testing_support::ScriptedDriver>(), path, clock, problem);
    board::SOrecord record{};
    record.SOwords.fill(0xFFFFFFFFu);
    board::sendCommand(*traced, 0x100, board::IOCTL_SO_START_CYCLIC, record);
    traced.reset();
    const auto lines = linesOf(path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(" in 0000000000000000" + std::string(2048, 'f') + " out 0000 ok"),
              std::string::npos);
}

TEST_F(TraceFile, UnwritablePathLeavesTheDriverUntraced) {
    board::ManualSimClock clock;
    std::string problem;
    auto* inner = new testing_support::ScriptedDriver();
    auto driver = board::withTrace(std::unique_ptr<board::Driver>(inner),
                                   "/nonexistent/dir/trace.log", clock, problem);
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(driver.get(), inner);
}

TEST(DefaultDriver, RefusedConfigurationIsReportedAndTheDefaultsRun) {
    const std::string config = ::testing::TempDir() + "sim_default_driver_bad.conf";
    std::ofstream(config) << "board 0 serial 1 inputs 8 outputs 8\nwire 0 output 9 input 1\n";
    std::ostringstream messages;
    auto driver = board::makeDriver({config, ""}, messages);
    std::remove(config.c_str());

    EXPECT_NE(messages.str().find("ZELVA1_SIM_CONFIG: " + config + ": line 2: "), std::string::npos)
        << messages.str();
    EXPECT_TRUE(driver->open(0).valid());
    EXPECT_FALSE(driver->open(1).valid());
    EXPECT_TRUE(driver->open(2).valid());
}

TEST(DefaultDriver, ConfigurationAndTraceFromTheEnvironment) {
    const std::string config = ::testing::TempDir() + "sim_default_driver_good.conf";
    const std::string trace = ::testing::TempDir() + "sim_default_driver_trace.log";
    std::remove(trace.c_str());
    std::ofstream(config) << "board 6 serial 321 inputs 2 outputs 2\n";
    testing_support::setEnvironment("ZELVA1_SIM_CONFIG", config.c_str());
    testing_support::setEnvironment("ZELVA1_DRIVER_TRACE", trace.c_str());
    const board::DriverSettings settings = board::driverSettingsFromEnvironment();
    testing_support::unsetEnvironment("ZELVA1_SIM_CONFIG");
    testing_support::unsetEnvironment("ZELVA1_DRIVER_TRACE");
    EXPECT_EQ(settings.simulatorConfigPath, config);
    EXPECT_EQ(settings.tracePath, trace);

    std::ostringstream messages;
    {
        auto driver = board::makeDriver(settings, messages);
        EXPECT_FALSE(driver->open(0).valid());
        const auto opened = driver->open(6);
        ASSERT_TRUE(opened.valid());
        board::SerialReply serial;
        board::sendRequestWithoutInput(*driver, opened.handle, board::IOCTL_GET_SERIAL_NUMBER,
                                       serial);
        EXPECT_EQ(serial.serial, 321);
    }
    EXPECT_EQ(messages.str(), "");
    const auto lines = linesOf(trace);
    std::remove(config.c_str());
    std::remove(trace.c_str());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[2].find(" 6 IOCTL_GET_SERIAL_NUMBER in - out 4101 ok"), std::string::npos)
        << lines[2];
}

TEST(DefaultDriver, UnsetVariablesGiveThePlainDefaults) {
    testing_support::unsetEnvironment("ZELVA1_SIM_CONFIG");
    testing_support::unsetEnvironment("ZELVA1_DRIVER_TRACE");
    const board::DriverSettings settings = board::driverSettingsFromEnvironment();
    EXPECT_TRUE(settings.simulatorConfigPath.empty());
    EXPECT_TRUE(settings.tracePath.empty());
    std::ostringstream messages;
    auto driver = board::makeDriver(settings, messages);
    EXPECT_TRUE(driver->open(0).valid());
    EXPECT_EQ(messages.str(), "");
}

} // namespace
