#pragma once

#include "transmission/periodic_sender.h"
#include "transmission/scheduled_run.h"
#include "transmission/stimulus_file.h"

#include <string>
#include <vector>

namespace transmission {

/// @brief A stimulus running on one output: its parameters' words made from their laws at
/// each look and sent by a periodic schedule at their intervals. A value that no longer makes
/// a word (a law run beyond the bits) keeps the last word and is told once per parameter.
class StimulusRun final : public ScheduledRun {
public:
    /// The schedule its parameters make, to check before a start (load, windows).
    [[nodiscard]] static ScheduleCheck check(const std::vector<StimulusParameter>& parameters,
                                             std::uint8_t rateCode, ScheduleMode mode);

    StimulusRun(board::Driver& driver, board::DeviceHandle handle, std::uint16_t outputNo,
                std::uint8_t rateCode, std::vector<StimulusParameter> parameters,
                ScheduleTime start);

    /// Makes the words of `now` and sends what is due; false once the board failed a request.
    using ScheduledRun::step;
    bool step(ScheduleTime now, const ScheduleClock& clock) override;
    [[nodiscard]] ScheduleTime nextLook() const override { return sender_.nextLook(); }
    [[nodiscard]] std::string failure() const override { return sender_.failure(); }

    /// Takes an edited parameter from its next deadline on: its word at once, its interval
    /// and pause as the schedule's own changes take them.
    void change(std::size_t index, StimulusParameter parameter, ScheduleTime now);

    [[nodiscard]] const std::vector<StimulusParameter>& parameters() const { return parameters_; }
    [[nodiscard]] const PeriodicSender& sender() const { return sender_; }
    /// Why a parameter's word stayed as it was, or empty.
    [[nodiscard]] const std::string& problem(std::size_t index) const { return problems_[index]; }

private:
    static std::vector<ScheduledWord> scheduleOf(const std::vector<StimulusParameter>& parameters);

    std::vector<StimulusParameter> parameters_;
    std::vector<std::string> problems_;
    PeriodicSender sender_;
    ScheduleTime start_;
};

} // namespace transmission
