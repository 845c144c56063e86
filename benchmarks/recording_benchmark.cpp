// What recording adds to a refresh tick at its heaviest: all eight inputs receiving and every
// cell's word changing at every tick, so each tick gives 2048 rows. The board is a stand-in
// that answers each read at once, so the figures are the monitor's own: the tick's reads
// alone, and the same with the recorder writing its rows to a file in the temporary folder
// (with and without a decimal format on every label of every channel). The difference is
// the recording's cost per tick; the write to the system's file cache is included.

#include "board/control_codes.h"
#include "board/records.h"
#include "formats/decimal_format.h"
#include "reception/recorder.h"
#include "reception/refresh_tick.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
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

// A new file every so many ticks keeps the temporary folder from filling up (about 200 MB).
constexpr int kTicksPerFile = 1000;

void BM_TickReads_Recording(benchmark::State& bench) {
    AllChannelsChanging run;
    auto lookup = std::make_unique<reception::AllChannelsFormatLookup>();
    if (bench.range(0) != 0)
        for (reception::ChannelFormatLookup& channel : lookup->channels)
            channel.slots.fill(altitudeFormat());
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "zelva-recording-benchmark.csv";
    reception::Recorder recorder(*lookup);
    std::uint64_t rows = 0;
    std::uintmax_t bytes = 0;
    int ticksInFile = kTicksPerFile;
    for (auto _ : bench) {
        if (ticksInFile++ == kTicksPerFile) {
            bench.PauseTiming();
            rows += recorder.rowsKept();
            recorder.stop();
            bytes += std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0;
            if (recorder.start(reception::createRecordingFile(path).file))
                bench.SkipWithError("the recording file could not be created");
            ticksInFile = 1;
            bench.ResumeTiming();
        }
        run.tick();
        recorder.afterTickReads(*run.state, *run.changes);
    }
    rows += recorder.rowsKept();
    recorder.stop();
    bytes += std::filesystem::file_size(path);
    std::filesystem::remove(path);
    bench.counters["rows/tick"] = static_cast<double>(run.changes->size());
    bench.counters["bytes/row"] = rows == 0 ? 0.0 : static_cast<double>(bytes) / static_cast<double>(rows);
}

BENCHMARK(BM_TickReads_AllCellsChanging)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickReads_Recording)->ArgName("formats")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
