// What recording adds to a refresh tick at its heaviest: all eight inputs receiving and every
// cell's word changing at every tick, so each tick gives 2048 rows. The board is a stand-in
// that answers each read at once, so the figures are the monitor's own: the tick's reads
// alone, and the same with the recorder writing its rows to a file in the temporary folder
// (with and without a decimal format on every label of every channel). The difference is
// the recording's cost per tick; the write to the system's file cache is included. Apart, the
// cost of the sync that puts a recording's rows on the disk every 2 s.

#include "rotating_recording.h"

#include "board/control_codes.h"
#include "board/records.h"
#include "formats/decimal_format.h"
#include "reception/refresh_tick.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Every read delivers a received word that differs from the cell's word of the last tick.
class ChangingWordsDriver final : public board::Driver {
public:
    [[nodiscard]] board::OpenResult open(unsigned) override { return {}; }
    bool send(board::DeviceHandle, std::uint32_t code, std::span<const std::byte> input,
              std::span<std::byte> output) override {
        if (code != board::IOCTL_SI_READ)
            return true;
        board::SIReadRequest read{};
        std::memcpy(&read, input.data(), std::min(input.size(), sizeof read));
        const board::SIReadReply reply{0, 0x80000000u | (tick & 0x7FFFu) << 16 |
                                              (read.channelNo & 3u) << 8 | read.index};
        std::memcpy(output.data(), &reply, std::min(output.size(), sizeof reply));
        return true;
    }
    std::uint32_t tick = 0;
};

formats::DecimalFormat altitudeFormat() {
    formats::DecimalFormat format{};
    std::memcpy(format.label.data(), "ALT", 3);
    format.msbBit = 28;
    format.lsbBit = 12;
    format.msbWeight = 65536.0f;
    std::memcpy(format.units.data(), "ft", 2);
    return format;
}

struct AllChannelsChanging {
    AllChannelsChanging() { state->SImode.fill(board::SImodeAddress); }

    void tick() {
        ++driver.tick;
        ++state->TickCount;
        benchmark::DoNotOptimize(reception::readRunningChannels(driver, *state, changes.get()));
    }

    ChangingWordsDriver driver;
    std::unique_ptr<board::SharedState> state = std::make_unique<board::SharedState>();
    std::unique_ptr<reception::ChangedCells> changes = std::make_unique<reception::ChangedCells>();
};

void BM_TickReads_AllCellsChanging(benchmark::State& bench) {
    AllChannelsChanging run;
    for (auto _ : bench)
        run.tick();
    bench.counters["rows/tick"] = static_cast<double>(run.changes->size());
}

void BM_TickReads_Recording(benchmark::State& bench) {
    AllChannelsChanging run;
    auto lookup = std::make_unique<reception::AllChannelsFormatLookup>();
    if (bench.range(0) != 0)
        for (reception::ChannelFormatLookup& channel : lookup->channels)
            channel.slots.fill(altitudeFormat());
    benchmark_support::RotatingRecording recording(bench, *lookup, "zelva-recording-benchmark.csv");
    for (auto _ : bench) {
        run.tick();
        recording.afterTickReads(*run.state, *run.changes);
    }
    bench.counters["rows/tick"] = static_cast<double>(run.changes->size());
}

// What the recording's periodic sync costs the tick that makes it: the rows of the ticks
// since the last sync (the argument; 20 ticks of 100 ms are its 2 s) at the heaviest, 2048
// rows each, are appended untimed, then the sync that puts them on the disk is timed.
void BM_RecordingSync(benchmark::State& bench) {
    const std::string row = "2024-12-31 23:59:59.999,1234567,12345,8,255,80ab03ff,377,3,0,"
                            "норма,+1234.000000  ft,,\r\n";
    std::string tick;
    for (int n = 0; n < 2048; ++n)
        tick += row;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "zelva-recording-sync-benchmark.csv";
    std::unique_ptr<analysis::RecordingFile> file;
    for (auto _ : bench) {
        bench.PauseTiming();
        // A new file every iteration keeps the folder from filling up.
        file = analysis::createRecordingFile(path).file;
        if (!file || file->settle()) {
            bench.SkipWithError("the recording file could not be created");
            break;
        }
        for (std::int64_t n = 0; n < bench.range(0); ++n)
            if (file->append(tick)) {
                bench.SkipWithError("the rows could not be written");
                break;
            }
        bench.ResumeTiming();
        benchmark::DoNotOptimize(file->sync());
    }
    file.reset();
    std::filesystem::remove(path);
    bench.counters["MB/sync"] =
        static_cast<double>(tick.size()) * static_cast<double>(bench.range(0)) / 1e6;
}

BENCHMARK(BM_TickReads_AllCellsChanging)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordingSync)
    ->ArgName("ticks")
    ->Arg(1)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_TickReads_Recording)
    ->ArgName("formats")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

} // namespace
