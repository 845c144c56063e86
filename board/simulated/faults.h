#pragma once

#include "setup.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace board::simulated {

/// @brief Decides which requests a simulated board fails, from the configured rules.
///
/// A rule with "one in N" draws from its own generator, seeded from the configuration, so
/// a run with the same requests fails the same ones. The rules are held in place (at most
/// kMaxFaultRules, which the configuration enforces), so that a kernel image can hold them.
class SimFaults {
public:
    SimFaults() = default;
    explicit SimFaults(std::span<const FaultRule> rules);

    /// True when some rule fails this request (each matching random rule draws once).
    [[nodiscard]] bool fails(unsigned interfaceIndex, std::uint32_t controlCode,
                             std::span<const std::byte> input);

private:
    struct Rule {
        FaultRule rule;
        std::uint64_t state;
    };

    [[nodiscard]] static bool matches(const FaultRule& rule, unsigned interfaceIndex,
                                      std::uint32_t controlCode, std::span<const std::byte> input);
    [[nodiscard]] static std::uint64_t nextRandom(std::uint64_t& state);

    std::array<Rule, kMaxFaultRules> rules_{};
    std::size_t ruleCount_ = 0;
};

} // namespace board::simulated
