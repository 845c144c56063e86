#pragma once

#include "analysis/recording_clock.h"
#include "labels/label_database.h"
#include "reception/changed_cells.h"
#include "reception/format_lookup.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace analysis {

// One row of a recording of received words per cell whose word changed at a tick, under a
// first line that names the columns. UTF-8, RFC 4180.

/// The first line of every recording, without its line end.
inline constexpr std::string_view kRecordingColumnNames =
    "дата и время,мс от начала записи,№ цикла,входной канал,ячейка,слово,метка,SDI,SSM,"
    "четность,десятичное значение,параметр,значение по базе";

inline constexpr std::string_view kParityOk = "норма";
inline constexpr std::string_view kParityError = "ошибка";

/// What all rows of one tick share.
struct RecordingTickStamp {
    LocalDateTime time;
    std::uint64_t msSinceStart = 0;
    std::uint32_t tick = 0;
};

/// @brief Appends the first three fields of every row of a tick with their commas:
/// "YYYY-MM-DD hh:mm:ss.mmm,<ms since start>,<tick>,".
void appendTickFields(std::string& out, const RecordingTickStamp& stamp);

/// @brief Appends one row after the tick's fields: channel number (1..8), cell (0..255),
/// the word in 8 hexadecimal digits, its label in 3 octal digits, SDI (bits 9-10) and SSM
/// (bits 30-31) as numbers 0..3, "норма" or "ошибка" for odd parity over the 32 bits, and
/// the decimal column's text without its outer blanks (empty where the label has no
/// format); the parameter's name and its value as the label database decodes it (both empty
/// without a database or a row for the word); then the line end. Allocates only when `out`
/// must grow, and for the value of a word the database defines.
void appendRecordingRow(std::string& out, std::string_view tickFields,
                        const reception::CellChange& change,
                        const reception::ChannelFormatLookup& channelLookup,
                        const labels::LabelDatabase* database = nullptr);

} // namespace analysis
