#pragma once

#include "board/records.h"
#include "board/sim_time.h"

#include <array>
#include <cstdint>
#include <limits>
#include <span>

namespace board::simulated {

/// @brief One output channel: the loaded array, and the words it puts on the bus over time.
///
/// Between requests the transmitter's schedule is a pure function of time: word k of a
/// transmission started at t0 is complete at t0 + (k + 1) x word time - gap. Receivers
/// therefore pull words lazily, and the owner must let every receiver on this output catch
/// up before any call that changes the schedule (start, stop, word update).
class SimTransmitter {
public:
    static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

    /// Power-up state at a rate code; a code without a bit rate never sends.
    void reset(std::uint8_t rateCode);
    [[nodiscard]] std::uint8_t rateCode() const { return rateCode_; }

    /// IOCTL_SO_LOAD_ARRAY: keeps the first `count` words for the next single start.
    void load(std::span<const std::uint32_t, kOutputArrayCapacity> words, std::uint16_t count);
    /// IOCTL_SO_START_SINGLE: sends the loaded words once.
    void startSingle(SimTime now);
    /// IOCTL_SO_START_CYCLIC: sends the first `count` words over and over.
    void startCyclic(std::span<const std::uint32_t, kOutputArrayCapacity> words,
                     std::uint16_t count, SimTime now);
    void stop() { mode_ = Mode::Stopped; }
    /// IOCTL_SO_WRITE_WORD: while sending, the word changes from the next pass on.
    void writeWord(std::uint16_t index, std::uint32_t word, SimTime now);

    /// IOCTL_SO_GET_STATE: true exactly while words are still going out.
    [[nodiscard]] bool activeAt(SimTime now) const;

    /// Words complete on the bus at or before `now` since the transmission started.
    [[nodiscard]] std::uint64_t deliveredBy(SimTime now) const;
    /// When delivery k completes, or nothing once the transmission has no word k.
    [[nodiscard]] SimTime deliveryTime(std::uint64_t k) const;
    [[nodiscard]] bool hasDelivery(std::uint64_t k) const;
    /// The first delivery that carries the words of the last update (kNever if none).
    [[nodiscard]] std::uint64_t updatedFrom() const { return pendingFrom_; }

    [[nodiscard]] std::uint32_t wordAt(std::uint64_t k) const {
        const auto position = static_cast<std::size_t>(k % count_);
        return k >= pendingFrom_ ? pending_[position] : words_[position];
    }

private:
    enum class Mode : std::uint8_t { Stopped, Single, Cyclic };

    void begin(Mode mode, std::uint16_t count, SimTime now);

    Mode mode_ = Mode::Stopped;
    std::uint8_t rateCode_ = 0;
    SimTime wordTime_ = 0; // 0: the rate code has no bit rate
    SimTime gapTime_ = 0;
    SimTime start_ = 0;
    std::uint32_t count_ = 1;
    std::uint16_t loadedCount_ = 0;
    std::uint64_t pendingFrom_ = kNever;
    std::array<std::uint32_t, kOutputArrayCapacity> loaded_{};
    std::array<std::uint32_t, kOutputArrayCapacity> words_{};
    std::array<std::uint32_t, kOutputArrayCapacity> pending_{};
};

} // namespace board::simulated
