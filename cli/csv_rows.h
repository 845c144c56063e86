#pragma once

#include "zelva1.h"

#include "analysis/recorder.h"
#include "board/shared_state.h"
#include "reception/changed_cells.h"
#include "reception/format_lookup.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace cli {

/// @brief The monitor's recording, fed by the tool's polls of one input: at each poll, which
/// counts as a tick, one row per cell whose received word changed.
class CsvRows {
public:
    /// @brief Creates the file with the line of column names beside `path`, which it replaces
    /// at the first poll; formats decode the decimal column when `formatPath` is not empty.
    /// Throws CommandFailure.
    CsvRows(const std::string& path, unsigned input, const std::string& formatPath,
            const std::string& assignmentPath, const analysis::RecordingLimits& limits);

    /// Records one poll's cells; throws CommandFailure when the recording ends, with the
    /// monitor's message.
    void add(const std::array<zelva1_cell, ZELVA1_CELLS>& cells);

private:
    std::string path_;
    unsigned input_;
    analysis::RecordingLimits limits_;
    std::unique_ptr<reception::AllChannelsFormatLookup> lookup_;
    std::unique_ptr<analysis::Recorder> recorder_;
    std::unique_ptr<board::SharedState> state_; // the tick count and the stored words
    std::unique_ptr<reception::ChangedCells> changes_;
};

} // namespace cli
