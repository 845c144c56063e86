// Installs the Wine test driver's boards into the current Wine prefix, one root-enumerated
// device per board of a simulator configuration, each with its settings in its device key:
//
//     zelva1_test_install <INF file> <configuration file> [<interface index>]
//
// With an index, installs that one board only (a board that went away, put back). Boards are
// installed in the order of their interface indices, so that the system lists them in that
// order; an index the configuration gives no board and no failing open is left out, and the
// indices after it move up. A board of the same index already there is replaced.

#include "board/simulated/config.h"
#include "board_layout.h"
#include "board_removal.h"
#include "tests/wine_driver/board_settings.h"

#include <windows.h>

#include <setupapi.h>

#include <newdev.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using wine_driver::TestBoardSettings;

// The hardware id as a REG_MULTI_SZ: the id, then an empty string.
std::string hardwareIdList() {
    std::string list(wine_driver::kHardwareId);
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

bool reportFailure(const char* what, const std::string& subject) {
    std::fprintf(stderr, "zelva1_test_install: %s %s failed, error %lu\n", what, subject.c_str(),
                 GetLastError());
    return false;
}

bool registerBoard(HDEVINFO set, const TestBoardSettings& settings) {
    const std::string instanceId = wine_driver::instanceIdFor(settings.board.interfaceIndex);
    // A board left by an earlier run in the same prefix makes way for the new one.
    (void)wine_driver::removeBoardDevice(instanceId);
    // No class yet: the INF gives it when the driver is installed.
    constexpr GUID kNoClass{};
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiCreateDeviceInfoA(set, instanceId.c_str(), &kNoClass, nullptr, nullptr, 0, &device))
        return reportFailure("creating", instanceId);
    const std::string ids = hardwareIdList();
    if (!SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(ids.data()),
                                           static_cast<DWORD>(ids.size())))
        return reportFailure("naming", instanceId);
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device))
        return reportFailure("registering", instanceId);
    HKEY key =
        SetupDiCreateDevRegKeyA(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    if (key == INVALID_HANDLE_VALUE)
        return reportFailure("opening the device key of", instanceId);
    const LONG written = RegSetValueExA(key, wine_driver::kSettingsValueName, 0, REG_BINARY,
                                        reinterpret_cast<const BYTE*>(&settings), sizeof settings);
    RegCloseKey(key);
    if (written != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(written));
        return reportFailure("writing the settings of", instanceId);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: zelva1_test_install <INF file> <configuration file> "
                             "[<interface index>]\n");
        return 2;
    }
    std::array<char, MAX_PATH> infPath{};
    if (GetFullPathNameA(argv[1], static_cast<DWORD>(infPath.size()), infPath.data(), nullptr) ==
        0) {
        reportFailure("finding", argv[1]);
        return 1;
    }
    const board::simulated::SimConfigResult read = board::simulated::loadSimulatorConfig(argv[2]);
    if (!read.ok()) {
        std::fprintf(stderr, "zelva1_test_install: %s: line %d: %s\n", argv[2], read.errorLine,
                     read.error.c_str());
        return 2;
    }
    std::vector<TestBoardSettings> boards = wine_driver::boardSettingsOf(read.config);
    if (argc == 4) {
        const auto only = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
        std::erase_if(boards, [only](const TestBoardSettings& settings) {
            return settings.board.interfaceIndex != only;
        });
    }
    if (boards.empty()) {
        std::fprintf(stderr, "zelva1_test_install: no board to install\n");
        return 2;
    }

    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) {
        reportFailure("creating", "a device information set");
        return 1;
    }
    bool registered = true;
    for (const TestBoardSettings& settings : boards)
        registered = registered && registerBoard(set, settings);
    SetupDiDestroyDeviceInfoList(set);
    if (!registered)
        return 1;

    const std::string ids = hardwareIdList();
    BOOL restart = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesA(nullptr, ids.c_str(), infPath.data(), INSTALLFLAG_FORCE,
                                            &restart)) {
        reportFailure("installing the driver from", infPath.data());
        return 1;
    }
    std::printf("zelva1_test_install: %zu board(s) installed\n", boards.size());
    return 0;
}
