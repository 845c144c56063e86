#include "analysis/recorder.h"

#include "analysis/arrival_order.h"
#include "analysis/recording_row.h"
#include "util/csv_text.h"

#include <algorithm>

namespace analysis {
namespace {

// Room for a tick of short rows on every cell of every channel; longer rows make the buffer
// grow once, at the first tick that needs it.
constexpr std::size_t kInitialBufferBytes = reception::ChangedCells::kCapacity * 96;

std::string columnNamesLine() {
    std::string line(kRecordingColumnNames);
    line.append(util::kCsvRecordEnd);
    return line;
}

} // namespace

Recorder::Recorder(const reception::AllChannelsFormatLookup& lookup, RecordingClock& clock)
    : lookup_(lookup), clock_(clock) {}

std::error_code Recorder::start(std::unique_ptr<RecordingFile> file, const RecordingLimits& limits,
                                RecordingPartOpener openPart) {
    stop();
    failure_.reset();
    limits_ = limits;
    openPart_ = std::move(openPart);
    settled_ = false;
    part_ = 0;
    partRows_ = 0;
    rowsKept_ = 0;
    const std::string header = columnNamesLine();
    if (const std::error_code error = file->append(header))
        return error;
    partBytes_ = header.size();
    file_ = std::move(file);
    startedAt_ = clock_.monotonicNow();
    partStartedAt_ = startedAt_;
    syncedAt_ = startedAt_;
    buffer_.reserve(kInitialBufferBytes);
    return {};
}

std::error_code Recorder::start(const std::filesystem::path& path, const RecordingLimits& limits) {
    CreatedRecordingFile created = createRecordingFile(path);
    if (!created.file)
        return created.error;
    return start(std::move(created.file), limits, [path](unsigned part) {
        return createRecordingFile(recordingPartPath(path, part));
    });
}

void Recorder::stop() {
    if (file_ && settled_)
        (void)file_->sync(); // the recording is over whatever the disk says now
    file_.reset();
}

void Recorder::end(std::error_code error) {
    failure_ = RecordingFailure{error, partRows_, part_};
    stop();
}

bool Recorder::spaceRunsOut() const {
    if (limits_.minFreeBytes == 0)
        return false;
    const std::optional<std::uint64_t> free = file_->freeBytes();
    return free && *free < limits_.minFreeBytes;
}

bool Recorder::splitBefore(std::chrono::milliseconds now) {
    const bool full = limits_.splitBytes > 0 && partBytes_ + buffer_.size() > limits_.splitBytes;
    const bool old = limits_.splitTime.count() > 0 && now - partStartedAt_ >= limits_.splitTime;
    // A file holds at least one tick, however large, so that a split always moves on.
    if (!openPart_ || partRows_ == 0 || !(full || old))
        return true;
    ++part_;
    partRows_ = 0;
    CreatedRecordingFile next = openPart_(part_);
    std::error_code error = next.error;
    const std::string header = columnNamesLine();
    if (next.file) {
        error = next.file->append(header);
        if (!error)
            error = next.file->settle();
    }
    if (error) {
        end(error);
        return false;
    }
    (void)file_->sync();
    file_ = std::move(next.file);
    partBytes_ = header.size();
    partStartedAt_ = now;
    return true;
}

void Recorder::afterTickReads(const board::SharedState& state,
                              const reception::ChangedCells& changes) {
    if (!running())
        return;
    const std::chrono::milliseconds now = clock_.monotonicNow();
    if (!settled_) {
        settled_ = true;
        if (spaceRunsOut()) {
            end({});
            return;
        }
        if (const std::error_code error = file_->settle()) {
            end(error);
            return;
        }
    }
    if (!changes.empty() && !recordTick(state, changes, now))
        return;
    if (now - syncedAt_ >= kRecordingSyncInterval) {
        syncedAt_ = now;
        if (const std::error_code error = file_->sync())
            end(error);
        else if (spaceRunsOut())
            end({});
    }
}

bool Recorder::recordTick(const board::SharedState& state, const reception::ChangedCells& changes,
                          std::chrono::milliseconds now) {
    const std::chrono::milliseconds elapsed = now - startedAt_;
    const RecordingTickStamp stamp{
        clock_.localNow(), static_cast<std::uint64_t>(std::max<std::int64_t>(elapsed.count(), 0)),
        state.TickCount};
    tickFields_.clear();
    appendTickFields(tickFields_, stamp);

    buffer_.clear();
    const auto append = [&](const reception::CellChange& change) {
        appendRecordingRow(buffer_, tickFields_, change, lookup_.channels[change.channelIndex],
                           database_.get());
    };
    // A channel in file mode is written in the order its words arrived, so that a replay
    // sends them in that order; by address each label has its cell and the cells' order stays.
    for (const reception::CellChange* first = changes.begin(); first != changes.end();) {
        const reception::CellChange* last = first;
        while (last != changes.end() && last->channelIndex == first->channelIndex)
            ++last;
        if (state.SImode[first->channelIndex] == board::SImodeFile)
            forEachInArrivalOrder(ChangeRange{first, last}, append);
        else
            std::for_each(first, last, append);
        first = last;
    }
    if (!splitBefore(now))
        return false;
    if (const std::error_code error = file_->append(buffer_)) {
        end(error);
        return false;
    }
    rowsKept_ += changes.size();
    partRows_ += changes.size();
    partBytes_ += buffer_.size();
    return true;
}

} // namespace analysis
