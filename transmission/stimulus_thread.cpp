#include "transmission/stimulus_thread.h"

#include <chrono>
#include <limits>

namespace transmission {
namespace {

// What nextLook() says when every word is paused.
constexpr ScheduleTime kNeverLook = std::numeric_limits<ScheduleTime>::max();

} // namespace

ScheduleTime StimulusThread::now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

StimulusThread::StimulusThread(std::unique_ptr<StimulusRun> run)
    : run_(std::move(run)), thread_([this] { loop(); }) {}

StimulusThread::~StimulusThread() {
    stop();
    thread_.join();
}

void StimulusThread::stop() {
    {
        const std::scoped_lock lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
}

bool StimulusThread::running() const {
    const std::scoped_lock lock(mutex_);
    return running_;
}

std::string StimulusThread::failure() const {
    const std::scoped_lock lock(mutex_);
    return failure_;
}

void StimulusThread::loop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!run_->step(now())) {
            failure_ = run_->sender().failure();
            break;
        }
        // Absolute deadlines: a late wake-up is made good by the schedule, not carried on.
        const auto woken = [this] { return stopping_ || edited_; };
        if (const ScheduleTime next = run_->nextLook(); next == kNeverLook)
            wake_.wait(lock, woken);
        else
            wake_.wait_until(
                lock, std::chrono::steady_clock::time_point{std::chrono::nanoseconds(next)}, woken);
        edited_ = false;
    }
    running_ = false;
}

} // namespace transmission
