#include "replay_task.h"

#include "board_connection.h"

#include <fstream>

namespace zelva1 {

int ReplayTask::open(const std::filesystem::path& path, std::shared_ptr<ReplayTask>& opened,
                     std::string& why) {
    std::shared_ptr<ReplayTask> task(new ReplayTask(path));
    task->summary_ = analysis::summarizeRecording(path);
    const std::string shown = path.filename().string();
    if (task->summary_.error) {
        why = analysis::recordingErrorMessage(shown, *task->summary_.error);
        // A file that is not there or cannot be read is told apart from one that reads wrong.
        const bool readable = std::filesystem::is_regular_file(path) && std::ifstream(path).good();
        return readable ? ZELVA1_ERROR_CONTENT : ZELVA1_ERROR_FILE;
    }
    if (task->summary_.words == 0) {
        why = "В записи «" + shown + "» нет ни одного слова.";
        return ZELVA1_ERROR_CONTENT;
    }
    opened = std::move(task);
    return ZELVA1_OK;
}

zelva1_recording_info ReplayTask::info() const {
    return {summary_.words, summary_.firstMs, summary_.lastMs, summary_.channels,
            summary_.tornLine};
}

int ReplayTask::check(const BoardConnection& board, const zelva1_replay_options& options,
                      replay::ReplayOptions& chosen, std::string& why) const {
    if (options.size != sizeof(zelva1_replay_options) ||
        (options.mode != ZELVA1_AS_RECORDED && options.mode != ZELVA1_BY_LABEL))
        return ZELVA1_ERROR_ARGUMENT;
    chosen = {};
    chosen.mode = options.mode == ZELVA1_BY_LABEL ? replay::ReplayMode::ByLabel
                                                  : replay::ReplayMode::AsRecorded;
    for (unsigned input = 1; input <= ZELVA1_MAX_CHANNELS; ++input) {
        const unsigned output = options.outputs[input - 1];
        if (output == 0)
            continue;
        if (const int status = board.checkOutput(output); status != ZELVA1_OK)
            return status;
        chosen.routes.push_back({static_cast<std::uint8_t>(input),
                                 static_cast<std::uint16_t>(output), board.outputRate(output)});
    }
    for (std::size_t label = 0; label < chosen.labels.size(); ++label)
        chosen.labels[label] = (options.labels[label / 8] >> (label % 8) & 1U) != 0;
    chosen.speed = options.speed;
    chosen.loop = options.loop != 0;
    chosen.startMs = summary_.firstMs + options.start_ms;
    if (options.longest_gap_ms > 0)
        chosen.longestGapMs = options.longest_gap_ms;
    why = replay::optionsProblem(chosen);
    return why.empty() ? ZELVA1_OK : ZELVA1_ERROR_ARGUMENT;
}

int ReplayTask::install(replay::PreparedReplay prepared, const BoardConnection& board,
                        std::uintptr_t boardId, std::string& why) {
    std::vector<std::uint16_t> outputs;
    for (const replay::ReplayRoute& route : prepared.options.routes)
        outputs.push_back(route.outputNo);
    why = control_.start(std::move(prepared));
    if (!why.empty()) {
        // Past the options, only the bus load is refused with the output named first.
        return why.rfind("выход ", 0) == 0 ? ZELVA1_ERROR_BUS : ZELVA1_ERROR_CONTENT;
    }
    system_ = board.system();
    boardId_ = boardId;
    outputs_ = std::move(outputs);
    started_ = true;
    return ZELVA1_OK;
}

zelva1_replay_progress ReplayTask::progress(std::string& failure) const {
    zelva1_replay_progress shown{};
    if (!started_)
        return shown;
    const replay::ReplayProgress progress = control_.progress();
    failure = control_.failure();
    if (control_.running())
        shown.state = control_.paused() ? ZELVA1_REPLAY_PAUSED : ZELVA1_REPLAY_RUNNING;
    else if (!failure.empty())
        shown.state = ZELVA1_REPLAY_FAILED;
    else if (progress.finished)
        shown.state = ZELVA1_REPLAY_ENDED;
    shown.passes = progress.passes;
    shown.rows = progress.rowsRead;
    shown.recorded_ms =
        progress.recordedMs > summary_.firstMs ? progress.recordedMs - summary_.firstMs : 0;
    for (std::size_t route = 0; route < outputs_.size() && route < progress.sent.size(); ++route)
        shown.sent[outputs_[route] - 1U] += progress.sent[route];
    return shown;
}

} // namespace zelva1
