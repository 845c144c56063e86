#pragma once

#include "analysis/recording_clock.h"
#include "analysis/recording_file.h"
#include "labels/label_database.h"
#include "reception/format_lookup.h"
#include "reception/tick_observer.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace analysis {

/// How a recording that a failed write or a full disk ended left its file.
struct RecordingFailure {
    std::error_code error;      // empty when the free space fell below the limit
    std::uint64_t rowsKept = 0; // in the file it was writing
    unsigned part = 0;          // that file's number: recordingPartName() names it
};

/// How often a recording asks the system to put its rows on the disk; a power cut costs at
/// most the rows of this long.
inline constexpr std::chrono::milliseconds kRecordingSyncInterval{2000};
/// The free space below which a recording stops unless the user sets another limit.
inline constexpr std::uint64_t kDefaultRecordingMinFreeBytes = 100ULL << 20;

/// @brief Where a recording goes on to a new file, and where it stops; zero turns a bound
/// off. A tick's rows all go into one file: a split comes between ticks.
struct RecordingLimits {
    std::uint64_t splitBytes = 0;     // a file that would grow past this ends before the tick
    std::chrono::seconds splitTime{}; // a file this old ends before the next tick
    std::uint64_t minFreeBytes = kDefaultRecordingMinFreeBytes;
};

/// Opens the `part`th file of a split recording; the recording stops when it cannot.
using RecordingPartOpener = std::function<CreatedRecordingFile(unsigned part)>;

/// @brief Records the received words that change: at each tick, after its reads, one row per
/// changed cell of every running input channel, all rows of the tick put together in one
/// buffer and appended to the file in one write, so that a crash loses at most the tick
/// being written. The buffer is kept from tick to tick: once it has grown to the largest
/// tick, recording allocates nothing.
///
/// The file takes the recording's name at its first tick, so that a recording that never
/// gets going leaves a file of that name as it was. Every kRecordingSyncInterval the rows go
/// to the disk and the free space is looked at.
///
/// A write that fails ends the recording and keeps the failure; the rows of earlier ticks
/// stay in the file, whole.
class Recorder final : public reception::TickObserver {
public:
    /// `lookup` is the decimal formats of every input channel, read at each tick.
    explicit Recorder(const reception::AllChannelsFormatLookup& lookup,
                      RecordingClock& clock = systemRecordingClock());

    /// @brief Starts recording into `file` with the line of column names.
    /// @return the error of that first write, after which nothing is recorded.
    [[nodiscard]] std::error_code start(std::unique_ptr<RecordingFile> file,
                                        const RecordingLimits& limits = {},
                                        RecordingPartOpener openPart = {});
    /// @brief Starts recording into a file made at `path`, split into files named by
    /// recordingPartName().
    [[nodiscard]] std::error_code start(const std::filesystem::path& path,
                                        const RecordingLimits& limits);
    /// Ends the recording, puts its rows on the disk and closes its file; nothing when none
    /// runs.
    void stop();

    [[nodiscard]] bool running() const { return file_ != nullptr; }
    /// Rows of the current or last recording that are in its files.
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
    // Each returns false when the recording ended.
    [[nodiscard]] bool recordTick(const board::SharedState& state,
                                  const reception::ChangedCells& changes,
                                  std::chrono::milliseconds now);
    [[nodiscard]] bool splitBefore(std::chrono::milliseconds now);
    [[nodiscard]] bool spaceRunsOut() const;
    void end(std::error_code error);

    const reception::AllChannelsFormatLookup& lookup_;
    std::shared_ptr<const labels::LabelDatabase> database_;
    RecordingClock& clock_;
    std::unique_ptr<RecordingFile> file_;
    RecordingLimits limits_;
    RecordingPartOpener openPart_;
    bool settled_ = false;
    std::chrono::milliseconds startedAt_{};
    std::chrono::milliseconds partStartedAt_{};
    std::chrono::milliseconds syncedAt_{};
    unsigned part_ = 0;
    std::uint64_t partBytes_ = 0;
    std::uint64_t partRows_ = 0;
    std::uint64_t rowsKept_ = 0;
    std::optional<RecordingFailure> failure_;
    std::string tickFields_;
    std::string buffer_;
};

} // namespace analysis
