// Long run of the refresh logic: Timer1's ticks as the main window runs them, against the
// simulated board on a manual clock, so a million ticks of 100 ms take minutes, not days.
// All eight inputs receive (1..4 hear outputs 1..4, 5..8 the built-in stream; odd inputs in
// address mode, even ones in file mode) and all eight outputs transmit cyclically. Each tick
// the visible rows of the input grid are decoded as the view would, and the bit editor
// changes one word of the current output array, so the looped-back words keep changing.
// Every thousand ticks the user moves to the next input and output tab.
//
// Resident memory (VmRSS) is reported at the start, at every tenth of the run and at the end,
// with the ticks per second; a growth of more than kAllowedGrowthKb from the first tenth to
// the end fails the run (exit status 1), and so does an input that received nothing.
// With --record the changed words of every tick are recorded into FILE as the "Анализ"
// menu's recording does, so the file grows while the process must not; a failed write fails
// the run.
//
// Besides, every run keeps the label watch on all eight inputs against the example label
// database, records every changed word into a recording split by size (about three dozen
// files whatever the tick count), and on the second, 4-channel board sends the example
// stimulus from output 1 and replays, looped, from output 2 what input 5 received in the
// first ticks of the run. At the end every split file must parse whole (the line of column
// names, then rows of as many fields, the last line ended) and hold the rows the recorder
// wrote, none twice across a split; the stimulus and the replay must have sent words. The
// split files are deleted unless --keep is given.
//
//     soak [ticks] [--record FILE] [--keep]        (default 1000000 ticks)

#include "analysis/label_watch.h"
#include "analysis/recorder.h"
#include "analysis/recording_clock.h"
#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/simulated/setup.h"
#include "board/simulated/simulated_driver.h"
#include "labels/label_database_file.h"
#include "reception/channel_control.h"
#include "reception/format_lookup.h"
#include "reception/input_cell_text.h"
#include "reception/input_rate_text.h"
#include "reception/refresh_tick.h"
#include "replay/recorded_replay.h"
#include "tools/example_tables.h"
#include "transmission/bit_editor.h"
#include "transmission/output_array.h"
#include "transmission/output_rate_text.h"
#include "transmission/stimulus_file.h"
#include "transmission/stimulus_run.h"
#include "transmission/transmission_control.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::int64_t kTickMs = 100;
constexpr std::uint64_t kDefaultTicks = 1'000'000;
constexpr int kVisibleRows = 40; // rows of DrawGrid2 on a full-screen window
constexpr std::uint64_t kTabEvery = 1000;
constexpr long kAllowedGrowthKb = 1024;
// The address sanitizer's allocator holds freed blocks back (its quarantine, up to 256 MB) and
// keeps memory of its own: under it resident memory tells nothing of the program's, so the
// soak reports it without judging it.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kMemoryJudged = false;
#else
constexpr bool kMemoryJudged = true;
#endif
constexpr std::int64_t kNanosPerMs = 1'000'000;
// The split recording ends a file at ticks × this many bytes: a tick records about 6 kB, so
// a run of any length makes about three dozen files.
constexpr std::uint64_t kSplitBytesPerTick = 192;
constexpr std::uint64_t kReplayRecordTicks = 300; // what the replay sends, recorded first
constexpr int kStepsPerTickLimit = 100'000;       // a schedule that never moves on is a fault

/// The recording's clocks on the manual clock, so that a recording made in the run keeps the
/// times the board had, which its replay sends by.
class ManualRecordingClock final : public analysis::RecordingClock {
public:
    explicit ManualRecordingClock(const board::ManualSimClock& clock) : clock_(clock) {}

    analysis::LocalDateTime localNow() override {
        const std::int64_t ms = clock_.now() / kNanosPerMs;
        const std::int64_t seconds = ms / 1000;
        analysis::LocalDateTime time{2026, 12, 9};
        time.day += static_cast<int>(seconds / 86400); // the run lasts days, never a month
        time.hour = static_cast<int>(seconds / 3600 % 24);
        time.minute = static_cast<int>(seconds / 60 % 60);
        time.second = static_cast<int>(seconds % 60);
        time.millisecond = static_cast<int>(ms % 1000);
        return time;
    }
    std::chrono::milliseconds monotonicNow() override {
        return std::chrono::milliseconds(clock_.now() / kNanosPerMs);
    }

private:
    const board::ManualSimClock& clock_;
};

/// What one split file holds, read as a CSV parser would.
struct PartCheck {
    std::uint64_t rows = 0;
    std::uint32_t firstTick = 0; // the "№ цикла" of its first and last rows
    std::uint32_t lastTick = 0;
    std::string problem; // empty when the file is whole
};

/// Reads a recording file: the line of column names, then rows of as many fields (a quoted
/// field may hold commas), the cycle numbers never going back, and the last line ended.
PartCheck checkPart(const std::filesystem::path& path) {
    PartCheck check;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        check.problem = "cannot be read";
        return check;
    }
    std::vector<char> chunk(1 << 20);
    std::uint64_t line = 0;
    std::size_t columns = 0; // of the header
    std::size_t field = 0;
    std::uint32_t tick = 0;
    bool quoted = false;
    char last = '\n';
    const auto endLine = [&]() {
        ++line;
        if (line == 1) {
            columns = field + 1;
        } else if (field + 1 != columns) {
            check.problem = "line " + std::to_string(line) + " has " + std::to_string(field + 1) +
                            " fields, not " + std::to_string(columns);
        } else {
            if (check.rows == 0)
                check.firstTick = tick;
            else if (tick < check.lastTick)
                check.problem = "line " + std::to_string(line) + " goes back in cycles";
            check.lastTick = tick;
            ++check.rows;
        }
        field = 0;
        tick = 0;
    };
    while (check.problem.empty() && file) {
        file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(file.gcount());
        for (std::size_t i = 0; i < got && check.problem.empty(); ++i) {
            const char c = chunk[i];
            last = c;
            if (c == '"')
                quoted = !quoted;
            else if (quoted)
                continue;
            else if (c == ',')
                ++field;
            else if (c == '\n')
                endLine();
            else if (field == 2 && line > 0 && c >= '0' && c <= '9')
                tick = tick * 10 + static_cast<std::uint32_t>(c - '0');
        }
    }
    if (check.problem.empty() && (last != '\n' || quoted))
        check.problem = "its last line is cut short";
    if (check.problem.empty() && line == 0)
        check.problem = "it is empty";
    return check;
}

/// Resident set size of this process in kB, from /proc/self/status; -1 when unreadable.
long residentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kb = std::strtol(line + 6, nullptr, 10);
            break;
        }
    std::fclose(status);
    return kb;
}

struct Arguments {
    std::uint64_t ticks = kDefaultTicks;
    const char* recordFile = nullptr;
    bool keep = false; // the split files
};

bool parseArguments(int argc, char** argv, Arguments& arguments) {
    std::uint64_t& ticks = arguments.ticks;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--record" && i + 1 < argc) {
            arguments.recordFile = argv[++i];
            continue;
        }
        if (std::string_view(argv[i]) == "--keep") {
            arguments.keep = true;
            continue;
        }
        char* end = nullptr;
        ticks = std::strtoull(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || ticks == 0)
            return false;
    }
    return true;
}

/// The monitor's logic state on the built-in 8-channel board (serial 1021).
struct SoakRun {
    board::ManualSimClock clock;
    board::simulated::SimulatedDriver driver{board::simulated::defaultSimulatorConfig(), clock};
    board::SharedState state{};
    formats::DecimalFormatTable formatTable = tools::buildExampleFormatTable();
    formats::AssignmentTable assignmentTable = tools::buildExampleAssignmentTable(formatTable);
    reception::ChannelFormatLookup lookup{};
    std::array<board::InputBuffer, board::kMaxChannels> previous{};
    std::array<std::uint64_t, board::kMaxChannels> wordsChanged{};
    std::uint64_t textBytes = 0;       // what the view would have drawn
    std::uint64_t ticksNotRunning = 0; // ticks whose state queries said stopped
    std::unique_ptr<reception::ChangedCells> changes = std::make_unique<reception::ChangedCells>();
    std::unique_ptr<reception::AllChannelsFormatLookup> allLookup =
        std::make_unique<reception::AllChannelsFormatLookup>();
    std::optional<analysis::Recorder> recorder; // with --record

    analysis::LabelWatchTable watch;
    std::filesystem::path folder; // of the split recording and the replay's recording
    std::optional<analysis::Recorder> splitRecorder;
    std::uint64_t splitBytes = 0; // where a split file ends
    ManualRecordingClock recordingClock{clock};
    std::optional<analysis::Recorder> replayRecorder;
    std::uint64_t replayStartTick = 0;
    // The 4-channel board: the stimulus on output 1, the replay on output 2.
    std::unique_ptr<board::SharedState> second = std::make_unique<board::SharedState>();
    std::unique_ptr<transmission::StimulusRun> stimulus;
    std::unique_ptr<replay::RecordedReplay> replayRun;
    std::string fault; // the first thing that went wrong, for the end of the run

    bool startRecording(const std::filesystem::path& file) {
        recorder.emplace(*allLookup);
        analysis::CreatedRecordingFile created = analysis::createRecordingFile(file);
        return created.file && !recorder->start(std::move(created.file));
    }

    [[nodiscard]] std::filesystem::path splitPath() const { return folder / "split.csv"; }
    [[nodiscard]] std::filesystem::path replayPath() const { return folder / "replay.csv"; }

    /// The label watch, the split recording, the recording the replay will send, and the
    /// stimulus; an empty text when all started, else why not.
    std::string startNewWork(std::uint64_t ticks) {
        reception::rebuildAllChannelsFormatLookup(*allLookup, formatTable, assignmentTable);
        labels::LabelDatabaseLoad load =
            labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
        if (!load.ok())
            return "the example label database does not load";
        auto database = std::make_shared<const labels::LabelDatabase>(std::move(*load.database));
        watch.setDatabase(database);

        folder = std::filesystem::temp_directory_path() /
                 ("zelva1-soak-" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(folder);
        splitRecorder.emplace(*allLookup);
        splitRecorder->setDatabase(database);
        analysis::RecordingLimits limits;
        splitBytes = ticks * kSplitBytesPerTick;
        limits.splitBytes = splitBytes;
        if (const std::error_code error = splitRecorder->start(splitPath(), limits))
            return "cannot record into " + splitPath().string() + ": " + error.message();
        replayRecorder.emplace(*allLookup, recordingClock);
        analysis::CreatedRecordingFile created = analysis::createRecordingFile(replayPath());
        if (!created.file || replayRecorder->start(std::move(created.file)))
            return "cannot record into " + replayPath().string();
        replayStartTick = std::max<std::uint64_t>(1, std::min(kReplayRecordTicks, ticks / 10));

        board::buildBoardList(driver, *second);
        if (second->BoardCount < 2)
            return "the simulated 4-channel board is not there";
        board::applyBoard(driver, *second, 1);
        if (second->SOcount != 4)
            return "the simulated 4-channel board could not be set up";
        board::initializeBoard(driver, *second);
        transmission::StimulusLoad stimulusLoad =
            transmission::loadStimulusFile(ZELVA_EXAMPLES_DIR "/stimulus.csv", *database);
        if (!stimulusLoad.ok())
            return "the example stimulus does not load";
        const transmission::ScheduleCheck check = transmission::StimulusRun::check(
            stimulusLoad.parameters, 0, transmission::ScheduleMode::Strict);
        if (!check.ok)
            return "the example stimulus cannot be sent: " + check.why;
        stimulus = std::make_unique<transmission::StimulusRun>(
            driver, second->DeviceHandle, 1, 0, std::move(stimulusLoad.parameters), clock.now());
        return {};
    }

    /// Input 5's words of the first ticks, looped on output 2 of the second board.
    void startReplay() {
        replayRecorder->stop();
        if (replayRecorder->rowsKept() == 0) {
            fault = "the recording for the replay holds no row";
            return;
        }
        replay::ReplayOptions options;
        options.routes = {{5, 2, 0}};
        options.loop = true;
        replayRun = std::make_unique<replay::RecordedReplay>(driver, second->DeviceHandle,
                                                             replayPath(), options, clock.now());
    }

    /// Steps the stimulus and the replay at each time they look, up to `end`.
    void stepSchedules(transmission::ScheduleTime end) {
        for (int steps = 0;; ++steps) {
            const transmission::ScheduleTime next =
                std::min(stimulus ? stimulus->nextLook() : end + 1,
                         replayRun ? replayRun->nextLook() : end + 1);
            if (next > end)
                return;
            if (steps == kStepsPerTickLimit) {
                fault = "a schedule looks again and again at the same time";
                stimulus.reset();
                replayRun.reset();
                return;
            }
            clock.set(std::max(clock.now(), next));
            if (stimulus && !stimulus->step(clock.now())) {
                fault = "the stimulus stopped: " + stimulus->failure();
                stimulus.reset();
            }
            if (replayRun && !replayRun->step(clock.now())) {
                fault = "the replay stopped: " + replayRun->failure();
                replayRun.reset();
            }
        }
    }

    /// Device choice, initialisation, then every output cyclic and every input receiving.
    bool start() {
        board::buildBoardList(driver, state);
        if (state.BoardCount == 0)
            return false;
        board::applyBoard(driver, state, 0);
        if (state.SIcount != board::kMaxChannels || state.SOcount != board::kMaxChannels)
            return false;
        board::initializeBoard(driver, state);
        reception::updateInputRateText(state);
        transmission::updateOutputRateText(state);
        for (int channel = board::kMaxChannels - 1; channel >= 0; --channel) {
            selectTabs(channel);
            transmission::fillTestPattern(state);
            (void)transmission::startCyclicTransmission(driver, state);
            reception::startReception(driver, state,
                                      channel % 2 == 0 ? reception::ReceptionMode::Address
                                                       : reception::ReceptionMode::File);
        }
        return true;
    }

    void selectTabs(int channel) {
        (void)reception::selectInputChannel(state, static_cast<std::uint16_t>(channel), lookup,
                                            formatTable, assignmentTable);
        (void)transmission::selectOutputChannel(state, channel);
    }

    /// One Timer1 tick, then what the user does between ticks.
    void tick(std::uint64_t n) {
        const transmission::ScheduleTime end = clock.now() + kTickMs * kNanosPerMs;
        stepSchedules(end);
        clock.set(end);
        previous = state.SIbuffer;
        const std::string refreshText =
            reception::beginRefreshTick(state, static_cast<int>(kTickMs));
        const transmission::OutputChannelState output =
            transmission::queryOutputChannelState(driver, state);
        const reception::InputChannelState input = reception::queryInputChannelState(driver, state);
        const reception::ChannelReadResult read =
            reception::readRunningChannels(driver, state, changes.get());
        if (recorder)
            recorder->afterTickReads(state, *changes);
        splitRecorder->afterTickReads(state, *changes);
        if (replayRecorder->running())
            replayRecorder->afterTickReads(state, *changes);
        watch.takeTick(state, *changes, *allLookup, clock.now() / kNanosPerMs);
        if (n == replayStartTick)
            startReplay();
        textBytes += refreshText.size() + output.statusText.size() +
                     (input.statusText ? input.statusText->size() : 0);
        if (!output.transmitting || !input.active || read.channelsRead != board::kMaxChannels)
            ++ticksNotRunning;
        if (read.currentChannelRead)
            drawVisibleRows(n);
        countChangedWords();

        editOneWord(n);
        if (n % kTabEvery == 0)
            selectTabs(static_cast<int>(n / kTabEvery % board::kMaxChannels));
    }

    void drawVisibleRows(std::uint64_t n) {
        const int top =
            static_cast<int>(n / kTabEvery * 37 % (board::kInputBufferCells - kVisibleRows + 1));
        const board::InputBuffer& cells = state.SIbuffer[state.CurSI];
        for (int row = top; row < top + kVisibleRows; ++row)
            for (int column = 0; column < reception::kInputColumnCount; ++column)
                textBytes += reception::inputCellText(column, row, cells[row], lookup).size();
    }

    void countChangedWords() {
        for (int channel = 0; channel < board::kMaxChannels; ++channel)
            for (int cell = 0; cell < board::kInputBufferCells; ++cell)
                if (state.SIbuffer[channel][cell].word != previous[channel][cell].word)
                    ++wordsChanged[channel];
    }

    /// The bit editor on word n mod 256 of the current output: one data bit flipped and
    /// applied; the cyclic transmission gets the word when the editor closes.
    void editOneWord(std::uint64_t n) {
        if (!transmission::selectWordForBitEditor(state, static_cast<int>(n % 256) + 1))
            return;
        transmission::OutputWordBitEditor editor;
        editor.show(state);
        const int checkBox = 1 + static_cast<int>(n / 256 % 24); // bits 32..9: data only
        editor.setChecked(checkBox, !editor.isChecked(checkBox));
        editor.apply(state);
        transmission::sendWordAfterBitEditor(driver, state);
    }
};

void report(const char* when, std::uint64_t tick, long rssKb, double ticksPerSecond) {
    if (ticksPerSecond > 0)
        std::printf("%-6s %10llu %10ld %10.0f\n", when, static_cast<unsigned long long>(tick),
                    rssKb, ticksPerSecond);
    else
        std::printf("%-6s %10llu %10ld %10s\n", when, static_cast<unsigned long long>(tick), rssKb,
                    "-");
    std::fflush(stdout);
}

/// Every split file whole and, together, holding each row the recorder wrote once: a tick's
/// rows all go into one file, so a file's first cycle comes after the one before's last.
/// Prints what it found; false on a fault.
bool checkSplitFiles(const SoakRun& run) {
    std::uint64_t rows = 0;
    unsigned parts = 0;
    std::uint64_t bytes = 0;
    std::string problem;
    std::uint32_t lastTick = 0;
    for (;; ++parts) {
        const std::filesystem::path path = analysis::recordingPartPath(run.splitPath(), parts);
        std::error_code missing;
        const std::uintmax_t size = std::filesystem::file_size(path, missing);
        if (missing)
            break;
        bytes += size;
        const PartCheck check = checkPart(path);
        if (!check.problem.empty())
            problem = path.filename().string() + ": " + check.problem;
        else if (parts > 0 && check.rows > 0 && check.firstTick <= lastTick)
            problem = path.filename().string() + " begins with a cycle of the file before";
        if (!problem.empty())
            break;
        rows += check.rows;
        if (check.rows > 0)
            lastTick = check.lastTick;
    }
    const analysis::Recorder& recorder = *run.splitRecorder;
    if (problem.empty() && recorder.failure())
        problem = "a write failed in part " + std::to_string(recorder.failure()->part) + ": " +
                  recorder.failure()->error.message();
    if (problem.empty() && rows != recorder.rowsKept())
        problem = std::to_string(rows) + " rows read, " + std::to_string(recorder.rowsKept()) +
                  " written";
    if (problem.empty() && parts < 2)
        problem = "the recording was never split";
    std::printf("split recording: %u files, %llu bytes, %llu rows read of %llu written: %s\n",
                parts, static_cast<unsigned long long>(bytes),
                static_cast<unsigned long long>(rows),
                static_cast<unsigned long long>(recorder.rowsKept()),
                problem.empty() ? "every file whole, no row lost or doubled" : problem.c_str());
    return problem.empty();
}

/// The watch's rows, and the words the stimulus and the replay sent; false when either sent
/// none.
bool reportNewWork(const SoakRun& run) {
    std::size_t flagged = 0;
    for (std::size_t index = 0; index < run.watch.size(); ++index)
        flagged += run.watch.row(index).flags != 0 ? 1 : 0;
    std::printf("label watch: %zu rows, %zu flagged\n", run.watch.size(), flagged);
    std::uint64_t stimulusWords = 0;
    std::uint64_t outsideWindow = 0;
    if (run.stimulus) {
        const transmission::BurstSchedule& schedule = run.stimulus->sender().schedule();
        for (std::size_t index = 0; index < schedule.size(); ++index) {
            stimulusWords += schedule.timing(index).sent;
            outsideWindow += schedule.timing(index).outsideWindow ? 1 : 0;
        }
        std::printf("stimulus, board 2 output 1: %zu parameters, %llu words sent, %llu outside "
                    "their window\n",
                    schedule.size(), static_cast<unsigned long long>(stimulusWords),
                    static_cast<unsigned long long>(outsideWindow));
    }
    std::uint64_t replayWords = 0;
    if (run.replayRun) {
        const replay::ReplayProgress& progress = run.replayRun->progress();
        for (const std::uint64_t sent : progress.sent)
            replayWords += sent;
        std::printf("replay of input 5's first %llu ticks (%llu rows), board 2 output 2: %u "
                    "passes, %llu words sent\n",
                    static_cast<unsigned long long>(run.replayStartTick),
                    static_cast<unsigned long long>(run.replayRecorder->rowsKept()),
                    progress.passes, static_cast<unsigned long long>(replayWords));
    }
    if (!run.fault.empty())
        std::printf("%s\n", run.fault.c_str());
    if (stimulusWords == 0)
        std::printf("the stimulus sent nothing\n");
    if (replayWords == 0)
        std::printf("the replay sent nothing\n");
    return run.fault.empty() && stimulusWords > 0 && replayWords > 0;
}

/// Closes the run's files and deletes them, or says where they are kept.
void removeFiles(SoakRun& run, bool keep) {
    if (run.folder.empty())
        return;
    run.replayRun.reset();
    if (run.splitRecorder)
        run.splitRecorder->stop();
    if (run.replayRecorder)
        run.replayRecorder->stop();
    if (keep) {
        std::printf("split files kept in %s\n", run.folder.string().c_str());
    } else {
        std::error_code ignored;
        std::filesystem::remove_all(run.folder, ignored);
    }
}

int soak(const Arguments& arguments) {
    const std::uint64_t ticks = arguments.ticks;
    const char* recordFile = arguments.recordFile;
    const auto owned = std::make_unique<SoakRun>();
    SoakRun& run = *owned;
    if (!run.start()) {
        std::fprintf(stderr, "soak: the simulated 8-channel board could not be set up\n");
        return 1;
    }
    if (recordFile != nullptr && !run.startRecording(recordFile)) {
        std::fprintf(stderr, "soak: cannot record into %s\n", recordFile);
        return 1;
    }
    if (const std::string why = run.startNewWork(ticks); !why.empty()) {
        std::fprintf(stderr, "soak: %s\n", why.c_str());
        removeFiles(run, false);
        return 1;
    }
    std::printf("soak: %llu ticks of %lld ms, inputs 1..8 receiving, outputs 1..8 cyclic\n",
                static_cast<unsigned long long>(ticks), static_cast<long long>(kTickMs));
    std::printf("      label watch with the example database; recording split every %llu "
                "bytes into %s\n",
                static_cast<unsigned long long>(run.splitBytes), run.folder.string().c_str());
    std::printf("      board 2: the example stimulus on output 1, input 5's first %llu ticks "
                "replayed looped on output 2\n",
                static_cast<unsigned long long>(run.replayStartTick));
    std::printf("%-6s %10s %10s %10s\n", "when", "tick", "VmRSS kB", "ticks/s");
    const long startKb = residentKb();
    report("start", 0, startKb, 0);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point began = Clock::now();
    Clock::time_point segmentBegan = began;
    std::uint64_t segmentStart = 0;
    long firstTenthKb = -1;
    long endKb = startKb;
    for (int tenth = 1; tenth <= 10; ++tenth) {
        const std::uint64_t segmentEnd = ticks * static_cast<std::uint64_t>(tenth) / 10;
        for (std::uint64_t n = segmentStart + 1; n <= segmentEnd; ++n)
            run.tick(n);
        const Clock::time_point now = Clock::now();
        const double seconds = std::chrono::duration<double>(now - segmentBegan).count();
        endKb = residentKb();
        if (tenth == 1)
            firstTenthKb = endKb;
        char label[8];
        std::snprintf(label, sizeof label, "%d%%", tenth * 10);
        report(label, segmentEnd, endKb,
               seconds > 0 ? static_cast<double>(segmentEnd - segmentStart) / seconds : 0);
        segmentStart = segmentEnd;
        segmentBegan = now;
    }
    const double total = std::chrono::duration<double>(Clock::now() - began).count();
    report("end", ticks, endKb, total > 0 ? static_cast<double>(ticks) / total : 0);

    std::printf("run time %.1f s; decoded text %llu bytes; ticks not all running %llu\n", total,
                static_cast<unsigned long long>(run.textBytes),
                static_cast<unsigned long long>(run.ticksNotRunning));
    std::printf("cell words changed per input:");
    bool allReceived = true;
    for (int channel = 0; channel < board::kMaxChannels; ++channel) {
        std::printf(" %d:%llu", channel + 1,
                    static_cast<unsigned long long>(run.wordsChanged[channel]));
        allReceived = allReceived && run.wordsChanged[channel] > 0;
    }
    std::printf("\n");
    const long growthKb = endKb - firstTenthKb;
    const bool memoryFlat = !kMemoryJudged || growthKb <= kAllowedGrowthKb;
    std::printf("VmRSS from start %+ld kB, from the first tenth %+ld kB: %s\n", endKb - startKb,
                growthKb,
                !kMemoryJudged ? "not judged under the address sanitizer"
                : memoryFlat   ? "flat"
                               : "GROWING");
    if (!allReceived)
        std::printf("an input received nothing\n");
    bool recorded = true;
    if (run.recorder) {
        recorded = run.recorder->running();
        std::error_code ignored;
        std::printf(
            "recorded %llu rows, %llu bytes in %s%s\n",
            static_cast<unsigned long long>(run.recorder->rowsKept()),
            static_cast<unsigned long long>(std::filesystem::file_size(recordFile, ignored)),
            recordFile, recorded ? "" : "; a write FAILED");
    }
    run.splitRecorder->stop();
    const bool splitWhole = checkSplitFiles(run);
    const bool newWorkRan = reportNewWork(run);
    removeFiles(run, arguments.keep);
    return memoryFlat && allReceived && run.ticksNotRunning == 0 && recorded && splitWhole &&
                   newWorkRan
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    if (!parseArguments(argc, argv, arguments)) {
        std::fprintf(stderr,
                     "usage: soak [ticks] [--record FILE] [--keep]   (a positive count, default "
                     "%llu)\n",
                     static_cast<unsigned long long>(kDefaultTicks));
        return 2;
    }
    try {
        return soak(arguments);
    } catch (const std::exception& problem) {
        std::fprintf(stderr, "soak: %s\n", problem.what());
        return 1;
    }
}
