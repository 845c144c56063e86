#include "board/default_driver.h"
#include "environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using board::Backend;

TEST(WinBackend, SettingAndBuildChooseTheBackend) {
    struct Case {
        const char* setting;
        bool driverBuiltIn;
        Backend chosen;
        const char* message; // "" when nothing is said
    };
    const std::vector<Case> cases = {
        {"", true, Backend::boardDriver, ""},
        {"", false, Backend::simulated, ""},
        {"simulated", true, Backend::simulated, ""},
        {"simulated", false, Backend::simulated, ""},
        {"driver", true, Backend::boardDriver, ""},
        {"driver", false, Backend::simulated,
         "ZELVA1_BACKEND: driver: the board driver is not available (a Windows build has it "
         "once it knows the driver's interface class: ZELVA1_DEVICE_INTERFACE_GUID when built, "
         "or zelva1-monitor.ini beside the program); running on the simulated boards\n"},
        {"Simulated", true, Backend::boardDriver,
         "ZELVA1_BACKEND: Simulated: unknown back-end (expected simulated or driver); running "
         "on the board driver\n"},
        {"sim", false, Backend::simulated,
         "ZELVA1_BACKEND: sim: unknown back-end (expected simulated or driver); running on "
         "the simulated boards\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.setting) + (c.driverBuiltIn ? " with" : " without") +
                     " the driver");
        std::ostringstream messages;
        EXPECT_EQ(board::chooseBackend(c.setting, c.driverBuiltIn, messages), c.chosen);
        EXPECT_EQ(messages.str(), c.message);
    }
}

TEST(WinBackend, SettingComesFromTheEnvironment) {
    testing_support::setEnvironment("ZELVA1_BACKEND", "simulated");
    const board::DriverSettings settings = board::driverSettingsFromEnvironment();
    testing_support::unsetEnvironment("ZELVA1_BACKEND");
    EXPECT_EQ(settings.backend, "simulated");
    EXPECT_TRUE(board::driverSettingsFromEnvironment().backend.empty());
}

// This build is not a Windows one: asking for the driver still gives working boards.
TEST(WinBackend, DriverAskedForWithoutItRunsTheSimulatedBoards) {
    ASSERT_FALSE(board::boardDriverBuiltIn());
    board::DriverSettings settings;
    settings.backend = "driver";
    std::ostringstream messages;

    const auto driver = board::makeDriver(settings, messages);

    EXPECT_NE(messages.str().find("the board driver is not available"), std::string::npos);
    EXPECT_TRUE(driver->open(0).valid());
}

} // namespace
