#include "closing_handle.h"
#include "commands.h"
#include "timed_run.h"

#include "labels/label_database_file.h"
#include "labels/standard_encoding.h"
#include "transmission/stimulus_file.h"
#include "transmission/stimulus_run.h"
#include "util/file_error.h"

#include <array>
#include <cstdio>
#include <filesystem>

namespace cli {
namespace {

labels::LabelDatabase loadDatabase(const std::string& path) {
    labels::LabelDatabaseLoad load = labels::loadLabelDatabaseFile(std::filesystem::u8path(path));
    if (!load.ok())
        throw CommandFailure(util::fileErrorText("Файл базы меток", path, load.error, "."));
    return std::move(*load.database);
}

std::vector<transmission::StimulusParameter> loadStimulus(const std::string& path,
                                                          const labels::LabelDatabase& database) {
    transmission::StimulusLoad load =
        transmission::loadStimulusFile(std::filesystem::u8path(path), database);
    if (!load.ok())
        throw CommandFailure(transmission::stimulusErrorMessage(path, *load.error));
    if (load.parameters.empty())
        throw CommandFailure(path + ": в файле нет ни одного параметра");
    return std::move(load.parameters);
}

/// A task of the library, stopped when it goes (also when the command fails on its way).
class RunningTask {
public:
    RunningTask(zelva1_board* board, unsigned output, const std::vector<std::uint32_t>& words,
                const std::vector<double>& intervals) {
        check(zelva1_task_start(board, output, words.data(), intervals.data(), words.size(),
                                task_.out()),
              "имитация, выходной канал № " + std::to_string(output));
    }
    [[nodiscard]] zelva1_task* get() const { return task_.get(); }
    /// Throws CommandFailure naming the request that stopped the task, once one has.
    void checkRunning() const {
        int running = 1;
        std::array<char, 256> failure{};
        check(zelva1_task_state(task_.get(), &running, failure.data(), failure.size()), "имитация");
        if (running == 0)
            throw CommandFailure(std::string("имитация остановлена: ") + failure.data());
    }
    /// Stops it, saying whether a failed request had stopped it before.
    void stop() { check(zelva1_task_stop(task_.release()), "имитация"); }

private:
    Closing<zelva1_task, zelva1_task_stop> task_;
};

// What each parameter got: its label, name, interval, the words sent and the intervals they
// came at, on standard output. Every word is held first, so that the counts are the last ones.
void printSent(const std::vector<transmission::StimulusParameter>& parameters, zelva1_task* task) {
    for (std::size_t index = 0; index < parameters.size(); ++index)
        check(zelva1_task_pause(task, static_cast<unsigned>(index), 1), "имитация");
    std::printf("метка\tSDI\tпараметр\tинтервал, мс\tпередано слов\tпромежутки, мс\n");
    for (std::size_t index = 0; index < parameters.size(); ++index) {
        const transmission::StimulusParameter& parameter = parameters[index];
        zelva1_timing timing{};
        check(zelva1_task_timing(task, static_cast<unsigned>(index), &timing), "имитация");
        const std::string sdi = parameter.sdi ? std::to_string(*parameter.sdi) : "";
        std::printf("%03o\t%s\t%s\t%g\t%llu\t", parameter.label, sdi.c_str(),
                    parameter.definition->name.c_str(), parameter.intervalMs,
                    static_cast<unsigned long long>(timing.sent));
        if (timing.sent >= 2)
            std::printf("%.1f..%.1f", timing.shortest_ms, timing.longest_ms);
        std::printf("\n");
    }
}

} // namespace

void stimulate(const StimulateOptions& options) {
    const labels::LabelDatabase database = loadDatabase(options.databasePath);
    const std::vector<transmission::StimulusParameter> parameters =
        loadStimulus(options.stimulusPath, database);
    // Without an initialisation the library knows no rate and times the words at the slowest.
    const auto rateCode =
        static_cast<std::uint8_t>(options.board.initialize ? options.board.rateCode : 0);
    if (const transmission::ScheduleCheck schedule = transmission::StimulusRun::check(
            parameters, rateCode, transmission::ScheduleMode::BestEffort);
        !schedule.ok)
        throw CommandFailure(options.stimulusPath + ": " + schedule.why);

    std::vector<std::uint32_t> words;
    std::vector<double> intervals;
    for (const transmission::StimulusParameter& parameter : parameters) {
        const labels::Encoded first =
            labels::encodeWord(*parameter.definition, parameter.requestAt(0.0));
        words.push_back(first.word.value_or(0));
        intervals.push_back(parameter.intervalMs);
    }
    OpenBoard board(options.board);
    RunningTask task(board.get(), options.output, words, intervals);
    for (std::size_t index = 0; index < parameters.size(); ++index)
        if (parameters[index].paused)
            check(zelva1_task_pause(task.get(), static_cast<unsigned>(index), 1), "имитация");
    catchStopRequests();

    // The laws are followed every 10 ms: each word goes out with the value of its law at most
    // that long before. A value its word cannot carry keeps the last word and is told once.
    std::vector<std::string> problems(parameters.size());
    runTimed(
        options.seconds, std::chrono::milliseconds(10), "имитация",
        [&](double elapsed, std::string&) {
            task.checkRunning();
            for (std::size_t index = 0; index < parameters.size(); ++index) {
                const transmission::StimulusParameter& parameter = parameters[index];
                if (parameter.law.kind == transmission::LawKind::Constant)
                    continue;
                const labels::Encoded now =
                    labels::encodeWord(*parameter.definition, parameter.requestAt(elapsed));
                if (!now.ok()) {
                    if (problems[index].empty())
                        problems[index] = now.why;
                    continue;
                }
                if (*now.word == words[index])
                    continue;
                words[index] = *now.word;
                check(zelva1_task_set_word(task.get(), static_cast<unsigned>(index), words[index]),
                      "имитация");
            }
            return true;
        });
    printSent(parameters, task.get());
    task.stop();
    for (std::size_t index = 0; index < parameters.size(); ++index)
        if (!problems[index].empty())
            std::fprintf(stderr, "zelva1: метка %03o: %s; слово осталось прежним\n",
                         parameters[index].label, problems[index].c_str());
}

} // namespace cli
