#pragma once

// What the timing benchmarks that run a schedule on its thread share: every single
// transmission stamped as it reaches the board, the run with the thread's own processor time,
// and a percentile of sorted figures.

#include "board/control_codes.h"
#include "board/driver.h"
#include "board/records.h"
#include "board/requests.h"
#include "transmission/burst_schedule.h"
#include "transmission/scheduled_run.h"
#include "transmission/stimulus_thread.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace timing_benchmark {

using transmission::ScheduleTime;

/// A word as it went on the bus: its output, and its burst's IOCTL_SO_START_SINGLE answered
/// plus a word time for each word before it in the burst.
struct SentWord {
    std::uint16_t outputNo = 0;
    std::uint32_t word = 0;
    ScheduleTime at = 0;
};

/// Stamps each single transmission on the steady clock as it reaches the board. Called on the
/// schedule thread only, behind the serialized driver.
class StampingDriver final : public board::Driver {
public:
    StampingDriver(board::Driver& inner, ScheduleTime wordTime, std::size_t expectedWords)
        : inner_(inner), wordTime_(wordTime) {
        sent_.reserve(expectedWords + 256);
    }

    [[nodiscard]] board::OpenResult open(unsigned interfaceIndex) override {
        return inner_.open(interfaceIndex);
    }

    bool send(board::DeviceHandle handle, std::uint32_t controlCode,
              std::span<const std::byte> input, std::span<std::byte> output) override {
        if (controlCode == board::IOCTL_SO_LOAD_ARRAY && !board::readRecord(input, record_))
            record_.param3 = 0;
        const bool done = inner_.send(handle, controlCode, input, output);
        if (controlCode == board::IOCTL_SO_START_SINGLE && done) {
            const ScheduleTime now = transmission::ScheduleThread::now();
            for (std::uint16_t place = 0; place < record_.param3; ++place)
                sent_.push_back({record_.channelNo, record_.SOwords[place],
                                 now + static_cast<ScheduleTime>(place) * wordTime_});
            ++bursts_;
        }
        failures_ += done ? 0 : 1;
        return done;
    }

    [[nodiscard]] const std::vector<SentWord>& sent() const { return sent_; }
    [[nodiscard]] std::uint64_t bursts() const { return bursts_; }
    [[nodiscard]] std::uint64_t failures() const { return failures_; }

private:
    board::Driver& inner_;
    ScheduleTime wordTime_;
    board::SOrecord record_{};
    std::vector<SentWord> sent_;
    std::uint64_t bursts_ = 0;
    std::uint64_t failures_ = 0;
};

inline double clockSeconds(clockid_t clock) {
    timespec time{};
    clock_gettime(clock, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

/// @brief A run with the schedule thread's own processor time read on that thread at its first
/// look and then once a second: under Wine the read is a request to its server, which read at
/// every look would be a good part of what it measures.
template <typename Run>
class TimedRun final : public transmission::ScheduledRun {
public:
    explicit TimedRun(std::unique_ptr<Run> run) : run_(std::move(run)) {}

    using ScheduledRun::step;
    bool step(ScheduleTime now, const transmission::ScheduleClock& clock) override {
        const bool ok = run_->step(now, clock);
        if (looks_++ == 0 || now - lastAt_ >= kCpuReadEvery) {
            const double cpu = clockSeconds(CLOCK_THREAD_CPUTIME_ID);
            if (looks_ == 1) {
                firstCpu_ = cpu;
                firstAt_ = now;
            }
            lastCpu_ = cpu;
            lastAt_ = now;
        }
        return ok;
    }
    [[nodiscard]] ScheduleTime nextLook() const override { return run_->nextLook(); }
    [[nodiscard]] std::string failure() const override { return run_->failure(); }

    [[nodiscard]] const Run& run() const { return *run_; }
    [[nodiscard]] std::uint64_t looks() const { return looks_; }
    /// Processor time per second of wall time between the first and the last reading.
    [[nodiscard]] double cpuShare() const {
        return lastAt_ > firstAt_ ? (lastCpu_ - firstCpu_) * 1e9 / double(lastAt_ - firstAt_) : 0.0;
    }

private:
    static constexpr ScheduleTime kCpuReadEvery = 1'000 * transmission::kNanosPerMs;

    std::unique_ptr<Run> run_;
    std::uint64_t looks_ = 0;
    double firstCpu_ = 0.0;
    double lastCpu_ = 0.0;
    ScheduleTime firstAt_ = 0;
    ScheduleTime lastAt_ = 0;
};

inline double percentile(const std::vector<double>& sorted, double share) {
    if (sorted.empty())
        return 0.0;
    const auto at = static_cast<std::size_t>(std::ceil(share * double(sorted.size()))) - 1;
    return sorted[std::min(at, sorted.size() - 1)];
}

} // namespace timing_benchmark
