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
//     soak [ticks] [--record FILE]        (default 1000000 ticks)

#include "analysis/recorder.h"
#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/simulated/setup.h"
#include "board/simulated/simulated_driver.h"
#include "reception/channel_control.h"
#include "reception/format_lookup.h"
#include "reception/input_cell_text.h"
#include "reception/input_rate_text.h"
#include "reception/refresh_tick.h"
#include "tools/example_tables.h"
#include "transmission/bit_editor.h"
#include "transmission/output_array.h"
#include "transmission/output_rate_text.h"
#include "transmission/transmission_control.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

namespace {

constexpr std::int64_t kTickMs = 100;
constexpr std::uint64_t kDefaultTicks = 1'000'000;
constexpr int kVisibleRows = 40; // rows of DrawGrid2 on a full-screen window
constexpr std::uint64_t kTabEvery = 1000;
constexpr long kAllowedGrowthKb = 1024;

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

bool parseArguments(int argc, char** argv, std::uint64_t& ticks, const char*& recordFile) {
    ticks = kDefaultTicks;
    recordFile = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--record" && i + 1 < argc) {
            recordFile = argv[++i];
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
    // Made only for a run with --record.
    std::unique_ptr<reception::ChangedCells> changes;
    std::unique_ptr<reception::AllChannelsFormatLookup> allLookup;
    std::optional<analysis::Recorder> recorder;

    bool startRecording(const std::filesystem::path& file) {
        changes = std::make_unique<reception::ChangedCells>();
        allLookup = std::make_unique<reception::AllChannelsFormatLookup>();
        reception::rebuildAllChannelsFormatLookup(*allLookup, formatTable, assignmentTable);
        recorder.emplace(*allLookup);
        analysis::CreatedRecordingFile created = analysis::createRecordingFile(file);
        return created.file && !recorder->start(std::move(created.file));
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
        clock.advanceMs(kTickMs);
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

int soak(std::uint64_t ticks, const char* recordFile) {
    SoakRun run;
    if (!run.start()) {
        std::fprintf(stderr, "soak: the simulated 8-channel board could not be set up\n");
        return 1;
    }
    if (recordFile != nullptr && !run.startRecording(recordFile)) {
        std::fprintf(stderr, "soak: cannot record into %s\n", recordFile);
        return 1;
    }
    std::printf("soak: %llu ticks of %lld ms, inputs 1..8 receiving, outputs 1..8 cyclic\n",
                static_cast<unsigned long long>(ticks), static_cast<long long>(kTickMs));
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
    std::printf("VmRSS from start %+ld kB, from the first tenth %+ld kB: %s\n", endKb - startKb,
                growthKb, growthKb <= kAllowedGrowthKb ? "flat" : "GROWING");
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
    return growthKb <= kAllowedGrowthKb && allReceived && run.ticksNotRunning == 0 && recorded ? 0
                                                                                               : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::uint64_t ticks = 0;
    const char* recordFile = nullptr;
    if (!parseArguments(argc, argv, ticks, recordFile)) {
        std::fprintf(stderr,
                     "usage: soak [ticks] [--record FILE]   (a positive count, default %llu)\n",
                     static_cast<unsigned long long>(kDefaultTicks));
        return 2;
    }
    try {
        return soak(ticks, recordFile);
    } catch (const std::exception& problem) {
        std::fprintf(stderr, "soak: %s\n", problem.what());
        return 1;
    }
}
