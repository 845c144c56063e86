#include "transmission/stimulus_run.h"

namespace transmission {
namespace {

std::uint32_t wordAt(const StimulusParameter& parameter, double seconds) {
    const labels::Encoded word =
        labels::encodeWord(*parameter.definition, parameter.requestAt(seconds));
    return word.word.value_or(0);
}

} // namespace

std::vector<ScheduledWord> StimulusRun::scheduleOf(
    const std::vector<StimulusParameter>& parameters) {
    std::vector<ScheduledWord> words;
    words.reserve(parameters.size());
    for (const StimulusParameter& parameter : parameters)
        words.push_back({.word = wordAt(parameter, 0.0),
                         .intervalMs = parameter.intervalMs,
                         .leastMs = parameter.definition->leastIntervalMs,
                         .greatestMs = parameter.definition->greatestIntervalMs,
                         .paused = parameter.paused});
    return words;
}

ScheduleCheck StimulusRun::check(const std::vector<StimulusParameter>& parameters,
                                 std::uint8_t rateCode, ScheduleMode mode) {
    return checkSchedule(scheduleOf(parameters), rateCode, mode);
}

StimulusRun::StimulusRun(board::Driver& driver, board::DeviceHandle handle, std::uint16_t outputNo,
                         std::uint8_t rateCode, std::vector<StimulusParameter> parameters,
                         ScheduleTime start)
    : parameters_(std::move(parameters)), problems_(parameters_.size()),
      sender_(driver, handle, outputNo, BurstSchedule(scheduleOf(parameters_), rateCode, start)),
      start_(start) {}

void StimulusRun::change(std::size_t index, StimulusParameter parameter, ScheduleTime now) {
    parameters_[index] = std::move(parameter);
    problems_[index].clear();
    const StimulusParameter& changed = parameters_[index];
    BurstSchedule& schedule = sender_.schedule();
    const double seconds = static_cast<double>(now - start_) / 1e9;
    if (const labels::Encoded word =
            labels::encodeWord(*changed.definition, changed.requestAt(seconds));
        word.ok())
        schedule.setWord(index, *word.word);
    if (schedule.word(index).intervalMs != changed.intervalMs)
        schedule.setInterval(index, changed.intervalMs, now);
    if (schedule.word(index).paused != changed.paused)
        schedule.setPaused(index, changed.paused, now);
}

bool StimulusRun::step(ScheduleTime now, const ScheduleClock& clock) {
    const double seconds = static_cast<double>(now - start_) / 1e9;
    BurstSchedule& schedule = sender_.schedule();
    for (std::size_t index = 0; index < parameters_.size(); ++index) {
        const StimulusParameter& parameter = parameters_[index];
        if (parameter.law.kind == LawKind::Constant)
            continue; // its word was made at the start
        const labels::Encoded word =
            labels::encodeWord(*parameter.definition, parameter.requestAt(seconds));
        if (word.ok())
            schedule.setWord(index, *word.word);
        else if (problems_[index].empty())
            problems_[index] = word.why;
    }
    return sender_.step(now, clock);
}

} // namespace transmission
