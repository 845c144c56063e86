#include "commands.h"
#include "timed_run.h"

#include <cstdio>

namespace cli {

bool loopback(const LoopbackOptions& options) {
    const std::vector<std::uint32_t> words = testPattern(options.output);
    OpenBoard board(options.board);
    catchStopRequests();
    check(zelva1_start_receive(board.get(), options.input, ZELVA1_ADDRESS_MODE),
          "прием, входной канал № " + std::to_string(options.input));
    check(zelva1_transmit(board.get(), options.output, words.data(), words.size(), ZELVA1_CYCLIC),
          "выдача, выходной канал № " + std::to_string(options.output));

    // In address mode word k, whose label is k, lands in cell k.
    std::array<zelva1_cell, ZELVA1_CELLS> cells{};
    unsigned matching = 0;
    runTimed(options.seconds, std::chrono::milliseconds(50), "петля",
             [&](double, std::string& note) {
                 check(zelva1_read_cells(board.get(), options.input, cells.data(), cells.size()),
                       "чтение буфера");
                 matching = 0;
                 for (unsigned k = 0; k < ZELVA1_CELLS; ++k)
                     matching += cells[k].word == words[k] ? 1u : 0u;
                 note = ", совпало ячеек: " + std::to_string(matching);
                 return matching < ZELVA1_CELLS;
             });
    check(zelva1_stop_transmit(board.get(), options.output), "останов выдачи");
    check(zelva1_stop_receive(board.get(), options.input), "останов приема");
    std::printf("выходной канал № %u -> входной канал № %u: совпало %u из %d ячеек\n",
                options.output, options.input, matching, ZELVA1_CELLS);
    return matching == ZELVA1_CELLS;
}

} // namespace cli
