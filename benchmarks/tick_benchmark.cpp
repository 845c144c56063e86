// One refresh tick of the whole monitor on the simulated board, as the user sees it:
// Timer1Timer (status text, output and input state queries, 256 reads of each of the eight
// receiving inputs, storing) and then the input grid painting its visible rows. The board
// runs on a manual clock moved by the shortest refresh period per tick, so nothing waits.

#include "scripted_prompts.h"
#include "windows_benchmark_main.h"

#include "board/clock.h"
#include "board/simulated/setup.h"
#include "board/simulated/simulated_driver.h"
#include "formats/assignment.h"
#include "formats/decimal_format.h"
#include "reception/refresh_tick.h"
#include "tests/formats/table_fixtures.h"
#include "ui/main/Mainform.h"
#include "ui/main/MonitorWindows.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>

namespace {

constexpr int kShortestPeriodMs = 100;
// A cyclic 256-word array at 12.5 kbit/s comes round in about 0.8 s: every cell is full
// after eight ticks.
constexpr int kWarmUpTicks = 20;
// The top row of the grid on the traffic input: 0310, so latitude, longitude, heading, pitch
// and roll are among the painted rows.
constexpr int kTrafficTopRow = 0310;

// A set-up that went wrong would measure something else: stop instead.
void require(bool condition, const char* what, const char* name = "") {
    if (!condition) {
        std::fprintf(stderr, "%s%s\n", what, name);
        std::abort();
    }
}

template <typename Child>
Child& named(QObject& root, const char* name) {
    auto* found = root.findChild<Child*>(QString::fromUtf8(name));
    require(found != nullptr, "no child named ", name);
    return *found;
}

/// Answers the modal dialog that the next command opens, once its event loop runs.
void onNextModal(std::function<void(QWidget&)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        QWidget* dialog = QApplication::activeModalWidget();
        require(dialog != nullptr, "no modal dialog was open");
        answer(*dialog);
    });
}

/// Counts what the ticks cost the windows: paint events of the input grid's viewport and of
/// every other widget, dataChanged signals and resets of the grid's model.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QTableView& grid) : QObject(&grid), viewport_(grid.viewport()) {
        QApplication::instance()->installEventFilter(this);
        connect(grid.model(), &QAbstractItemModel::dataChanged, this, [this] { ++dataChanged; });
        connect(grid.model(), &QAbstractItemModel::modelReset, this, [this] { ++resets; });
    }

    void clear() { gridPaints = otherPaints = dataChanged = resets = 0; }

    long gridPaints = 0;
    long otherPaints = 0;
    long dataChanged = 0;
    long resets = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++(watched == viewport_ ? gridPaints : otherPaints);
        return QObject::eventFilter(watched, event);
    }

private:
    QObject* viewport_;
};

/// The monitor at 1280x800 on board 0 of the built-in simulated boards (outputs 1..4 wired
/// to inputs 1..4, built-in traffic on inputs 5..8, all at 12.5 kbit/s): outputs 1..4 send
/// the test pattern cyclically, all eight inputs receive by address, refresh period 100 ms.
class TickedMonitor {
public:
    TickedMonitor()
        : driver_(board::simulated::defaultSimulatorConfig(), clock_),
          windows_(std::make_unique<ui::MonitorWindows>(driver_, prompts_)) {
        main().resize(1280, 800);
        main().show();
        QApplication::processEvents();

        onNextModal([](QWidget& dialog) {
            named<QComboBox>(dialog, "DeviceList").setCurrentIndex(0);
            named<QPushButton>(dialog, "Button1").click();
        });
        trigger("ActionDeviceChoice");
        grid_ = &named<QTableView>(main(), "DrawGrid2"); // made with the first board choice
        trigger("DeviceInitialization");
        // The benchmark calls the tick itself; the running timer would add ticks of its own.
        main().timer()->stop();
        onNextModal([](QWidget& dialog) {
            named<QLineEdit>(dialog, "Edit1").setText(QString::number(kShortestPeriodMs));
            named<QPushButton>(dialog, "Button1").click();
        });
        trigger("TimerPeriod");
        require(main().timer()->interval() == kShortestPeriodMs, "the refresh period was refused");

        auto& outputs = named<QTabBar>(main(), "SO");
        for (int channel = 0; channel < 4; ++channel) {
            outputs.setCurrentIndex(channel);
            trigger("SOdataTest");
            trigger("SOciclePusk");
        }
        auto& inputs = named<QTabBar>(main(), "SI");
        for (int channel = 0; channel < board::kMaxChannels; ++channel) {
            inputs.setCurrentIndex(channel);
            trigger("SIaddressPusk");
        }
        // Whatever a format state file in the working directory holds: start without formats.
        useFormats({}, {});
        showInput(0, 0);
        for (int i = 0; i < kWarmUpTicks; ++i)
            tick();
        QApplication::processEvents();
        watch_ = new PaintWatch(*grid_);
    }

    ui::TMainFrm& main() { return windows_->mainForm(); }
    PaintWatch& watch() { return *watch_; }

    void trigger(const char* action) { named<QAction>(main(), action).trigger(); }

    /// Input tab `channelIndex` (0-based) made current, which also rebuilds its format
    /// lookup, and `topRow` picked in ComboBox1.
    void showInput(int channelIndex, int topRow) {
        auto& tabs = named<QTabBar>(main(), "SI");
        if (tabs.currentIndex() == channelIndex)
            main().SIChange(channelIndex);
        else
            tabs.setCurrentIndex(channelIndex);
        named<QComboBox>(main(), "ComboBox1").setCurrentIndex(topRow);
        main().ComboBox1Change(topRow);
        grid_->viewport()->repaint();
    }

    /// Replaces both format tables; they reach the grid with the next showInput.
    void useFormats(const formats::DecimalFormatTable& table,
                    const formats::AssignmentTable& assignments) {
        main().formatTable() = table;
        main().assignmentTable() = assignments;
    }

    void timerTick() {
        clock_.advanceMs(kShortestPeriodMs);
        main().Timer1Timer();
    }
    void paintGrid() { grid_->viewport()->repaint(); }
    void tick() {
        timerTick();
        paintGrid();
    }
    void tickThroughEventLoop() {
        timerTick();
        QApplication::processEvents();
    }

    [[nodiscard]] int visibleRows() {
        const int first = grid_->rowAt(0);
        const int last = grid_->rowAt(grid_->viewport()->height() - 1);
        return last < 0 ? grid_->model()->rowCount() - first : last - first + 1;
    }
    /// Painted rows whose cell holds a received word.
    [[nodiscard]] int visibleRowsWithWords() {
        const board::SharedState& state = main().state();
        const int first = grid_->rowAt(0);
        int rows = 0;
        for (int row = first; row < first + visibleRows(); ++row)
            rows += reception::isReceivedWord(state.SIbuffer[state.CurSI][row].word) ? 1 : 0;
        return rows;
    }

private:
    board::ManualSimClock clock_;
    board::simulated::SimulatedDriver driver_;
    testing_support::ScriptedPrompts prompts_;
    std::unique_ptr<ui::MonitorWindows> windows_;
    QTableView* grid_ = nullptr;
    PaintWatch* watch_ = nullptr;
};

void reportGrid(benchmark::State& state, TickedMonitor& monitor) {
    using benchmark::Counter;
    const PaintWatch& watch = monitor.watch();
    state.counters["visible_rows"] = monitor.visibleRows();
    state.counters["rows_with_words"] = monitor.visibleRowsWithWords();
    state.counters["grid_paints/tick"] =
        Counter(static_cast<double>(watch.gridPaints), Counter::kAvgIterations);
    state.counters["other_paints/tick"] =
        Counter(static_cast<double>(watch.otherPaints), Counter::kAvgIterations);
    state.counters["dataChanged/tick"] =
        Counter(static_cast<double>(watch.dataChanged), Counter::kAvgIterations);
    state.counters["resets"] = static_cast<double>(watch.resets);
}

// Not inlined and not left by a tail call, so that a profiler can collect the timed loop
// alone (callgrind: --collect-atstart=no --toggle-collect='*timedLoop*'; its call counts
// still include the set-up).
template <typename Step>
[[gnu::noinline]] void timedLoop(benchmark::State& state, Step step) {
    for (auto _ : state)
        step();
    benchmark::ClobberMemory();
}

template <typename Step>
void runTicks(benchmark::State& state, TickedMonitor& monitor, Step step) {
    monitor.watch().clear();
    timedLoop(state, step);
    reportGrid(state, monitor);
}

/// Ticks on input 5, which hears the built-in traffic, with a step of TickedMonitor.
void trafficTicks(benchmark::State& state, void (TickedMonitor::*step)()) {
    TickedMonitor monitor;
    monitor.showInput(4, kTrafficTopRow);
    runTicks(state, monitor, [&] { (monitor.*step)(); });
}

// The whole tick.
void BM_Tick_Input5Traffic(benchmark::State& state) { trafficTicks(state, &TickedMonitor::tick); }
// Its two halves apart: the timer handler alone, the grid repaint alone.
void BM_TimerHandlerOnly(benchmark::State& state) {
    trafficTicks(state, &TickedMonitor::timerTick);
}
void BM_GridRepaintOnly(benchmark::State& state) { trafficTicks(state, &TickedMonitor::paintGrid); }
// The tick as the event loop would finish it: every widget the handler made dirty is painted
// (status lines included), not the grid alone.
void BM_Tick_EventLoopPaint(benchmark::State& state) {
    trafficTicks(state, &TickedMonitor::tickThroughEventLoop);
}

/// Four formats over the test pattern's data bits, assigned in turn to addresses 1..255 of
/// input 1, so that every painted row decodes its decimal column.
void exampleFormats(formats::DecimalFormatTable& table, formats::AssignmentTable& assignments) {
    using formats_testing::makeFormat;
    const formats::DecimalFormat kExamples[] = {
        makeFormat("ALT", 28, 12, 65536.0f, "ft"), makeFormat("HDG", 28, 18, 90.0f, "deg"),
        makeFormat("CAS", 28, 15, 512.0f, "kt"), makeFormat("VS", 29, 9, 16384.0f, "fpm", 1)};
    table = {};
    for (const formats::DecimalFormat& format : kExamples)
        table.slots[table.formatCount++] = format;
    assignments = {};
    for (int address = 1; address <= 255; ++address) {
        const auto& label = kExamples[address % std::size(kExamples)].label;
        assignments.slots[assignments.assignmentCount++] =
            formats_testing::makeAssignment(static_cast<std::uint8_t>(address), 1, label.data());
    }
}

// Input 1, every cell full of the looped-back test pattern: no format lookup (argument 0)
// against a format for every painted row (argument 1).
void BM_Tick_Input1Loopback(benchmark::State& state) {
    TickedMonitor monitor;
    if (state.range(0) != 0) {
        formats::DecimalFormatTable table;
        formats::AssignmentTable assignments;
        exampleFormats(table, assignments);
        monitor.useFormats(table, assignments);
    }
    monitor.showInput(0, 0);
    runTicks(state, monitor, [&] { monitor.tick(); });
}

BENCHMARK(BM_Tick_Input5Traffic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TimerHandlerOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridRepaintOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tick_EventLoopPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tick_Input1Loopback)
    ->ArgName("formats")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[]) { return benchmark_support::runWindowsBenchmarks(argc, argv); }
