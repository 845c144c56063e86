#include "periodic_task.h"

#include "board_connection.h"

#include <cmath>
#include <vector>

namespace zelva1 {

/// The sender, and the system's error of the request it failed, taken on the thread that sent
/// it: the serialized driver keeps each thread's own.
class PeriodicTask::Run final : public transmission::ScheduledRun {
public:
    Run(board::Driver& driver, board::DeviceHandle device, std::uint16_t channelNo,
        transmission::BurstSchedule schedule)
        : driver_(driver), sender_(driver, device, channelNo, std::move(schedule)) {}

    using ScheduledRun::step;
    bool step(transmission::ScheduleTime now, const transmission::ScheduleClock& clock) override {
        if (sender_.step(now, clock))
            return true;
        if (systemError_ == 0)
            systemError_ = driver_.lastRequestError();
        return false;
    }
    [[nodiscard]] transmission::ScheduleTime nextLook() const override {
        return sender_.nextLook();
    }
    [[nodiscard]] std::string failure() const override { return sender_.failure(); }

    [[nodiscard]] transmission::BurstSchedule& schedule() { return sender_.schedule(); }
    [[nodiscard]] const transmission::BurstSchedule& schedule() const { return sender_.schedule(); }
    [[nodiscard]] std::uint32_t systemError() const { return systemError_; }

private:
    board::Driver& driver_;
    transmission::PeriodicSender sender_;
    std::uint32_t systemError_ = 0;
};

namespace {

constexpr RequestStatus kDone{ZELVA1_OK, 0};

[[nodiscard]] bool validInterval(double intervalMs) {
    return std::isfinite(intervalMs) && intervalMs > 0.0;
}

[[nodiscard]] bool busCarries(std::span<const transmission::ScheduledWord> words,
                              std::uint8_t rateCode) {
    return transmission::busLoadPercent(words, rateCode) <= 100.0;
}

/// Whether the bus still carries the schedule with word `index` changed to `changed`.
[[nodiscard]] bool busCarriesWith(const transmission::BurstSchedule& schedule, std::size_t index,
                                  const transmission::ScheduledWord& changed,
                                  std::uint8_t rateCode) {
    std::vector<transmission::ScheduledWord> words;
    for (std::size_t k = 0; k < schedule.size(); ++k)
        words.push_back(k == index ? changed : schedule.word(k));
    return busCarries(words, rateCode);
}

} // namespace

PeriodicTask::PeriodicTask(std::shared_ptr<System> system, std::uintptr_t boardId,
                           std::uint8_t rateCode, std::unique_ptr<Run> run)
    : system_(std::move(system)), boardId_(boardId), rateCode_(rateCode),
      size_(run->schedule().size()),
      thread_(std::make_unique<transmission::RunningSchedule<Run>>(std::move(run))) {}

int PeriodicTask::start(const BoardConnection& board, std::uintptr_t boardId, unsigned channel,
                        std::span<const std::uint32_t> words, std::span<const double> intervalsMs,
                        std::shared_ptr<PeriodicTask>& started) {
    std::vector<transmission::ScheduledWord> scheduled;
    for (std::size_t k = 0; k < words.size(); ++k) {
        if (!validInterval(intervalsMs[k]))
            return ZELVA1_ERROR_ARGUMENT;
        transmission::ScheduledWord word;
        word.word = words[k];
        word.intervalMs = intervalsMs[k];
        scheduled.push_back(word);
    }
    const std::uint8_t rateCode = board.outputRate(channel);
    if (!busCarries(scheduled, rateCode))
        return ZELVA1_ERROR_BUS;
    System& system = *board.system();
    auto run = std::make_unique<Run>(
        system.driver, board.device(), static_cast<std::uint16_t>(channel),
        transmission::BurstSchedule(scheduled, rateCode, transmission::ScheduleThread::now()));
    started.reset(new PeriodicTask(board.system(), boardId, rateCode, std::move(run)));
    return ZELVA1_OK;
}

RequestStatus PeriodicTask::outcome() const {
    return thread_->read([](const Run& run) {
        return run.failure().empty() ? kDone
                                     : RequestStatus{ZELVA1_ERROR_REQUEST, run.systemError()};
    });
}

RequestStatus PeriodicTask::whileRunning(unsigned index) const {
    if (index >= size_)
        return {ZELVA1_ERROR_INDEX, 0};
    return outcome();
}

RequestStatus PeriodicTask::setWord(unsigned index, std::uint32_t word) {
    if (const RequestStatus status = whileRunning(index); status.status != ZELVA1_OK)
        return status;
    thread_->edit([&](Run& run) { run.schedule().setWord(index, word); });
    return kDone;
}

RequestStatus PeriodicTask::changeChecked(unsigned index, const WordChange& change,
                                          const ScheduleChange& apply) {
    if (const RequestStatus status = whileRunning(index); status.status != ZELVA1_OK)
        return status;
    int status = ZELVA1_OK;
    thread_->edit([&](Run& run) {
        transmission::BurstSchedule& schedule = run.schedule();
        transmission::ScheduledWord changed = schedule.word(index);
        change(changed);
        if (busCarriesWith(schedule, index, changed, rateCode_))
            apply(schedule, transmission::ScheduleThread::now());
        else
            status = ZELVA1_ERROR_BUS;
    });
    return {status, 0};
}

RequestStatus PeriodicTask::setInterval(unsigned index, double intervalMs) {
    if (!validInterval(intervalMs))
        return {ZELVA1_ERROR_ARGUMENT, 0};
    return changeChecked(
        index, [&](transmission::ScheduledWord& word) { word.intervalMs = intervalMs; },
        [&](transmission::BurstSchedule& schedule, transmission::ScheduleTime now) {
            schedule.setInterval(index, intervalMs, now);
        });
}

RequestStatus PeriodicTask::setPaused(unsigned index, bool paused) {
    return changeChecked(
        index, [&](transmission::ScheduledWord& word) { word.paused = paused; },
        [&](transmission::BurstSchedule& schedule, transmission::ScheduleTime now) {
            schedule.setPaused(index, paused, now);
        });
}

RequestStatus PeriodicTask::timing(unsigned index, zelva1_timing& timing) const {
    if (const RequestStatus status = whileRunning(index); status.status != ZELVA1_OK)
        return status;
    const transmission::WordTiming achieved =
        thread_->read([&](const Run& run) { return run.schedule().timing(index); });
    timing = {achieved.sent, achieved.lastIntervalMs, achieved.shortestMs, achieved.longestMs};
    return kDone;
}

bool PeriodicTask::running(std::string& failure) const {
    failure = thread_->failure();
    return thread_->running();
}

RequestStatus PeriodicTask::stop() {
    thread_->stop();
    const RequestStatus last = outcome();
    thread_.reset(); // joined: nothing of it runs after this
    return last;
}

} // namespace zelva1
