#include "transmission/output_stimulus.h"

namespace transmission {

bool OutputStimulus::setParameters(std::vector<StimulusParameter> parameters) {
    if (running())
        return false;
    parameters_ = std::move(parameters);
    thread_.reset(); // its counts were for the parameters replaced
    return true;
}

bool OutputStimulus::add(StimulusParameter parameter) {
    std::vector<StimulusParameter> parameters = parameters_;
    parameters.push_back(std::move(parameter));
    return setParameters(std::move(parameters));
}

bool OutputStimulus::remove(std::size_t index) {
    if (index >= parameters_.size())
        return false;
    std::vector<StimulusParameter> parameters = parameters_;
    parameters.erase(parameters.begin() + static_cast<std::ptrdiff_t>(index));
    return setParameters(std::move(parameters));
}

void OutputStimulus::change(std::size_t index, StimulusParameter parameter) {
    if (index >= parameters_.size())
        return;
    parameters_[index] = parameter;
    if (running())
        thread_->edit([&](StimulusRun& run) {
            run.change(index, std::move(parameter), ScheduleThread::now());
        });
}

ScheduleCheck OutputStimulus::check(std::uint8_t rateCode, ScheduleMode mode) const {
    return StimulusRun::check(parameters_, rateCode, mode);
}

ScheduleCheck OutputStimulus::start(board::Driver& driver, board::DeviceHandle handle,
                                    std::uint16_t outputNo, std::uint8_t rateCode,
                                    ScheduleMode mode) {
    ScheduleCheck checked = check(rateCode, mode);
    if (!checked.ok || parameters_.empty() || running())
        return checked;
    thread_.reset();
    start_ = ScheduleThread::now();
    thread_ = std::make_unique<StimulusThread>(
        std::make_unique<StimulusRun>(driver, handle, outputNo, rateCode, parameters_, start_));
    return checked;
}

void OutputStimulus::stop() {
    if (!thread_)
        return;
    thread_->stopAndWait();
}

bool OutputStimulus::running() const { return thread_ && thread_->running(); }

std::string OutputStimulus::failure() const { return thread_ ? thread_->failure() : ""; }

double OutputStimulus::seconds() const {
    return thread_ ? static_cast<double>(ScheduleThread::now() - start_) / 1e9 : 0.0;
}

std::vector<WordTiming> OutputStimulus::timings() const {
    if (!thread_)
        return {};
    return thread_->read([](const StimulusRun& run) {
        std::vector<WordTiming> timings;
        const BurstSchedule& schedule = run.sender().schedule();
        for (std::size_t index = 0; index < schedule.size(); ++index)
            timings.push_back(schedule.timing(index));
        return timings;
    });
}

} // namespace transmission
