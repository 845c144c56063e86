#pragma once

#include "system.h"
#include "zelva1.h"

#include "transmission/periodic_sender.h"
#include "transmission/stimulus_thread.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace zelva1 {

class BoardConnection;

/// @brief Words sent periodically from one output on a thread of their own, sharing the
/// system's serialized driver with the library's calls. Not guarded: the library's lock
/// serves every call, and the thread's own lock the run.
class PeriodicTask {
public:
    /// @brief Starts sending at once.
    /// @return ZELVA1_OK with the task in `started`, ZELVA1_ERROR_ARGUMENT for an interval
    /// that is not a positive number, ZELVA1_ERROR_BUS for more than the output's bus carries.
    [[nodiscard]] static int start(const BoardConnection& board, std::uintptr_t boardId,
                                   unsigned channel, std::span<const std::uint32_t> words,
                                   std::span<const double> intervalsMs,
                                   std::shared_ptr<PeriodicTask>& started);

    [[nodiscard]] std::uintptr_t boardId() const { return boardId_; }
    [[nodiscard]] const System* system() const { return system_.get(); }

    // Each returns ZELVA1_ERROR_REQUEST with the system's error once a request failed.
    [[nodiscard]] RequestStatus setWord(unsigned index, std::uint32_t word);
    [[nodiscard]] RequestStatus setInterval(unsigned index, double intervalMs);
    [[nodiscard]] RequestStatus setPaused(unsigned index, bool paused);
    [[nodiscard]] RequestStatus timing(unsigned index, zelva1_timing& timing) const;
    /// Whether it runs, and which request stopped it when it does not.
    [[nodiscard]] bool running(std::string& failure) const;
    /// Stops the thread after the request in progress; the outcome of the run.
    [[nodiscard]] RequestStatus stop();

private:
    class Run;

    PeriodicTask(std::shared_ptr<System> system, std::uintptr_t boardId, std::uint8_t rateCode,
                 std::unique_ptr<Run> run);
    /// ZELVA1_OK, or ZELVA1_ERROR_REQUEST once the run stopped by itself.
    [[nodiscard]] RequestStatus outcome() const;
    [[nodiscard]] RequestStatus whileRunning(unsigned index) const;
    using WordChange = std::function<void(transmission::ScheduledWord&)>;
    using ScheduleChange =
        std::function<void(transmission::BurstSchedule&, transmission::ScheduleTime)>;
    /// Applies a change of word `index` when the bus carries the words with it changed.
    [[nodiscard]] RequestStatus changeChecked(unsigned index, const WordChange& change,
                                              const ScheduleChange& apply);

    // The thread goes before the system whose driver it sends through.
    std::shared_ptr<System> system_;
    std::uintptr_t boardId_;
    std::uint8_t rateCode_;
    std::size_t size_;
    std::unique_ptr<transmission::RunningSchedule<Run>> thread_;
};

} // namespace zelva1
