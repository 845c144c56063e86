#include "closing_handle.h"
#include "commands.h"
#include "csv_rows.h"
#include "input_files.h"
#include "timed_run.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace cli {
namespace {

// The columns a label database adds to a cell's line: the parameter, its value with units, and
// what its SSM says; empty where the database has no row for the word.
void printByDatabase(zelva1_database* database, unsigned input, std::uint32_t word) {
    zelva1_reading reading{};
    check(zelva1_database_decode(database, input, word, &reading), "декодирование по базе");
    std::string value = reading.text;
    if (reading.has_value != 0 && reading.units[0] != '\0')
        value += std::string(" ") + reading.units;
    std::printf("\t%s\t%s\t%s", reading.name, value.c_str(), reading.ssm_text);
}

// The decoded cells on standard output, tab-separated, one line per received cell.
void printCells(const std::array<zelva1_cell, ZELVA1_CELLS>& cells, unsigned input,
                zelva1_formats* formats, zelva1_database* database) {
    std::printf("ячейка\tслово\tметка\tSDI\tSSM\tчетность\tзначение%s\n",
                database != nullptr ? "\tпараметр\tзначение по базе\tSSM по базе" : "");
    for (unsigned index = 0; index < ZELVA1_CELLS; ++index) {
        if (cells[index].received == 0)
            continue;
        zelva1_decoded decoded{};
        check(zelva1_decode(formats, input, cells[index].word, &decoded), "декодирование");
        std::printf("%u\t%08x\t%03o\t%u\t%u\t%s\t%s", index, cells[index].word, decoded.label,
                    decoded.sdi, decoded.ssm, decoded.parity_ok != 0 ? "норма" : "ошибка",
                    decoded.text);
        if (database != nullptr)
            printByDatabase(database, input, cells[index].word);
        std::printf("\n");
    }
}

using FormatsHandle = Closing<zelva1_formats, zelva1_formats_close>;
using DatabaseHandle = Closing<zelva1_database, zelva1_database_close>;

analysis::RecordingLimits recordingLimits(const ReceiveOptions& options) {
    constexpr double kBytesInMegabyte = 1024.0 * 1024.0;
    return {static_cast<std::uint64_t>(options.splitMegabytes) << 20,
            std::chrono::seconds(options.splitSeconds),
            static_cast<std::uint64_t>(options.minFreeMegabytes * kBytesInMegabyte)};
}

void openDatabase(const std::string& path, DatabaseHandle& opened) {
    std::array<char, 512> message{};
    if (zelva1_database_open(path.c_str(), opened.out(), message.data(), message.size()) !=
        ZELVA1_OK)
        throw CommandFailure(message.data());
}

} // namespace

void receive(const ReceiveOptions& options) {
    if (!options.csvPath.empty() && !options.databasePath.empty())
        throw UsageFailure("параметры --csv и --database не сочетаются: база меток дополняет "
                           "печать ячеек, а не запись");
    if (!options.assignmentPath.empty() && options.formatPath.empty())
        throw UsageFailure("параметр --assignments только вместе с --formats: файл форматов "
                           "входных параметров назначает каналам форматы из файла десятичных "
                           "форматов");
    if (!options.formatPath.empty())
        requireReadableFile(options.formatPath, "файл десятичных форматов");
    if (!options.assignmentPath.empty())
        requireReadableFile(options.assignmentPath, "файл форматов входных параметров");
    if (!options.databasePath.empty())
        requireReadableFile(options.databasePath, "база меток");
    const int mode = options.mode == "file" ? ZELVA1_FILE_MODE : ZELVA1_ADDRESS_MODE;
    std::optional<CsvRows> csv;
    FormatsHandle formats;
    if (!options.csvPath.empty())
        csv.emplace(options.csvPath, options.input, options.formatPath, options.assignmentPath,
                    recordingLimits(options));
    else if (!options.formatPath.empty())
        check(zelva1_formats_open(options.formatPath.c_str(),
                                  options.assignmentPath.empty() ? nullptr
                                                                 : options.assignmentPath.c_str(),
                                  formats.out()),
              options.formatPath);
    DatabaseHandle database;
    if (!options.databasePath.empty())
        openDatabase(options.databasePath, database);

    OpenBoard board(options.board);
    check(zelva1_start_receive(board.get(), options.input, mode),
          "прием, входной канал № " + std::to_string(options.input));
    catchStopRequests();
    std::array<zelva1_cell, ZELVA1_CELLS> cells{};
    runTimed(options.seconds, std::chrono::milliseconds(options.periodMs), "прием",
             [&](double, std::string& note) {
                 check(zelva1_read_cells(board.get(), options.input, cells.data(), cells.size()),
                       "чтение буфера");
                 if (csv)
                     csv->add(cells);
                 int received = 0;
                 for (const zelva1_cell& cell : cells)
                     received += static_cast<int>(cell.received);
                 note = ", принято ячеек: " + std::to_string(received);
                 return true;
             });
    check(zelva1_stop_receive(board.get(), options.input), "останов приема");
    if (!csv)
        printCells(cells, options.input, formats.get(), database.get());
}

} // namespace cli
