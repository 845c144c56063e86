#pragma once

#include "transmission/stimulus_thread.h"

#include "board/driver.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace transmission {

/// @brief The stimulus of one output: the parameters the user set up, and while they are
/// sent, the thread that sends them. Parameters are added, removed and replaced as a whole
/// only while it is stopped; an edit of one parameter reaches a running stimulus at once.
class OutputStimulus {
public:
    [[nodiscard]] const std::vector<StimulusParameter>& parameters() const { return parameters_; }
    /// Replaces every parameter; refused (false) while it runs.
    bool setParameters(std::vector<StimulusParameter> parameters);
    bool add(StimulusParameter parameter);
    bool remove(std::size_t index);
    /// Takes an edited parameter, at once when it runs.
    void change(std::size_t index, StimulusParameter parameter);

    /// The check its parameters pass or fail at `rateCode`: the bus load, and in strict mode
    /// whether every label keeps its window.
    [[nodiscard]] ScheduleCheck check(std::uint8_t rateCode, ScheduleMode mode) const;

    /// Starts sending on output `outputNo` (1-based) when its check passes in `mode`; the
    /// check either way. The driver must be shared through board::SerializedDriver.
    ScheduleCheck start(board::Driver& driver, board::DeviceHandle handle, std::uint16_t outputNo,
                        std::uint8_t rateCode, ScheduleMode mode);
    /// Returns once the request in progress, if any, is done: no word goes out after it.
    void stop();
    /// Sending: started and neither stopped nor failed.
    [[nodiscard]] bool running() const;
    /// Why it stopped by itself, or empty.
    [[nodiscard]] std::string failure() const;

    /// Seconds since the start, 0 before any.
    [[nodiscard]] double seconds() const;
    /// The timing of each parameter's words in the last or current run (empty before any).
    [[nodiscard]] std::vector<WordTiming> timings() const;

private:
    std::vector<StimulusParameter> parameters_;
    std::unique_ptr<StimulusThread> thread_;
    ScheduleTime start_ = 0;
};

} // namespace transmission
