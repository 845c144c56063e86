#pragma once

#include "driver.h"
#include "records.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace board {

inline constexpr int kMaxBoards = 8;
inline constexpr unsigned kMaxInterfaceIndex = 15;

struct BoardEntry {
    DeviceHandle handle = kNoDevice;
    std::uint32_t ordinal = 0; // device-interface index 0..15
    std::uint32_t serial = 0;  // the 16-bit serial number, zero-extended
};

/// One received cell: the last word the board delivered and the tick that stored it.
struct InputCell {
    std::uint32_t word = 0;
    std::uint32_t tick = 0;
};

using InputBuffer = std::array<InputCell, kInputBufferCells>;

/// Reception mode of an input channel.
enum SImodeValue : std::uint16_t { SImodeStopped = 0, SImodeAddress = 1, SImodeFile = 2 };
/// Transmission mode of an output channel: the last command given, not the board's state.
enum SOmodeValue : std::uint16_t { SOmodeSingle = 0, SOmodeCyclic = 1, SOmodeStopped = 2 };

inline constexpr std::int32_t kInitialRefreshPeriodMs = 500;

/// @brief The one record of state that every part of the monitor works on.
///
/// Fixed size, no dynamic allocation; the driver requests take their input records straight
/// out of it. Channel indices (CurSI, CurSO) are 0-based, channel numbers 1-based.
struct SharedState {
    std::uint8_t BoardCount = 0;
    std::array<BoardEntry, kMaxBoards> BoardTable{};

    board::DeviceHandle DeviceHandle = kNoDevice;
    std::uint32_t DeviceSerial = 0;
    std::uint32_t DeviceOrdinal = 0;
    bool DeviceChosen = false; // once set during a run, never cleared

    std::int32_t SIcount = 0;
    std::int32_t SOcount = 0;

    std::uint16_t CurSI = 0;
    std::uint16_t CurSO = 0;
    std::uint16_t SIchannelNo = 0;
    std::uint16_t SOchannelNo = 0;

    board::FreqCodes FreqCodes{};

    std::array<std::uint16_t, kMaxChannels> SImode{};
    std::array<std::uint16_t, kMaxChannels> SOmode{};
    std::array<std::uint16_t, kMaxChannels> SOArrayDim{};
    std::array<std::uint16_t, kMaxChannels> SOCycleDim{};
    std::array<board::SOrecord, kMaxChannels> SOrecord{};
    std::uint16_t SOparamIndex = 0;

    std::array<InputBuffer, kMaxChannels> SIbuffer{};

    std::uint32_t TickCount = 0;
    std::int32_t RefreshPeriod = kInitialRefreshPeriodMs;

    // Always one of the constant rate texts (or empty), so no storage is owned here.
    std::string_view SIrateText;
    std::string_view SOrateText;
};

static_assert(std::is_trivially_copyable_v<SharedState>,
              "the shared state holds plain values only");

} // namespace board
