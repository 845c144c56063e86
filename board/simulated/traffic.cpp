#include "traffic.h"

#include "arinc.h"
#include "plain_math.h"
#include "timing.h"

#include <algorithm>
#include <numbers>
#include <utility>

namespace board::simulated {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Altitude swings 2000 ft over 120 s; its rate (ft/min) is the derivative, a quarter turn ahead.
constexpr double kClimbAmplitudeFeet = 2000.0;
constexpr double kClimbPeriodSeconds = 120.0;
constexpr double kClimbRateAmplitude = kClimbAmplitudeFeet * kTwoPi / kClimbPeriodSeconds * 60.0;

// Refresh periods within the usual ranges for these labels; all divide the 600 ms frame.
constexpr std::array<TrafficParameter, 9> kParameters = {{
    {0203, 131072.0, 17, 10000.0, kClimbAmplitudeFeet, kClimbPeriodSeconds, 0.0, 60},
    {0212, 32768.0, 11, 0.0, kClimbRateAmplitude, kClimbPeriodSeconds, std::numbers::pi / 2, 60},
    {0206, 1024.0, 14, 250.0, 20.0, 90.0, 0.0, 120},
    {0210, 2048.0, 15, 290.0, 25.0, 90.0, 0.3, 120},
    {0320, 180.0, 15, 90.0, 30.0, 200.0, 0.0, 50},
    {0324, 180.0, 14, 2.0, 3.0, 20.0, 0.0, 20},
    {0325, 180.0, 14, 0.0, 15.0, 30.0, 1.0, 20},
    {0310, 180.0, 20, 55.75, 0.05, 600.0, 0.0, 200},
    {0311, 180.0, 20, 37.62, 0.08, 600.0, std::numbers::pi / 2, 200},
}};

constexpr SimTime kMs = 1'000'000;
// Labels start 2 ms apart so that they do not all queue at the start of the frame.
constexpr SimTime kLabelStagger = 2 * kMs;
constexpr SimTime kSourceShift = 37 * kNanosPerSecond;

} // namespace

std::span<const TrafficParameter> trafficParameters() { return kParameters; }

bool isTrafficLabel(std::uint8_t label) {
    return std::any_of(kParameters.begin(), kParameters.end(),
                       [&](const TrafficParameter& p) { return p.label == label; });
}

SimTraffic::SimTraffic(std::uint8_t rateCode, unsigned sourceNumber, const TrafficFaults& faults)
    : rateCode_(rateCode), timeShift_(static_cast<SimTime>(sourceNumber) * kSourceShift),
      faults_(faults) {
    struct Wanted {
        SimTime at;
        std::uint8_t parameter;
    };
    std::array<Wanted, kMaxWordsPerFrame> wanted{};
    std::size_t count = 0;
    for (std::size_t p = 0; p < kParameters.size(); ++p) {
        // Every refresh period is even, so half of it still divides the frame.
        const SimTime refresh =
            kParameters[p].refreshMs * kMs / (faults.tooOftenLabel == kParameters[p].label ? 2 : 1);
        for (SimTime at = static_cast<SimTime>(p) * kLabelStagger; at < kFrame; at += refresh)
            if (count < wanted.size())
                wanted[count++] = {at, static_cast<std::uint8_t>(p)};
    }
    // Insertion sort: stable, and unlike std::stable_sort it asks for no buffer.
    for (std::size_t i = 1; i < count; ++i)
        for (std::size_t j = i; j > 0 && wanted[j].at < wanted[j - 1].at; --j)
            std::swap(wanted[j], wanted[j - 1]);

    // One word at a time on the bus: a word waits for the one before it to finish.
    const SimTime wordTime = wordTimeFor(rateCode).value_or(*wordTimeFor(0));
    const SimTime gap = gapTimeFor(wordTime);
    SimTime busFreeAt = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const SimTime begins = std::max(wanted[i].at, busFreeAt);
        busFreeAt = begins + wordTime;
        if (busFreeAt - gap >= kFrame)
            break; // cannot happen at the known rates; keeps the frame self-contained
        slots_[wordsPerFrame_++] = {busFreeAt - gap, wanted[i].parameter};
    }
}

std::uint64_t SimTraffic::deliveredBy(SimTime now) const {
    if (now < 0)
        return 0;
    const auto frames = static_cast<std::uint64_t>(now / kFrame);
    const SimTime intoFrame = now % kFrame;
    const auto* first = slots_.data();
    const auto* last = first + wordsPerFrame_;
    const auto* after = std::upper_bound(
        first, last, intoFrame, [](SimTime t, const Slot& s) { return t < s.completesAt; });
    return frames * wordsPerFrame_ + static_cast<std::uint64_t>(after - first);
}

SimTime SimTraffic::deliveryTime(std::uint64_t k) const {
    const std::uint64_t frame = k / wordsPerFrame_;
    return static_cast<SimTime>(frame) * kFrame + slots_[k % wordsPerFrame_].completesAt;
}

std::uint32_t SimTraffic::wordAt(std::uint64_t k) const {
    const TrafficParameter& p = kParameters[slots_[k % wordsPerFrame_].parameter];
    const double seconds =
        static_cast<double>(deliveryTime(k) + timeShift_) / static_cast<double>(kNanosPerSecond);
    const double value =
        faults_.outOfRangeLabel == p.label
            ? p.range // held at the top of the field
            : p.center + p.amplitude * sine(kTwoPi * seconds / p.periodSeconds + p.phase);
    const std::uint32_t word = encodeBnr(p.label, value, p.range, p.significantBits);
    if (faults_.ssmLabel != p.label)
        return word;
    constexpr int kSsmShift = 29; // bits 30-31
    return withOddParity((word & ~kSsmNormalOperation) |
                         static_cast<std::uint32_t>(faults_.ssm & 3u) << kSsmShift);
}

} // namespace board::simulated
