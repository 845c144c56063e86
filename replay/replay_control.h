#pragma once

#include "replay/label_replay.h"
#include "replay/recorded_replay.h"

#include "labels/label_database.h"
#include "transmission/stimulus_thread.h"

#include <filesystem>
#include <memory>
#include <string>

namespace replay {

/// @brief A replay read and checked, not started yet: everything a start takes from the
/// recording, made where no lock of the caller's is held, since the recording may be long or
/// slow to come. Its runs send through the driver they were made with once started.
struct PreparedReplay {
    /// Why it cannot start; empty when it can.
    std::string problem;
    ReplayOptions options;
    std::shared_ptr<const labels::LabelDatabase> database;
    std::unique_ptr<RecordedReplay> recorded;
    std::unique_ptr<LabelReplay> byLabel;
};

/// @brief One replay of a recording on a thread of its own, as recorded or by label: checked
/// before it starts (the recording read through, the routes, the bus load), then paused,
/// resumed, stepped a tick at a time and stopped from any thread. The driver must be shared
/// through board::SerializedDriver.
class ReplayControl {
public:
    ReplayControl() = default;
    ~ReplayControl();
    ReplayControl(const ReplayControl&) = delete;
    ReplayControl& operator=(const ReplayControl&) = delete;
    ReplayControl(ReplayControl&&) = delete;
    ReplayControl& operator=(ReplayControl&&) = delete;

    /// Starts, or says why not: options that cannot replay, a recording that is damaged or
    /// holds no word of the routed inputs, a load the outputs cannot carry. A replay already
    /// running is stopped first.
    std::string start(board::Driver& driver, board::DeviceHandle handle,
                      const std::filesystem::path& recording, const ReplayOptions& options,
                      std::shared_ptr<const labels::LabelDatabase> database);
    /// The part of start() that reads the recording; touches no replay.
    [[nodiscard]] static PreparedReplay prepare(
        board::Driver& driver, board::DeviceHandle handle, const std::filesystem::path& recording,
        const ReplayOptions& options, std::shared_ptr<const labels::LabelDatabase> database);
    /// The part of start() that reads nothing: stops the replay running, then starts
    /// `prepared`, or returns its problem.
    std::string start(PreparedReplay prepared);
    /// Returns once the request in progress, if any, is done.
    void stop();
    void pause();
    void resume();
    /// While paused: the next tick's words at once (as recorded only).
    void step();

    /// Started, neither stopped nor failed nor finished.
    [[nodiscard]] bool running() const;
    [[nodiscard]] bool paused() const;
    [[nodiscard]] bool finished() const;
    [[nodiscard]] ReplayProgress progress() const;
    /// Why it stopped by itself, or what an output's failed request was; empty when nothing.
    [[nodiscard]] std::string failure() const;
    /// Whether the replay sends on output `outputNo` (1-based) now.
    [[nodiscard]] bool sendsOn(std::uint16_t outputNo) const;

private:
    std::unique_ptr<transmission::RunningSchedule<RecordedReplay>> recorded_;
    std::unique_ptr<transmission::RunningSchedule<LabelReplay>> byLabel_;
    std::shared_ptr<const labels::LabelDatabase> database_; // the by-label replay reads it
    ReplayOptions options_;
};

} // namespace replay
