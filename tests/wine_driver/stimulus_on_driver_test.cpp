// The example stimulus through the system's real device path under Wine: output 1 of board
// 1021 of the Wine test driver (looped back into input 1) sends it for a few seconds of wall
// time on the stimulus thread, every single transmission traced on its way to the driver.
// Counts are judged with room for a loaded machine: how well the timing holds is measured by
// benchmarks/schedule_timing_benchmark, not here.

#include "board/board_session.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "labels/label_database_file.h"
#include "labels/standard_decoding.h"
#include "tests/wine_driver/traced_driver_board.h"
#include "transmission/stimulus_thread.h"
#include "wine_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace board;
using transmission::ScheduleTime;

constexpr auto kRunLength = std::chrono::milliseconds(2500);
// How long before its request a word's value may have been taken: the look that made it,
// then the wait for the driver, on a machine that may be busy.
constexpr double kValueAgeSeconds = 0.25;

using wine_driver::BurstTrace;

/// The least and greatest value a law takes in [from, to] seconds, sampled every millisecond.
std::pair<double, double> lawSpan(const transmission::Law& law, double from, double to) {
    double least = transmission::valueAt(law, to);
    double greatest = least;
    for (double t = std::max(0.0, from); t < to; t += 0.001) {
        least = std::min(least, transmission::valueAt(law, t));
        greatest = std::max(greatest, transmission::valueAt(law, t));
    }
    return {least, greatest};
}

TEST(StimulusOnDriver, EveryLabelAtItsIntervalWithItsLawsValuesAndLoopedBack) {
    labels::LabelDatabaseLoad database = labels::loadLabelDatabaseFile(
        wine_driver::windowsPath(ZELVA_EXAMPLES_DIR "/label-database.csv"));
    ASSERT_TRUE(database.ok());
    const transmission::StimulusLoad stimulus = transmission::loadStimulusFile(
        wine_driver::windowsPath(ZELVA_EXAMPLES_DIR "/stimulus.csv"), *database.database);
    ASSERT_TRUE(stimulus.ok());
    const std::vector<transmission::StimulusParameter>& parameters = stimulus.parameters;
    const transmission::ScheduleCheck check =
        transmission::StimulusRun::check(parameters, 0, transmission::ScheduleMode::Strict);
    ASSERT_TRUE(check.ok) << check.why;
    // A word's parameter by its low byte, where its label sits.
    std::map<std::uint32_t, std::size_t> parameterOf;
    for (std::size_t index = 0; index < parameters.size(); ++index) {
        const labels::Encoded word =
            labels::encodeWord(*parameters[index].definition, parameters[index].requestAt(0.0));
        ASSERT_TRUE(word.ok()) << word.why;
        parameterOf[*word.word & 0xFFu] = index;
    }

    wine_driver::TracedDriverBoard board;
    ASSERT_TRUE(board.open());
    BurstTrace& trace = board.trace;
    Driver& driver = board.driver;
    SharedState* const state = board.state.get();
    const DeviceHandle handle = state->DeviceHandle;
    sendCommand(driver, handle, IOCTL_SI_START_ADDRESS, SIStartRecord{1, 1, 0xFFFF, 0xFFFF});

    const ScheduleTime start = transmission::ScheduleThread::now();
    {
        transmission::StimulusThread thread(
            std::make_unique<transmission::StimulusRun>(driver, handle, 1, 0, parameters, start));
        std::this_thread::sleep_for(kRunLength);
        EXPECT_TRUE(thread.running()) << thread.failure();
        thread.stop();
    }
    const double runMs = static_cast<double>(transmission::ScheduleThread::now() - start) /
                         transmission::kNanosPerMs;
    // The last burst leaves the bus: nine words at 12.5 kbit/s take 26 ms.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    EXPECT_EQ(trace.failed, 0);
    EXPECT_EQ(trace.loads, trace.starts);
    std::vector<int> counts(parameters.size());
    std::vector<std::uint32_t> lastWords(parameters.size());
    for (const BurstTrace::Burst& burst : trace.bursts) {
        const double seconds = static_cast<double>(burst.at - start) / 1e9;
        for (const std::uint32_t word : burst.words) {
            const auto found = parameterOf.find(word & 0xFFu);
            ASSERT_NE(found, parameterOf.end()) << std::hex << word;
            const transmission::StimulusParameter& parameter = parameters[found->second];
            ++counts[found->second];
            lastWords[found->second] = word;
            const auto [least, greatest] =
                lawSpan(parameter.law, seconds - kValueAgeSeconds, seconds);
            const double value = *labels::engineeringValue(word, *parameter.definition);
            const double resolution = parameter.definition->resolution;
            EXPECT_GE(value, least - resolution)
                << std::oct << int{parameter.label} << " at " << seconds << " s";
            EXPECT_LE(value, greatest + resolution)
                << std::oct << int{parameter.label} << " at " << seconds << " s";
        }
    }
    for (std::size_t index = 0; index < parameters.size(); ++index) {
        const double expected = runMs / parameters[index].intervalMs;
        EXPECT_NEAR(counts[index], expected, 2.0 + 0.1 * expected)
            << std::oct << int{parameters[index].label} << std::dec << " in " << runMs << " ms";
        // Looped back into input 1, which files each word in the cell of its label.
        SIReadReply cell;
        sendRequest(driver, handle, IOCTL_SI_READ,
                    SIReadRequest{1, 1, static_cast<std::uint16_t>(lastWords[index] & 0xFFu)},
                    cell);
        EXPECT_EQ(cell.word, lastWords[index]) << std::oct << int{parameters[index].label};
    }
    resetBoard(driver, *state);
}

} // namespace
