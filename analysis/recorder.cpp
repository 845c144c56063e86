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

} // namespace

Recorder::Recorder(const reception::AllChannelsFormatLookup& lookup, RecordingClock& clock)
    : lookup_(lookup), clock_(clock) {}

std::error_code Recorder::start(std::unique_ptr<RecordingFile> file) {
    stop();
    failure_.reset();
    rowsKept_ = 0;
    buffer_.clear();
    buffer_.append(kRecordingColumnNames);
    buffer_.append(util::kCsvRecordEnd);
    if (const std::error_code error = file->append(buffer_))
        return error;
    file_ = std::move(file);
    startedAt_ = clock_.monotonicNow();
    buffer_.reserve(kInitialBufferBytes);
    return {};
}

void Recorder::stop() { file_.reset(); }

void Recorder::afterTickReads(const board::SharedState& state,
                              const reception::ChangedCells& changes) {
    if (!running() || changes.empty())
        return;
    const std::chrono::milliseconds elapsed = clock_.monotonicNow() - startedAt_;
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
    if (const std::error_code error = file_->append(buffer_)) {
        failure_ = RecordingFailure{error, rowsKept_};
        stop();
        return;
    }
    rowsKept_ += changes.size();
}

} // namespace analysis
