#pragma once

#include "replay/replay_options.h"

#include "analysis/recording_reader.h"
#include "board/driver.h"
#include "transmission/scheduled_run.h"
#include "transmission/single_transmission.h"

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace replay {

using transmission::ScheduleClock;
using transmission::ScheduleTime;

/// How far a replay has come.
struct ReplayProgress {
    std::uint64_t rowsRead = 0;
    std::uint64_t recordedMs = 0;      // the recording's time of the last tick read
    std::uint32_t passes = 0;          // completed passes of a looped replay
    std::vector<std::uint64_t> sent{}; // words sent, per route's output in route order
    bool finished = false;
};

/// @brief A recording sent back as it was recorded: every word once, in recorded order, at
/// its recorded time, read a tick ahead so that the recording may be larger than memory. A
/// recording knows only the tick a word was seen in, so a tick's words are spread evenly over
/// the time to the next tick, which keeps every label's rate. Deadlines are absolute (start +
/// recorded time ÷ speed), so the replay never drifts. Each output sends its due words in
/// bursts of single transmissions, never while the bus still sends the last one; a request
/// the board fails stops that output and says so, the others go on.
class RecordedReplay final : public transmission::ScheduledRun {
public:
    RecordedReplay(board::Driver& driver, board::DeviceHandle handle,
                   const std::filesystem::path& recording, ReplayOptions options,
                   ScheduleTime start);

    using ScheduledRun::step;
    bool step(ScheduleTime now, const ScheduleClock& clock) override;
    [[nodiscard]] ScheduleTime nextLook() const override;
    [[nodiscard]] std::string failure() const override;

    /// Holds every word back until resume(); the words due are kept, none is lost.
    void pause();
    /// Goes on from where it was held, as if the pause had not been.
    void resume(ScheduleTime now);
    /// While paused: sends the next tick's words at once.
    void stepTick(ScheduleTime now);
    [[nodiscard]] bool paused() const { return paused_; }

    [[nodiscard]] const ReplayProgress& progress() const { return progress_; }
    /// Why the recording stopped being read (damage met on a later pass), or nothing.
    [[nodiscard]] const std::optional<analysis::RecordingError>& recordingError() const {
        return reader_->error();
    }

private:
    struct Due {
        double at = 0.0; // on the replay's own time line, in recorded ms
        std::uint32_t word = 0;
    };
    struct Output {
        std::unique_ptr<transmission::SingleTransmissions> transmissions;
        ScheduleTime wordTime = 0;
        ScheduleTime busFreeAt = 0;
        std::deque<Due> due;
        std::uint64_t sent = 0;
    };

    [[nodiscard]] ScheduleTime deadline(double at) const;
    /// The replay time line's position of the next tick not yet read, or nothing at the end.
    [[nodiscard]] std::optional<double> nextTickAt() const;
    /// Reads the next tick and puts its words on their outputs; false at the end.
    bool readTick();
    bool readWord();
    void sendDue(Output& output, ScheduleTime now, const ScheduleClock& clock);

    std::filesystem::path recording_;
    ReplayOptions options_;
    std::unique_ptr<analysis::RecordingReader> reader_;
    std::vector<Output> outputs_;
    std::vector<std::vector<std::size_t>> routesOf_; // per input 0..7, indices into outputs_
    ScheduleTime start_;
    double startAt_ = 0.0;
    bool paused_ = false;
    bool flush_ = false; // a step's words go out now, whatever their time
    bool ended_ = false; // no word left to read

    std::optional<analysis::RecordedWord> ahead_; // the first word of the next tick
    double aheadAt_ = 0.0;                        // its tick's position on the time line
    double lastTickLength_ = 0.0;
    std::vector<analysis::RecordedWord> tick_;
    ReplayProgress progress_;
};

} // namespace replay
