#pragma once

#include "board/sim_time.h"
#include "setup.h"

#include <array>
#include <cstdint>
#include <span>

namespace board::simulated {

/// One parameter of the built-in stream: a BNR quantity moving as a slow sine.
struct TrafficParameter {
    std::uint8_t label; // plain value of bits 1-8
    double range;       // value of the sign bit taken as positive
    int significantBits;
    double center;
    double amplitude;
    double periodSeconds;
    double phase;  // radians
    int refreshMs; // one word of this label every refreshMs
};

/// @brief The parameters of the stream: pressure altitude and its rate, computed and true
/// airspeed, magnetic heading, pitch, roll, latitude and longitude.
[[nodiscard]] std::span<const TrafficParameter> trafficParameters();

/// @brief Whether the stream carries the label.
[[nodiscard]] bool isTrafficLabel(std::uint8_t label);

/// @brief The built-in stream an unwired input channel hears: an air-data and attitude
/// source sending each label at its own refresh rate, at one bit rate.
///
/// The send order repeats every frame (the least common multiple of the refresh periods),
/// so delivery k, its time and its word follow from k alone; values are sampled at the
/// moment each word completes. Time 0 of the clock is the start of a frame: the source is
/// always on, whether anyone listens or not.
class SimTraffic {
public:
    static constexpr SimTime kFrame = 600 * 1'000'000LL;
    static constexpr std::size_t kMaxWordsPerFrame = 256;

    /// A stream at a rate code (0, 1, 2); `sourceNumber` shifts the values in time so that
    /// two inputs do not show the same numbers.
    SimTraffic(std::uint8_t rateCode, unsigned sourceNumber, const TrafficFaults& faults = {});
    SimTraffic() : SimTraffic(0, 0) {}

    [[nodiscard]] std::uint8_t rateCode() const { return rateCode_; }
    [[nodiscard]] std::size_t wordsPerFrame() const { return wordsPerFrame_; }

    [[nodiscard]] std::uint64_t deliveredBy(SimTime now) const;
    [[nodiscard]] SimTime deliveryTime(std::uint64_t k) const;
    [[nodiscard]] std::uint32_t wordAt(std::uint64_t k) const;

private:
    struct Slot {
        SimTime completesAt; // from the start of the frame
        std::uint8_t parameter;
    };

    std::uint8_t rateCode_;
    SimTime timeShift_;
    TrafficFaults faults_;
    std::size_t wordsPerFrame_ = 0;
    std::array<Slot, kMaxWordsPerFrame> slots_{};
};

} // namespace board::simulated
