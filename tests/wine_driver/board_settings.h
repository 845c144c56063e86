#pragma once

// What the installer writes into each test board's device key and the test driver reads
// back when the device is added: the board as a simulator configuration describes it. Both
// sides are built by the same compiler from this one declaration, so the record goes into
// the registry as raw bytes.

#include "board/simulated/setup.h"

#include <array>
#include <cstdint>
#include <type_traits>

namespace wine_driver {

/// Raised whenever the record's layout changes: a driver never reads a record of another.
inline constexpr std::uint32_t kSettingsLayout = 2;

struct TestBoardSettings {
    std::uint32_t layout = kSettingsLayout;
    std::uint32_t failsToOpen = 0; // non-zero: every open fails with "general failure"
    board::simulated::SimulatedBoardSpec board{};
    std::uint32_t ruleCount = 0;
    std::array<board::simulated::FaultRule, board::simulated::kMaxFaultRules> rules{};
};
static_assert(std::is_trivially_copyable_v<TestBoardSettings>);

/// The device key's value (REG_BINARY) that holds the record.
inline constexpr char kSettingsValueName[] = "ZelvaTestBoard";
inline constexpr wchar_t kSettingsValueNameWide[] = L"ZelvaTestBoard";

/// Hardware id of every test board (the INF matches it) and the instance ids the installer
/// gives them: root\zelva1_test\NNNN, NNNN the interface index the configuration gives.
inline constexpr char kHardwareId[] = "zelva1_test_board";
inline constexpr char kInstanceIdFormat[] = "root\\zelva1_test\\%04u";

} // namespace wine_driver
