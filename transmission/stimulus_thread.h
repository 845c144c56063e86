#pragma once

#include "transmission/stimulus_run.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace transmission {

/// @brief A stimulus on a thread of its own, timed by the steady clock: a repaint or a tick of
/// 2,048 reads on the window's thread holds no burst back. The run's driver must be shared
/// through board::SerializedDriver, so that a burst waits for at most one request of the
/// tick. Edits and stop reach the run between two of its looks and wake it.
class StimulusThread {
public:
    /// The time the run's schedule counts from: now on the steady clock.
    [[nodiscard]] static ScheduleTime now();

    /// Starts at once.
    explicit StimulusThread(std::unique_ptr<StimulusRun> run);
    ~StimulusThread();
    StimulusThread(const StimulusThread&) = delete;
    StimulusThread& operator=(const StimulusThread&) = delete;
    StimulusThread(StimulusThread&&) = delete;
    StimulusThread& operator=(StimulusThread&&) = delete;

    /// Stops after the request in progress, if any; from any thread, more than once.
    void stop();
    [[nodiscard]] bool running() const;
    /// Why it stopped by itself (the board failed a request), or empty.
    [[nodiscard]] std::string failure() const;

    /// Runs `change` on the run between two looks, then lets it look again at once.
    template <typename Change>
    void edit(Change change) {
        {
            const std::scoped_lock lock(mutex_);
            change(*run_);
            edited_ = true;
        }
        wake_.notify_one();
    }
    /// Reads the run between two looks.
    template <typename Read>
    auto read(Read reader) const {
        const std::scoped_lock lock(mutex_);
        return reader(static_cast<const StimulusRun&>(*run_));
    }

private:
    void loop();

    std::unique_ptr<StimulusRun> run_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool edited_ = false;
    bool running_ = true;
    std::string failure_;
    std::thread thread_;
};

} // namespace transmission
