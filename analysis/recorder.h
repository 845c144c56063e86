#pragma once

#include "analysis/recording_clock.h"
#include "analysis/recording_file.h"
#include "labels/label_database.h"
#include "reception/format_lookup.h"
#include "reception/tick_observer.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace analysis {

/// How a recording that a failed write ended left its file.
struct RecordingFailure {
    std::error_code error;
    std::uint64_t rowsKept = 0;
};

/// @brief Records the received words that change: at each tick, after its reads, one row per
/// changed cell of every running input channel, all rows of the tick put together in one
/// buffer and appended to the file in one write, so that a crash loses at most the tick
/// being written. The buffer is kept from tick to tick: once it has grown to the largest
/// tick, recording allocates nothing.
///
/// A write that fails ends the recording and keeps the failure; the rows of earlier ticks
/// stay in the file.
class Recorder final : public reception::TickObserver {
public:
    /// `lookup` is the decimal formats of every input channel, read at each tick.
    explicit Recorder(const reception::AllChannelsFormatLookup& lookup,
                      RecordingClock& clock = systemRecordingClock());

    /// @brief Starts recording into `file` with the line of column names.
    /// @return the error of that first write, after which nothing is recorded.
    [[nodiscard]] std::error_code start(std::unique_ptr<RecordingFile> file);
    /// Ends the recording and closes its file; nothing when none runs.
    void stop();

    [[nodiscard]] bool running() const { return file_ != nullptr; }
    /// Rows of the current or last recording that are in its file.
    [[nodiscard]] std::uint64_t rowsKept() const { return rowsKept_; }
    /// The write that ended the last recording; empty while it runs or when it was stopped.
    [[nodiscard]] const std::optional<RecordingFailure>& failure() const { return failure_; }

    void afterTickReads(const board::SharedState& state,
                        const reception::ChangedCells& changes) override;

    /// Names and decodes the labels it defines from the next tick on; none leaves the two
    /// columns empty.
    void setDatabase(std::shared_ptr<const labels::LabelDatabase> database) {
        database_ = std::move(database);
    }

private:
    const reception::AllChannelsFormatLookup& lookup_;
    std::shared_ptr<const labels::LabelDatabase> database_;
    RecordingClock& clock_;
    std::unique_ptr<RecordingFile> file_;
    std::chrono::milliseconds startedAt_{};
    std::uint64_t rowsKept_ = 0;
    std::optional<RecordingFailure> failure_;
    std::string tickFields_;
    std::string buffer_;
};

} // namespace analysis
