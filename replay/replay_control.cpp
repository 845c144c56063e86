#include "replay/replay_control.h"

#include <algorithm>
#include <cmath>

namespace replay {
ReplayControl::~ReplayControl() { stop(); }

std::string ReplayControl::start(board::Driver& driver, board::DeviceHandle handle,
                                 const std::filesystem::path& recording,
                                 const ReplayOptions& options,
                                 std::shared_ptr<const labels::LabelDatabase> database) {
    return start(prepare(driver, handle, recording, options, std::move(database)));
}

PreparedReplay ReplayControl::prepare(board::Driver& driver, board::DeviceHandle handle,
                                      const std::filesystem::path& recording,
                                      const ReplayOptions& options,
                                      std::shared_ptr<const labels::LabelDatabase> database) {
    PreparedReplay prepared;
    if (prepared.problem = optionsProblem(options); !prepared.problem.empty())
        return prepared;
    const analysis::RecordingSummary summary = analysis::summarizeRecording(recording);
    if (summary.error) {
        prepared.problem =
            analysis::recordingErrorMessage(recording.filename().string(), *summary.error);
        return prepared;
    }
    bool anyRouted = false;
    for (const ReplayRoute& route : options.routes)
        anyRouted = anyRouted || (summary.channels >> (route.inputNo - 1U) & 1U) != 0;
    if (!anyRouted) {
        prepared.problem = "в записи нет слов выбранных входов";
        return prepared;
    }
    prepared.options = options;
    prepared.database = std::move(database);
    const ScheduleTime now = transmission::ScheduleThread::now();
    if (options.mode == ReplayMode::ByLabel) {
        LabelPlan plan = planByLabel(recording, options, prepared.database.get());
        if (!plan.ok()) {
            prepared.problem =
                plan.error
                    ? analysis::recordingErrorMessage(recording.filename().string(), *plan.error)
                    : plan.why;
            return prepared;
        }
        prepared.byLabel = std::make_unique<LabelReplay>(
            driver, handle, recording, options, std::move(plan), prepared.database.get(), now);
        return prepared;
    }
    // As recorded the words of a tick keep their spacing: the outputs must carry the busiest
    // stretch on average, or the replay falls behind its time.
    for (const ReplayRoute& route : options.routes) {
        std::uint64_t words = 0;
        for (const std::uint8_t label : summary.labels[route.inputNo - 1U])
            if (options.labels.test(label))
                words += summary.wordsPerLabel[route.inputNo - 1U][label];
        const double seconds =
            static_cast<double>(std::max<std::uint64_t>(summary.lastMs - summary.firstMs, 1)) /
            1000.0 / options.speed;
        const double load = static_cast<double>(words) *
                            static_cast<double>(transmission::wordBusTime(route.rateCode)) / 1e9 /
                            seconds * 100.0;
        if (load > 100.0) {
            prepared.problem = "выход " + std::to_string(route.outputNo) + ": нагрузка на шину " +
                               std::to_string(std::lround(load)) + " %: канал столько не передаст";
            return prepared;
        }
    }
    prepared.recorded = std::make_unique<RecordedReplay>(driver, handle, recording, options, now);
    return prepared;
}

std::string ReplayControl::start(PreparedReplay prepared) {
    stop();
    recorded_.reset();
    byLabel_.reset();
    if (!prepared.problem.empty())
        return prepared.problem;
    options_ = std::move(prepared.options);
    // The by-label run reads the database through a pointer: it stays with the control.
    database_ = std::move(prepared.database);
    if (prepared.byLabel)
        byLabel_ = std::make_unique<transmission::RunningSchedule<LabelReplay>>(
            std::move(prepared.byLabel));
    else
        recorded_ = std::make_unique<transmission::RunningSchedule<RecordedReplay>>(
            std::move(prepared.recorded));
    return {};
}

void ReplayControl::stop() {
    if (recorded_)
        recorded_->stopAndWait();
    if (byLabel_)
        byLabel_->stopAndWait();
}

void ReplayControl::pause() {
    if (recorded_)
        recorded_->edit([](RecordedReplay& run) { run.pause(); });
    if (byLabel_)
        byLabel_->edit([](LabelReplay& run) { run.pause(transmission::ScheduleThread::now()); });
}

void ReplayControl::resume() {
    if (recorded_)
        recorded_->edit(
            [](RecordedReplay& run) { run.resume(transmission::ScheduleThread::now()); });
    if (byLabel_)
        byLabel_->edit([](LabelReplay& run) { run.resume(transmission::ScheduleThread::now()); });
}

void ReplayControl::step() {
    if (recorded_)
        recorded_->edit(
            [](RecordedReplay& run) { run.stepTick(transmission::ScheduleThread::now()); });
}

bool ReplayControl::running() const {
    return ((recorded_ && recorded_->running()) || (byLabel_ && byLabel_->running())) &&
           !finished();
}

bool ReplayControl::paused() const {
    if (recorded_)
        return recorded_->read([](const RecordedReplay& run) { return run.paused(); });
    if (byLabel_)
        return byLabel_->read([](const LabelReplay& run) { return run.paused(); });
    return false;
}

bool ReplayControl::finished() const { return progress().finished; }

ReplayProgress ReplayControl::progress() const {
    if (recorded_)
        return recorded_->read([](const RecordedReplay& run) { return run.progress(); });
    if (byLabel_)
        return byLabel_->read([](const LabelReplay& run) { return run.progress(); });
    return {};
}

std::string ReplayControl::failure() const {
    if (recorded_)
        return recorded_->read([](const RecordedReplay& run) { return run.failure(); });
    if (byLabel_)
        return byLabel_->read([](const LabelReplay& run) { return run.failure(); });
    return {};
}

bool ReplayControl::sendsOn(std::uint16_t outputNo) const {
    if (!running())
        return false;
    return std::any_of(options_.routes.begin(), options_.routes.end(),
                       [&](const ReplayRoute& route) { return route.outputNo == outputNo; });
}

} // namespace replay
