#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace transmission {

/// How a parameter's value moves with time.
enum class LawKind : std::uint8_t {
    Constant, // `value`
    Linear,   // from `from` to `to` over `seconds`, then as `end` says
    Sine,     // `mean` + `amplitude` × sin(2π t / `periodSeconds`)
    Steps,    // each step's value for its dwell, round and round
};

/// What a linear law does once it has reached its end value.
enum class LinearEnd : std::uint8_t { Hold, Repeat, BackAndForth };

struct Step {
    double value = 0.0;
    double dwellSeconds = 0.0;
};

struct Law {
    LawKind kind = LawKind::Constant;
    double value = 0.0;
    double from = 0.0;
    double to = 0.0;
    double seconds = 0.0;
    LinearEnd end = LinearEnd::Hold;
    double mean = 0.0;
    double amplitude = 0.0;
    double periodSeconds = 0.0;
    std::vector<Step> steps{};
};

/// @brief The law's value `seconds` after the stimulus started (0 before it).
[[nodiscard]] double valueAt(const Law& law, double seconds);

/// @brief Why the law cannot run (a duration or period not above zero, steps without any), or
/// empty.
[[nodiscard]] std::string lawProblem(const Law& law);

/// @brief Steps written «value:seconds» and joined by «;» («0:5;10:2.5»); nothing when an item
/// is not two numbers so written.
[[nodiscard]] std::optional<std::vector<Step>> parseStepsText(std::string_view text);
[[nodiscard]] std::string stepsText(const std::vector<Step>& steps);

} // namespace transmission
