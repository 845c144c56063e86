#include "commands.h"
#include "csv_rows.h"
#include "timed_run.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace cli {
namespace {

// The decoded cells on standard output, tab-separated, one line per received cell.
void printCells(const std::array<zelva1_cell, ZELVA1_CELLS>& cells, unsigned input,
                zelva1_formats* formats) {
    std::printf("ячейка\tслово\tметка\tSDI\tSSM\tчетность\tзначение\n");
    for (unsigned index = 0; index < ZELVA1_CELLS; ++index) {
        if (cells[index].received == 0)
            continue;
        zelva1_decoded decoded{};
        check(zelva1_decode(formats, input, cells[index].word, &decoded), "декодирование");
        std::printf("%u\t%08x\t%03o\t%u\t%u\t%s\t%s\n", index, cells[index].word, decoded.label,
                    decoded.sdi, decoded.ssm, decoded.parity_ok != 0 ? "норма" : "ошибка",
                    decoded.text);
    }
}

struct FormatsHandle {
    zelva1_formats* formats = nullptr;
    ~FormatsHandle() {
        if (formats != nullptr)
            zelva1_formats_close(formats);
    }
};

} // namespace

void receive(const ReceiveOptions& options) {
    const int mode = options.mode == "file" ? ZELVA1_FILE_MODE : ZELVA1_ADDRESS_MODE;
    std::optional<CsvRows> csv;
    FormatsHandle formats;
    if (!options.csvPath.empty())
        csv.emplace(options.csvPath, options.input, options.formatPath, options.assignmentPath);
    else if (!options.formatPath.empty())
        check(zelva1_formats_open(options.formatPath.c_str(),
                                  options.assignmentPath.empty() ? nullptr
                                                                 : options.assignmentPath.c_str(),
                                  &formats.formats),
              options.formatPath);

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
        printCells(cells, options.input, formats.formats);
}

} // namespace cli
