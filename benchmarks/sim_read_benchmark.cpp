// One refresh tick's reads through the simulated board: 256 IOCTL_SI_READ on each of the
// eight inputs, all receiving at 100 kbit/s, with the clock moved one 100 ms refresh period
// between ticks, so every tick also delivers the words of that period.

#include "reception/refresh_tick.h"
#include "tests/board/simulated/test_support.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using sim_testing::k100kbit;
constexpr board::SimTime kRefreshPeriod = 100 * sim_testing::kMs;

board::simulated::SimulatorConfig eightChannelBoard(bool allWired) {
    board::simulated::SimulatedBoardSpec boardSetup{
        .interfaceIndex = 0, .serial = 1021, .inputs = 8, .outputs = 8};
    if (!allWired)
        for (std::size_t i = 4; i < 8; ++i)
            boardSetup.sources[i] = {.kind = board::simulated::InputSourceKind::Traffic,
                                     .rateCode = k100kbit};
    return {.boards = {boardSetup}, .indicesFailingToOpen = {}, .failingRequests = {}};
}

void tickReads(benchmark::State& state, bool allWired) {
    sim_testing::SimBench bench(eightChannelBoard(allWired));
    bench.init(k100kbit, k100kbit);
    std::vector<std::uint32_t> words;
    for (std::uint32_t i = 0; i < 256; ++i)
        words.push_back(sim_testing::wordWithLabel(i, i));
    for (std::uint16_t no = 1; no <= 8; ++no) {
        bench.startCyclic(no, words);
        bench.startAddress(no);
    }

    std::uint32_t received = 0;
    for (auto _ : state) {
        bench.clock.advance(kRefreshPeriod);
        for (std::uint16_t no = 1; no <= 8; ++no)
            for (std::uint16_t cell = 0; cell < 256; ++cell)
                received += reception::isReceivedWord(bench.read(no, cell)) ? 1 : 0;
    }
    benchmark::DoNotOptimize(received);
    state.SetItemsProcessed(state.iterations() * 2048);
}

// Inputs 1..4 hear their outputs, inputs 5..8 the built-in traffic: the default wiring.
void BM_TickReads_DefaultWiring(benchmark::State& state) { tickReads(state, false); }
// Every input hears a 256-word cycle: 278 words a period each, the heaviest catch-up.
void BM_TickReads_AllWired(benchmark::State& state) { tickReads(state, true); }

BENCHMARK(BM_TickReads_DefaultWiring)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickReads_AllWired)->Unit(benchmark::kMicrosecond);

} // namespace
