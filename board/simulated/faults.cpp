#include "faults.h"

#include "board/requests.h"
#include "request_kind.h"

#include <algorithm>

namespace board::simulated {

SimFaults::SimFaults(std::span<const FaultRule> rules) {
    for (const FaultRule& rule : rules.first(std::min(rules.size(), rules_.size())))
        rules_[ruleCount_++] = {rule, rule.seed};
}

bool SimFaults::fails(unsigned interfaceIndex, std::uint32_t controlCode,
                      std::span<const std::byte> input) {
    bool failed = false;
    for (Rule& entry : std::span(rules_).first(ruleCount_)) {
        if (!matches(entry.rule, interfaceIndex, controlCode, input))
            continue;
        if (entry.rule.oneIn <= 1 || nextRandom(entry.state) % entry.rule.oneIn == 0)
            failed = true;
    }
    return failed;
}

bool SimFaults::matches(const FaultRule& rule, unsigned interfaceIndex, std::uint32_t controlCode,
                        std::span<const std::byte> input) {
    if (rule.interfaceIndex != interfaceIndex)
        return false;
    if (rule.controlCode != 0 && rule.controlCode != controlCode)
        return false;
    if (rule.channelNo == 0)
        return true;
    ChannelRecord head{};
    if (!(isInputRequest(controlCode) || isOutputRequest(controlCode)) || !readRecord(input, head))
        return false;
    return head.channelNo == rule.channelNo;
}

// SplitMix64: small, fast, and the same sequence on every standard library.
std::uint64_t SimFaults::nextRandom(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace board::simulated
