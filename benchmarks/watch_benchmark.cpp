// What an open label watch adds to a refresh tick when all eight inputs receive and every
// cell changes every tick (2048 changed cells): the watch's table alone, and the window with
// its model, sort proxy and view, told of the tick as the main window tells its observers.
// Also both that window and a recording with a format on every label of every input, the
// budget of what the analysis adds to a tick; and the cost of one parameter chart holding a
// full minute at the shortest period. With and without a label database that defines every
// label (in the same run, so that the medians compare), and the load of a 5,000-row database.

#include "rotating_recording.h"
#include "scripted_prompts.h"
#include "windows_benchmark_main.h"

#include "analysis/label_watch.h"
#include "board/clock.h"
#include "board/simulated/setup.h"
#include "board/simulated/simulated_driver.h"
#include "labels/label_database_file.h"
#include "labels/word_fields.h"
#include "reception/changed_cells.h"
#include "reception/format_lookup.h"
#include "tests/formats/table_fixtures.h"
#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/AnalysisWindows.h"
#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/analysis/LabelWatchModel.h"
#include "ui/analysis/Labelwatch.h"
#include "ui/analysis/Parameterchart.h"
#include "ui/main/Mainform.h"
#include "ui/main/MonitorWindows.h"

#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr std::int64_t kTickMs = 100; // the shortest refresh period

/// Two sets of changes for every cell of every input (cell = label, as in address mode),
/// differing in their data, so that ticks taking them in turn change every label each time.
struct AlternatingChanges {
    AlternatingChanges() {
        for (int set = 0; set < 2; ++set)
            for (int channel = 0; channel < board::kMaxChannels; ++channel)
                for (int cell = 0; cell < board::kInputBufferCells; ++cell) {
                    std::uint32_t word = 0x60000000u | static_cast<std::uint32_t>(cell) |
                                         static_cast<std::uint32_t>(0x400 + cell * 7 + set) << 10;
                    if (!labels::hasOddParity(word))
                        word |= 0x80000000u;
                    sets[set].add({static_cast<std::uint8_t>(channel),
                                   static_cast<std::uint8_t>(cell), word});
                }
    }
    [[nodiscard]] const reception::ChangedCells& forTick(std::int64_t tick) const {
        return sets[tick % 2];
    }

    std::array<reception::ChangedCells, 2> sets;
};

const formats::DecimalFormat kAltitude = formats_testing::makeFormat("ALT", 28, 12, 65536.0f, "ft");

/// A database text with `rows` rows, each a distinct (label, SDI, channel), every label of
/// every channel defined in the first 256, with ranges and intervals to check.
std::string databaseText(int rows) {
    std::string text = "label,sdi,channel,name,units,encoding,bits,resolution,min,max,"
                       "min_interval_ms,max_interval_ms,discretes\r\n";
    for (int row = 0; row < rows; ++row) {
        const int label = row % 256;
        const int variant = row / 256; // any SDI and channel first, then each SDI, each channel
        const std::string sdi = variant % 5 == 0 ? "" : std::to_string(variant % 5 - 1);
        const std::string channel = variant / 5 == 0 ? "" : std::to_string(variant / 5);
        char labelText[4];
        std::snprintf(labelText, sizeof labelText, "%03o", label);
        text.append(labelText).append(",").append(sdi).append(",").append(channel);
        text.append(",Параметр ").append(std::to_string(row));
        text.append(",ft,BNR,16,0.5,-10000,10000,50,1000,\r\n");
    }
    return text;
}

std::shared_ptr<const labels::LabelDatabase> everyLabelDatabase() {
    labels::LabelDatabaseLoad load = labels::parseLabelDatabase(databaseText(256));
    return std::make_shared<const labels::LabelDatabase>(std::move(*load.database));
}

// The table alone, with a format for every label of every input (the most decoding), told of
// every channel in address mode; argument 1: checked against a database of every label.
void BM_LabelWatchTable_AllCellsChanging(benchmark::State& state) {
    const auto changes = std::make_unique<AlternatingChanges>();
    const auto formats = std::make_unique<reception::AllChannelsFormatLookup>();
    for (auto& channel : formats->channels)
        channel.slots.fill(kAltitude);
    const auto shared = std::make_unique<board::SharedState>();
    shared->SImode.fill(board::SImodeAddress);
    analysis::LabelWatchTable table;
    if (state.range(0) != 0)
        table.setDatabase(everyLabelDatabase());
    std::int64_t tick = 0;
    for (auto _ : state) {
        table.takeTick(*shared, changes->forTick(tick), *formats, tick * kTickMs);
        ++tick;
        benchmark::DoNotOptimize(table.changedRuns().data());
    }
    state.counters["rows"] = static_cast<double>(table.size());
}

/// The monitor on the simulated board (not initialised: the ticks' changes are given) with
/// the 256 format assignments the table holds spread over the eight inputs, and the analysis
/// windows on a clock that moves one shortest period per tick.
class MonitorWithAnalysis {
public:
    MonitorWithAnalysis()
        : driver_(board::simulated::defaultSimulatorConfig(), clock_),
          windows_(std::make_unique<ui::MonitorWindows>(driver_, prompts_)) {
        formats::DecimalFormatTable& table = main().formatTable();
        table = {};
        table.slots[table.formatCount++] = kAltitude;
        formats::AssignmentTable& assignments = main().assignmentTable();
        assignments = {};
        for (int slot = 0; slot < 256; ++slot)
            assignments.slots[assignments.assignmentCount++] = formats_testing::makeAssignment(
                static_cast<std::uint8_t>(slot), static_cast<std::uint8_t>(slot % 8 + 1), "ALT");
        main().resize(1280, 800);
        main().show();
        analysis_ =
            std::make_unique<ui::AnalysisWindows>(main(), prompts_, [this] { return nowMs_; });
    }
    ~MonitorWithAnalysis() { analysis_.reset(); }

    ui::TMainFrm& main() { return windows_->mainForm(); }
    ui::AnalysisWindows& analysis() { return *analysis_; }
    /// The changes of the next tick, the clock moved on to it.
    const reception::ChangedCells& nextTick() {
        nowMs_ += kTickMs;
        return changes_->forTick(nowMs_ / kTickMs);
    }

private:
    board::ManualSimClock clock_;
    board::simulated::SimulatedDriver driver_;
    testing_support::ScriptedPrompts prompts_;
    std::unique_ptr<ui::MonitorWindows> windows_;
    std::unique_ptr<ui::AnalysisWindows> analysis_;
    const std::unique_ptr<AlternatingChanges> changes_ = std::make_unique<AlternatingChanges>();
    std::int64_t nowMs_ = 0;
};

/// The watch opened at its own size (1080x480, 20 rows showing) and shown a few ticks, so
/// that every label has its row and the first paintings are behind.
ui::TFrmLabelWatch& openWatchWithAllRows(MonitorWithAnalysis& monitor) {
    ui::TFrmLabelWatch& watch = monitor.analysis().labelWatch();
    monitor.analysis().mmLabelWatchExecute();
    const board::SharedState& shared = monitor.main().state();
    for (int warmUp = 0; warmUp < 4; ++warmUp)
        watch.afterTickReads(shared, monitor.nextTick());
    QApplication::processEvents();
    return watch;
}

// The open watch told of a tick. Argument paint 0: the observer call alone (model signals,
// proxy, view bookkeeping); 1: and the event loop painting what it made dirty; 2: as 1, sorted
// by the count of changes, which every tick moves. Argument database 1: every label checked
// against a database that defines it, every input in address mode.
void BM_LabelWatchWindow_AllCellsChanging(benchmark::State& state) {
    MonitorWithAnalysis monitor;
    monitor.main().state().SImode.fill(board::SImodeAddress);
    if (state.range(1) != 0)
        monitor.main().analysisMenu().labelDatabaseCommand().use(everyLabelDatabase(),
                                                                 QStringLiteral("every.csv"));
    ui::TFrmLabelWatch& watch = openWatchWithAllRows(monitor);
    if (state.range(0) == 2)
        watch.WatchGrid->sortByColumn(ui::LabelWatchModel::Changes, Qt::DescendingOrder);
    QApplication::processEvents();
    const board::SharedState& shared = monitor.main().state();
    for (auto _ : state) {
        watch.afterTickReads(shared, monitor.nextTick());
        if (state.range(0) != 0)
            QApplication::processEvents();
    }
    state.counters["rows"] = watch.WatchGrid->model()->rowCount();
}

// The open watch painted by the event loop and the recording of every changed cell, each
// label decoded through a format, told of the same tick.
void BM_RecordingAndWatch_AllCellsChanging(benchmark::State& state) {
    MonitorWithAnalysis monitor;
    ui::TFrmLabelWatch& watch = openWatchWithAllRows(monitor);
    const auto formats = std::make_unique<reception::AllChannelsFormatLookup>();
    for (auto& channel : formats->channels)
        channel.slots.fill(kAltitude);
    benchmark_support::RotatingRecording recording(state, *formats,
                                                   "zelva-watch-recording-benchmark.csv");
    const board::SharedState& shared = monitor.main().state();
    for (auto _ : state) {
        const reception::ChangedCells& changes = monitor.nextTick();
        recording.afterTickReads(shared, changes);
        watch.afterTickReads(shared, changes);
        QApplication::processEvents();
    }
}

// A chart of one label with a full minute of values at the shortest period (600 steps),
// told of a tick and repainted.
void BM_ParameterChart_FullMinute(benchmark::State& state) {
    MonitorWithAnalysis monitor;
    ui::TFrmParameterChart& chart = monitor.analysis().openChart({0, 0});
    const board::SharedState& shared = monitor.main().state();
    for (int tick = 0; tick < 700; ++tick)
        chart.afterTickReads(shared, monitor.nextTick());
    QApplication::processEvents();
    for (auto _ : state) {
        chart.afterTickReads(shared, monitor.nextTick());
        chart.repaint();
    }
    state.counters["points"] = static_cast<double>(chart.series().size());
}

// Reading a database of 5,000 rows from its text, lookup table included.
void BM_LabelDatabase_Load5000Rows(benchmark::State& state) {
    const std::string text = databaseText(5000);
    for (auto _ : state) {
        labels::LabelDatabaseLoad load = labels::parseLabelDatabase(text);
        benchmark::DoNotOptimize(load.database->rows().data());
    }
}

BENCHMARK(BM_LabelWatchTable_AllCellsChanging)
    ->ArgName("database")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LabelWatchWindow_AllCellsChanging)
    ->ArgNames({"paint", "database"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LabelDatabase_Load5000Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordingAndWatch_AllCellsChanging)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParameterChart_FullMinute)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[]) { return benchmark_support::runWindowsBenchmarks(argc, argv); }
