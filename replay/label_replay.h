#pragma once

#include "replay/recorded_replay.h"
#include "replay/replay_options.h"

#include "analysis/recording_reader.h"
#include "board/driver.h"
#include "labels/label_database.h"
#include "transmission/periodic_sender.h"
#include "transmission/scheduled_run.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace replay {

/// One label (and SDI, where it tells words apart) of a recorded input, sent on an output.
struct LabelStream {
    std::uint8_t inputNo = 0;
    std::uint8_t label = 0;
    int sdi = -1;           // -1: every SDI of the label is one parameter
    std::size_t output = 0; // index among the replay's outputs
    double intervalMs = 0.0;
    std::optional<double> leastMs{};
    std::optional<double> greatestMs{};
};

/// What a recording gives to replay by label, found by reading it through once.
struct LabelPlan {
    std::vector<std::uint16_t> outputs;  // output numbers, in the routes' order
    std::vector<std::uint8_t> rateCodes; // per output
    std::vector<LabelStream> streams;
    std::vector<double> busLoadPercent; // per output
    std::optional<analysis::RecordingError> error;
    std::string why; // a plan that cannot be sent, empty when it can

    [[nodiscard]] bool ok() const { return !error && why.empty(); }
};

/// @brief Reads the recording through once for the labels of the routed inputs: each is sent
/// at the middle of its transmit window in `database` (null for none), else at the mean
/// interval the recording shows (meaningful for a recording in file mode, which holds every
/// word), else once a second. A plan whose words an output's rate cannot carry says its load.
[[nodiscard]] LabelPlan planByLabel(const std::filesystem::path& recording,
                                    const ReplayOptions& options,
                                    const labels::LabelDatabase* database);

/// @brief A recording played as live traffic: each label keeps the last value recorded by the
/// replay's time and is sent at its own interval, so that a recording by address, which holds
/// changes only, sounds as the equipment did. A label is silent until its first recorded word.
class LabelReplay final : public transmission::ScheduledRun {
public:
    LabelReplay(board::Driver& driver, board::DeviceHandle handle,
                const std::filesystem::path& recording, ReplayOptions options, LabelPlan plan,
                const labels::LabelDatabase* database, ScheduleTime start);

    using ScheduledRun::step;
    bool step(ScheduleTime now, const ScheduleClock& clock) override;
    [[nodiscard]] ScheduleTime nextLook() const override;
    [[nodiscard]] std::string failure() const override;

    /// Holds every label back; resume() goes on from the recorded time of the pause.
    void pause(ScheduleTime now);
    void resume(ScheduleTime now);
    [[nodiscard]] bool paused() const { return paused_; }
    [[nodiscard]] const ReplayProgress& progress() const { return progress_; }

private:
    [[nodiscard]] double recordedAt(ScheduleTime now) const;
    void take(const analysis::RecordedWord& word, ScheduleTime now);
    bool readWord();

    std::filesystem::path recording_;
    ReplayOptions options_;
    LabelPlan plan_;
    const labels::LabelDatabase* database_;
    std::unique_ptr<analysis::RecordingReader> reader_;
    std::vector<std::unique_ptr<transmission::PeriodicSender>> senders_;
    std::map<std::tuple<int, int, int>, std::vector<std::pair<std::size_t, std::size_t>>> slots_;
    std::optional<analysis::RecordedWord> ahead_;
    double passOffsetMs_ = 0.0; // the recorded time of the passes before this one
    ScheduleTime start_;
    double startAt_ = 0.0; // the recorded time at start_
    std::uint64_t lastMs_ = 0;
    bool paused_ = false;
    bool ended_ = false;
    ReplayProgress progress_;
};

} // namespace replay
