#pragma once

#include "setup.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace board::simulated {

/// @brief Decides which requests a simulated board fails, from the configured rules.
///
/// A rule with "one in N" draws from its own generator, seeded from the configuration, so
/// a run with the same requests fails the same ones.
class SimFaults {
public:
    explicit SimFaults(const std::vector<FaultRule>& rules);

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

    std::vector<Rule> rules_;
};

} // namespace board::simulated
