// One refresh tick's reads through the simulated board: 256 IOCTL_SI_READ on each of the
// eight inputs, all receiving at 100 kbit/s, with the clock moved one 100 ms refresh period
// between ticks, so every tick also delivers the words of that period.

#include "board/control_codes.h"
#include "board/requests.h"
#include "board/sim_clock.h"
#include "board/simulated_driver.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::uint8_t k100kbit = 2;
constexpr board::SimTime kRefreshPeriod = 100'000'000;

board::SimulatorConfig eightChannelBoard(bool allWired) {
    board::SimulatedBoardSpec boardSetup{.interfaceIndex = 0, .serial = 1021, .inputs = 8, .outputs = 8};
    if (!allWired)
        for (std::size_t i = 4; i < 8; ++i)
            boardSetup.sources[i] = {.kind = board::InputSourceKind::Traffic, .rateCode = k100kbit};
    return {.boards = {boardSetup}, .indicesFailingToOpen = {}, .failingRequests = {}};
}

void tickReads(benchmark::State& state, bool allWired) {
    board::ManualSimClock clock;
    board::SimulatedDriver driver(eightChannelBoard(allWired), clock);
    const board::DeviceHandle handle = driver.open(0).handle;

    board::FreqCodes codes{};
    codes.SIfreq.fill(k100kbit);
    codes.SOfreq.fill(k100kbit);
    board::sendCommand(driver, handle, board::IOCTL_INIT_DEVICE, codes);
    board::SOrecord record{};
    for (std::uint32_t i = 0; i < 256; ++i)
        record.SOwords[i] = 0x60000000u | i << 8 | i;
    record.param1 = record.param2 = 256;
    for (std::uint16_t no = 1; no <= 8; ++no) {
        record.channelNo = no;
        board::sendCommand(driver, handle, board::IOCTL_SO_START_CYCLIC, record);
        board::sendCommand(driver, handle, board::IOCTL_SI_START_ADDRESS,
                           board::SIStartRecord{no, 1, 0xFFFF, 0xFFFF});
    }

    board::SIReadReply reply;
    std::uint32_t received = 0;
    for (auto _ : state) {
        clock.advance(kRefreshPeriod);
        for (std::uint16_t no = 1; no <= 8; ++no)
            for (std::uint16_t cell = 0; cell < 256; ++cell) {
                board::sendRequest(driver, handle, board::IOCTL_SI_READ,
                                   board::SIReadRequest{no, 1, cell}, reply);
                received += reply.word >= 0x10000u ? 1 : 0;
            }
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
