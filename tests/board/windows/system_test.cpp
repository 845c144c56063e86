// The driver back-end on the system's own device calls (Windows builds only). No ZELVA-1
// driver is installed where the tests run, so every open runs the real calls to their
// failure; what real boards answer only real hardware can show.

#include "board/board_list.h"
#include "board/default_driver.h"
#include "board/windows/interface_class_file.h"
#include "board/windows/system_api.h"
#include "board/windows/windows_driver.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <sstream>
#include <string>

namespace {

// A class no device has.
constexpr board::windows::InterfaceClassGuid kAbsentClass{
    0x6F0E1A2Bu, 0x3C4D, 0x4E5F, {0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7}};

TEST(SystemDriver, EveryIndexFailsWithTheSystemsErrorCode) {
    board::windows::WindowsDriver driver(board::windows::makeSystemDeviceApi(), kAbsentClass);
    for (unsigned index = 0; index < 16; ++index) {
        const board::OpenResult opened = driver.open(index);
        EXPECT_FALSE(opened.valid()) << index;
        EXPECT_EQ(opened.errorCode, static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS)) << index;
    }
}

TEST(SystemDriver, ProgramFolderHoldsTheRunningProgram) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    EXPECT_EQ(board::windows::programFolder(), std::filesystem::path(path).parent_path());
}

class SystemDriverFromSettings : public testing_support::TempFolderTest {};

// As an installed monitor pointed at the class by its settings file starts: discovery finds
// nothing, and the trace shows each index that failed to open with its code.
TEST_F(SystemDriverFromSettings, DiscoveryFindsNoBoardAndTracesEveryFailedOpen) {
    board::DriverSettings settings;
    settings.interfaceClassFile = dir / board::kInterfaceClassFileName;
    settings.tracePath = (dir / "trace.log").string();
    testing_support::writeBytes(settings.interfaceClassFile,
                                "interface-class = {6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F7}\n");
    std::ostringstream messages;
    {
        const auto driver = board::makeDriver(settings, messages);
        const auto state = std::make_unique<board::SharedState>();
        board::buildBoardList(*driver, *state);
        EXPECT_EQ(state->BoardCount, 0);
    }
    EXPECT_EQ(messages.str(), "");

    std::istringstream trace(testing_support::readBytes(settings.tracePath));
    std::string line;
    ASSERT_TRUE(std::getline(trace, line));
    EXPECT_EQ(line.front(), '#');
    for (unsigned index = 0; index < 16; ++index) {
        ASSERT_TRUE(std::getline(trace, line)) << index;
        EXPECT_NE(line.find(" " + std::to_string(index) + " open failed " +
                            std::to_string(ERROR_NO_MORE_ITEMS)),
                  std::string::npos)
            << line;
    }
    EXPECT_FALSE(std::getline(trace, line)) << line;
}

} // namespace
