#include "transmission/stimulus_thread.h"

#include <chrono>
#include <limits>

namespace transmission {
namespace {

// What nextLook() says when every word is paused.
constexpr ScheduleTime kNeverLook = std::numeric_limits<ScheduleTime>::max();

} // namespace

ScheduleTime ScheduleThread::now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ScheduleThread::ScheduleThread(std::unique_ptr<ScheduledRun> run)
    : run_(std::move(run)), thread_([this] { loop(); }) {}

ScheduleThread::~ScheduleThread() {
    stop();
    thread_.join();
}

void ScheduleThread::stop() {
    {
        const std::scoped_lock lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
}

void ScheduleThread::stopAndWait() {
    stop();
    std::unique_lock lock(mutex_);
    stopped_.wait(lock, [this] { return !running_; });
}

bool ScheduleThread::running() const {
    const std::scoped_lock lock(mutex_);
    return running_;
}

std::string ScheduleThread::failure() const {
    const std::scoped_lock lock(mutex_);
    return failure_;
}

void ScheduleThread::edit(const std::function<void()>& change) {
    {
        const std::scoped_lock lock(mutex_);
        change();
        edited_ = true;
    }
    wake_.notify_one();
}

void ScheduleThread::read(const std::function<void()>& reader) const {
    const std::scoped_lock lock(mutex_);
    reader();
}

void ScheduleThread::loop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!run_->step(now(), &ScheduleThread::now)) {
            failure_ = run_->failure();
            break;
        }
        // Absolute deadlines: a late wake-up is made good by the schedule, not carried on.
        const auto woken = [this] { return stopping_ || edited_; };
        const ScheduleTime next = run_->nextLook();
        if (next == kNeverLook) {
            wake_.wait(lock, woken);
        } else {
            // Early by what the system's waits overshoot, unless that is past: a look that
            // found nothing due yet (the bus still busy) waits for the deadline itself.
            ScheduleTime wakeAt = next - board::FineTimer::waitOvershootNs();
            if (wakeAt <= now())
                wakeAt = next;
            wake_.wait_until(
                lock, std::chrono::steady_clock::time_point{std::chrono::nanoseconds(wakeAt)},
                woken);
        }
        edited_ = false;
    }
    running_ = false;
    stopped_.notify_all();
}

} // namespace transmission
