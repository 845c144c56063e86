#include "transmitter.h"

#include "timing.h"

#include <algorithm>

namespace board::simulated {
namespace {

std::uint16_t clampedCount(std::uint16_t count) {
    return std::min<std::uint16_t>(count, kOutputArrayCapacity);
}

} // namespace

void SimTransmitter::reset(std::uint8_t rateCode) {
    *this = SimTransmitter{};
    rateCode_ = rateCode;
    wordTime_ = wordTimeFor(rateCode).value_or(0);
    gapTime_ = gapTimeFor(wordTime_);
}

void SimTransmitter::load(std::span<const std::uint32_t, kOutputArrayCapacity> words,
                          std::uint16_t count) {
    std::copy(words.begin(), words.end(), loaded_.begin());
    loadedCount_ = clampedCount(count);
}

void SimTransmitter::startSingle(SimTime now) {
    words_ = loaded_;
    begin(Mode::Single, loadedCount_, now);
}

void SimTransmitter::startCyclic(std::span<const std::uint32_t, kOutputArrayCapacity> words,
                                 std::uint16_t count, SimTime now) {
    std::copy(words.begin(), words.end(), words_.begin());
    begin(Mode::Cyclic, clampedCount(count), now);
}

void SimTransmitter::begin(Mode mode, std::uint16_t count, SimTime now) {
    pendingFrom_ = kNever;
    // An empty array or a channel without a bit rate puts nothing on the bus.
    if (count == 0 || wordTime_ == 0) {
        mode_ = Mode::Stopped;
        return;
    }
    mode_ = mode;
    count_ = count;
    start_ = now;
}

void SimTransmitter::writeWord(std::uint16_t index, std::uint32_t word, SimTime now) {
    if (mode_ == Mode::Stopped) {
        words_[index] = word;
        return;
    }
    const std::uint64_t delivered = deliveredBy(now);
    if (pendingFrom_ != kNever && pendingFrom_ <= delivered) {
        // The last update is in force already; every receiver has caught up, so the
        // words before it are history.
        words_ = pending_;
        pendingFrom_ = kNever;
    }
    if (pendingFrom_ == kNever) {
        pending_ = words_;
        pendingFrom_ = (delivered / count_ + 1) * count_;
    }
    pending_[index] = word;
}

bool SimTransmitter::activeAt(SimTime now) const {
    switch (mode_) {
    case Mode::Cyclic: return true;
    case Mode::Single: return now < start_ + static_cast<SimTime>(count_) * wordTime_;
    case Mode::Stopped: return false;
    }
    return false;
}

std::uint64_t SimTransmitter::deliveredBy(SimTime now) const {
    if (mode_ == Mode::Stopped || now + gapTime_ < start_)
        return 0;
    const auto delivered = static_cast<std::uint64_t>((now - start_ + gapTime_) / wordTime_);
    return mode_ == Mode::Single ? std::min<std::uint64_t>(delivered, count_) : delivered;
}

bool SimTransmitter::hasDelivery(std::uint64_t k) const {
    return mode_ == Mode::Cyclic || (mode_ == Mode::Single && k < count_);
}

SimTime SimTransmitter::deliveryTime(std::uint64_t k) const {
    return start_ + static_cast<SimTime>(k + 1) * wordTime_ - gapTime_;
}

} // namespace board::simulated
