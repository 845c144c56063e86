#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace labels {

/// How a label's data bits carry its value.
enum class LabelEncoding : std::uint8_t {
    Bnr,  // two's complement, sign in bit 29, most significant bit in bit 28
    Bcd,  // decimal digits, the top one in bits 27-29, the sign in the SSM
    Disc, // single bits, each with its own meaning
};

/// One named bit of a discrete word.
struct DiscreteBit {
    int bit = 0; // 1..32 as the word's bits are numbered
    std::string name;
};

/// @brief What the interface control document says of one label: one row of a label
/// database file. `sdi` and `channelNo` empty mean "any".
struct LabelDefinition {
    // What every received word's check reads comes first, within one cache line.
    std::uint8_t label = 0;
    std::optional<std::uint8_t> sdi;       // 0..3
    std::optional<std::uint8_t> channelNo; // 1..8
    LabelEncoding encoding = LabelEncoding::Bnr;
    int significantBits = 0; // BNR: bits below the sign bit; BCD: decimal digits
    double resolution = 0.0; // BNR: value of the least significant bit; BCD: of the lowest digit
    std::optional<double> least;
    std::optional<double> greatest;
    std::optional<double> leastIntervalMs;
    std::optional<double> greatestIntervalMs;
    std::string name;
    std::string units;
    std::vector<DiscreteBit> discretes; // DISC only
    int line = 0;                       // of the file, for messages
};

/// @brief The middle of the label's transmit window (its one bound where it gives one), the
/// interval a sender aims at; nothing when the row gives no window.
[[nodiscard]] inline std::optional<double> windowMiddleMs(const LabelDefinition& definition) {
    const std::optional<double>& least = definition.leastIntervalMs;
    const std::optional<double>& greatest = definition.greatestIntervalMs;
    if (!least && !greatest)
        return std::nullopt;
    return (least.value_or(*greatest) + greatest.value_or(*least)) / 2.0;
}

} // namespace labels
