#include "csv_rows.h"

#include "board_access.h"

#include "analysis/recording_messages.h"
#include "reception/format_lookup_files.h"
#include "util/system_error_text.h"

namespace cli {

CsvRows::CsvRows(const std::string& path, unsigned input, const std::string& formatPath,
                 const std::string& assignmentPath, const analysis::RecordingLimits& limits)
    : path_(path), input_(input), limits_(limits),
      lookup_(std::make_unique<reception::AllChannelsFormatLookup>()),
      state_(std::make_unique<board::SharedState>()),
      changes_(std::make_unique<reception::ChangedCells>()) {
    if (!formatPath.empty()) {
        if (const auto unread = reception::loadFormatLookup(*lookup_, formatPath, assignmentPath))
            throw CommandFailure(unread->string() + ": " + zelva1_status_text(ZELVA1_ERROR_FILE));
    }
    recorder_ = std::make_unique<analysis::Recorder>(*lookup_);
    if (const std::error_code error = recorder_->start(path, limits_))
        throw CommandFailure(
            analysis::recordingNotStartedWarning(path, util::systemErrorText(error)));
}

void CsvRows::add(const std::array<zelva1_cell, ZELVA1_CELLS>& cells) {
    ++state_->TickCount;
    changes_->clear();
    board::InputBuffer& stored = state_->SIbuffer[input_ - 1];
    for (unsigned index = 0; index < ZELVA1_CELLS; ++index) {
        const std::uint32_t word = cells[index].word;
        if (cells[index].received == 0 || stored[index].word == word)
            continue;
        stored[index] = {word, state_->TickCount};
        changes_->add(
            {static_cast<std::uint8_t>(input_ - 1), static_cast<std::uint8_t>(index), word});
    }
    recorder_->afterTickReads(*state_, *changes_);
    if (const auto& failure = recorder_->failure())
        throw CommandFailure(analysis::recordingEndedWarning(path_, *failure, limits_));
}

} // namespace cli
