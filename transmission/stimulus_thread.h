#pragma once

#include "transmission/scheduled_run.h"
#include "transmission/stimulus_run.h"

#include "board/fine_timer.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace transmission {

/// @brief A schedule on a thread of its own, timed by the steady clock: a repaint or a tick of
/// 2,048 reads on the window's thread holds no burst back. The run's driver must be shared
/// through board::SerializedDriver, so that a burst waits for at most one request of the
/// tick. Edits and stop reach the run between two of its looks and wake it. The system's
/// finest timer is asked for while the thread runs, so that a wait ends within a millisecond
/// of its deadline.
class ScheduleThread {
public:
    /// The time a run's schedule counts from: now on the steady clock.
    [[nodiscard]] static ScheduleTime now();

    /// Starts at once.
    explicit ScheduleThread(std::unique_ptr<ScheduledRun> run);
    ~ScheduleThread();
    ScheduleThread(const ScheduleThread&) = delete;
    ScheduleThread& operator=(const ScheduleThread&) = delete;
    ScheduleThread(ScheduleThread&&) = delete;
    ScheduleThread& operator=(ScheduleThread&&) = delete;

    /// Stops after the request in progress, if any; from any thread, more than once.
    void stop();
    /// Stops, and returns once the request in progress is done: no word goes out after it.
    void stopAndWait();
    [[nodiscard]] bool running() const;
    /// Why it stopped by itself (the board failed a request), or empty.
    [[nodiscard]] std::string failure() const;

    /// Runs `change` between two looks of the run, then lets it look again at once.
    void edit(const std::function<void()>& change);
    /// Runs `read` between two looks of the run.
    void read(const std::function<void()>& reader) const;

private:
    void loop();

    std::unique_ptr<ScheduledRun> run_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    bool edited_ = false;
    bool running_ = true;
    std::string failure_;
    board::FineTimer fineTimer_;
    std::thread thread_;
};

/// @brief A schedule thread that knows its run's type, so that edits and reads reach it.
template <typename Run>
class RunningSchedule {
public:
    explicit RunningSchedule(std::unique_ptr<Run> run) : run_(run.get()), thread_(std::move(run)) {}

    void stop() { thread_.stop(); }
    void stopAndWait() { thread_.stopAndWait(); }
    [[nodiscard]] bool running() const { return thread_.running(); }
    [[nodiscard]] std::string failure() const { return thread_.failure(); }

    /// Runs `change` on the run between two looks, then lets it look again at once.
    template <typename Change>
    void edit(Change change) {
        thread_.edit([&] { change(*run_); });
    }
    /// Reads the run between two looks.
    template <typename Read>
    auto read(Read reader) const {
        std::invoke_result_t<Read, const Run&> result{};
        thread_.read([&] { result = reader(static_cast<const Run&>(*run_)); });
        return result;
    }

private:
    Run* run_; // owned by the thread
    ScheduleThread thread_;
};

using StimulusThread = RunningSchedule<StimulusRun>;

} // namespace transmission
