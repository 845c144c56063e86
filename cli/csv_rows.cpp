#include "csv_rows.h"

#include "board_access.h"

#include "analysis/recording_file.h"
#include "reception/format_lookup_files.h"

namespace cli {
namespace {

void failOn(std::error_code error, const std::string& path) {
    if (error)
        throw CommandFailure(path + ": " + error.message());
}

} // namespace

CsvRows::CsvRows(const std::string& path, unsigned input, const std::string& formatPath,
                 const std::string& assignmentPath)
    : path_(path), input_(input), lookup_(std::make_unique<reception::AllChannelsFormatLookup>()),
      state_(std::make_unique<board::SharedState>()),
      changes_(std::make_unique<reception::ChangedCells>()) {
    if (!formatPath.empty()) {
        if (const auto unread = reception::loadFormatLookup(*lookup_, formatPath, assignmentPath))
            throw CommandFailure(unread->string() + ": " + zelva1_status_text(ZELVA1_ERROR_FILE));
    }
    recorder_ = std::make_unique<analysis::Recorder>(*lookup_);
    analysis::CreatedRecordingFile created = analysis::createRecordingFile(path);
    failOn(created.error, path);
    failOn(recorder_->start(std::move(created.file)), path);
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
        failOn(failure->error, path_);
}

} // namespace cli
