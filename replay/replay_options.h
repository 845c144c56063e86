#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace replay {

/// How a recording goes back onto the bus.
enum class ReplayMode : std::uint8_t {
    AsRecorded, // every word once, in its order, at its recorded time
    ByLabel,    // each label's last value sent at its own interval, as live traffic
};

/// A recorded input sent out on an output of the board.
struct ReplayRoute {
    std::uint8_t inputNo = 1;   // 1..8, as recorded
    std::uint16_t outputNo = 1; // 1..8
    std::uint8_t rateCode = 0;  // the output's rate code
};

struct ReplayOptions {
    ReplayMode mode = ReplayMode::AsRecorded;
    std::vector<ReplayRoute> routes{};
    std::bitset<256> labels = std::bitset<256>().set(); // the labels sent
    double speed = 1.0;                                 // 0.1..10
    bool loop = false;
    std::uint64_t startMs = 0;                 // recorded time to start at
    std::optional<std::uint64_t> longestGapMs; // longer pauses of the recording are cut to this
};

inline constexpr double kSlowestSpeed = 0.1;
inline constexpr double kFastestSpeed = 10.0;

/// @brief The labels typed as octal numbers apart by blanks or commas ("203 206, 310"); every
/// label for a blank text; nothing when something typed is not a label.
[[nodiscard]] std::optional<std::bitset<256>> parseLabelFilter(std::string_view text);

/// @brief Why the options cannot replay (no route, an input or output out of 1..8, an output
/// twice with different rates, a speed outside ×0.1..×10, no label), or empty.
[[nodiscard]] std::string optionsProblem(const ReplayOptions& options);

} // namespace replay
