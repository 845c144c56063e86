#include "board/default_driver.h"
#include "board/windows/interface_class_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using board::windows::parseInterfaceClassSetting;

constexpr board::windows::InterfaceClassGuid kClass{
    0x6F0E1A2Bu, 0x3C4D, 0x4E5F, {0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7}};

TEST(InterfaceClassFile, ReadsTheClassAmongBlanksAndComments) {
    const auto setting = parseInterfaceClassSetting(
        "# supplied with the driver\r\n; another comment\r\n\r\n"
        "  interface-class =\t{6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F7}  \r\n");
    ASSERT_TRUE(setting.ok()) << setting.error;
    EXPECT_EQ(setting.interfaceClass, kClass);
}

TEST(InterfaceClassFile, RefusesWhatIsNotExactlyOneClass) {
    struct Case {
        const char* text;
        int line;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"", 0, "interface-class is not given"},
        {"# nothing\n", 0, "interface-class is not given"},
        {"interface-class = {6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F}\n", 1,
         "'{6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F}' is not a GUID of the form "
         "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"},
        {"interface-class =\n", 1,
         "'' is not a GUID of the form {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"},
        {"\n{6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F7}\n", 2,
         "expected interface-class = {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"},
        {"interface_class = 6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F7\n", 1,
         "expected interface-class = {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"},
        {"interface-class = 6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F7\n"
         "interface-class = 6F0E1A2B-3C4D-4E5F-8091-A2B3C4D5E6F8\n",
         2, "interface-class is given twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto setting = parseInterfaceClassSetting(c.text);
        EXPECT_FALSE(setting.interfaceClass.has_value());
        EXPECT_EQ(setting.errorLine, c.line);
        EXPECT_EQ(setting.error, c.error);
    }
}

class InterfaceClassFileOnDisk : public testing_support::TempFolderTest {};

TEST_F(InterfaceClassFileOnDisk, AMissingFileSaysNothing) {
    const auto setting =
        board::windows::loadInterfaceClassSetting(dir / board::kInterfaceClassFileName);
    EXPECT_TRUE(setting.ok());
    EXPECT_FALSE(setting.interfaceClass.has_value());
}

// A wrong class could open somebody else's devices: the simulated boards are used instead,
// even where the driver is asked for by name.
TEST_F(InterfaceClassFileOnDisk, AMalformedFileIsRefusedForTheSimulatedBoards) {
    board::DriverSettings settings;
    settings.backend = "driver";
    settings.interfaceClassFile = dir / board::kInterfaceClassFileName;
    testing_support::writeBytes(settings.interfaceClassFile, "interface-class = {1234}\n");
    std::ostringstream messages;

    const auto driver = board::makeDriver(settings, messages);

    EXPECT_EQ(messages.str(), settings.interfaceClassFile.string() +
                                  ": line 1: '{1234}' is not a GUID of the form "
                                  "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}; running on the "
                                  "simulated boards\n");
    EXPECT_TRUE(driver->open(0).valid());
}

} // namespace
