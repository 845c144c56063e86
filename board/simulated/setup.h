#pragma once

// What a set of simulated boards looks like: the boards, how each input channel is fed,
// and the faults to inject. Filled by defaultSimulatorConfig() or from a configuration file.

#include "board/records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace board::simulated {

/// Where an input channel's words come from.
enum class InputSourceKind : std::uint8_t {
    Automatic, // output channel of the same number if the board has it, else built-in traffic
    Output,    // a transmitter of the same board
    Traffic,   // the built-in air-data and attitude stream
    Table,     // a constant cyclic table of words at a fixed spacing
    Idle,      // nothing: the line is not connected
};

struct InputSource {
    InputSourceKind kind = InputSourceKind::Automatic;
    std::uint8_t outputChannel = 0; // 1-based, for Output
    std::uint8_t rateCode = 0;      // for Traffic and Table: the source's bit rate (0, 1, 2)
};

/// The words a Table source sends in turn, one every `spacing` nanoseconds, the first
/// completing one spacing after time 0: a fixed bench set-up whose words never change.
struct ConstantTable {
    static constexpr std::size_t kMaxWords = 16;
    std::uint32_t count = 0;
    std::int64_t spacing = 0;
    std::array<std::uint32_t, kMaxWords> words{};
};

/// Faults of the built-in stream on one input, each on one of its labels: a label sent twice
/// as often as it should, one sent at the greatest value its bits hold, and one sent with
/// another SSM than normal operation.
struct TrafficFaults {
    std::optional<std::uint8_t> tooOftenLabel;
    std::optional<std::uint8_t> outOfRangeLabel;
    std::optional<std::uint8_t> ssmLabel;
    std::uint8_t ssm = 3; // bits 31 and 30 of the ssmLabel's words
};

/// One simulated board: where it sits among the device interfaces, what it reports, and
/// what feeds each of its input channels (index = channel number - 1).
struct SimulatedBoardSpec {
    unsigned interfaceIndex = 0;
    std::uint16_t serial = 0;
    int inputs = 8;
    int outputs = 8;
    std::array<InputSource, kMaxChannels> sources{};
    std::array<TrafficFaults, kMaxChannels> trafficFaults{}; // where the input hears the stream
    std::array<ConstantTable, kMaxChannels> tables{};        // where the input hears a table
};

/// @brief The source an input channel really has once Automatic is resolved.
[[nodiscard]] InputSource resolvedSource(const SimulatedBoardSpec& boardSetup, int inputChannelNo);

/// Fault rules a configuration may hold: a board keeps them in place, allocating nothing.
inline constexpr std::size_t kMaxFaultRules = 64;

/// Requests of one board that fail: the driver leaves the reply as the caller prepared it.
struct FaultRule {
    unsigned interfaceIndex = 0;
    std::uint32_t controlCode = 0; // 0: every request
    std::uint16_t channelNo = 0;   // 0: any channel; else only requests naming this channel
    std::uint32_t oneIn = 1;       // 1: always; N: each matching request with chance 1/N
    std::uint64_t seed = 1;
};

struct SimulatorConfig {
    std::vector<SimulatedBoardSpec> boards;
    std::vector<unsigned> indicesFailingToOpen;
    std::vector<FaultRule> failingRequests;
};

/// Two boards of different sizes, at indices 0 and 2; index 1 is present but fails to open.
/// On the 8-channel board outputs 1..4 feed inputs 1..4 and inputs 5..8 carry the built-in
/// traffic at 12.5 kbit/s; on the 4-channel board each output feeds the input of its number.
[[nodiscard]] SimulatorConfig defaultSimulatorConfig();

} // namespace board::simulated
