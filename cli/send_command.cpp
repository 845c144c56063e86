#include "commands.h"
#include "timed_run.h"

#include "board/shared_state.h"
#include "transmission/output_file.h"

#include <memory>

namespace cli {
namespace {

std::uint32_t parseWord(const std::string& text) {
    std::size_t used = 0;
    unsigned long long value = 0;
    try {
        value = std::stoull(text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value > 0xFFFFFFFFull || text[0] == '-')
        throw UsageFailure("слово \"" + text + "\" не число от 0 до 0xFFFFFFFF");
    return static_cast<std::uint32_t>(value);
}

// An output parameter file read as the monitor restores one: the same checks and messages.
std::vector<std::uint32_t> wordsOfFile(const std::string& path) {
    auto state = std::make_unique<board::SharedState>();
    const transmission::OutputFileResult result = transmission::restoreOutputArray(*state, path);
    if (!result.succeeded()) {
        const std::string warning = transmission::outputFileWarning(result);
        throw CommandFailure(path + ": " +
                             (warning.empty() ? zelva1_status_text(ZELVA1_ERROR_FILE) : warning));
    }
    const auto& words = state->SOrecord[0].SOwords;
    return {words.begin(), words.begin() + result.count};
}

std::vector<std::uint32_t> wordsToSend(const SendOptions& options) {
    const int sources = (options.filePath.empty() ? 0 : 1) + (options.words.empty() ? 0 : 1) +
                        (options.pattern ? 1 : 0);
    if (sources != 1)
        throw UsageFailure("укажите одно из: --file, --words или --pattern");
    if (!options.filePath.empty())
        return wordsOfFile(options.filePath);
    std::vector<std::uint32_t> words;
    if (options.pattern)
        words = testPattern(options.output);
    for (const std::string& text : options.words)
        words.push_back(parseWord(text));
    if (words.size() > ZELVA1_MAX_WORDS)
        throw UsageFailure("больше 256 слов");
    return words;
}

} // namespace

void send(const SendOptions& options) {
    const std::vector<std::uint32_t> words = wordsToSend(options);
    OpenBoard board(options.board);
    const std::string channel = "выходной канал № " + std::to_string(options.output);
    catchStopRequests();
    check(zelva1_transmit(board.get(), options.output, words.data(), words.size(),
                          options.cyclic ? ZELVA1_CYCLIC : ZELVA1_ONCE),
          "выдача, " + channel);
    const char* what = options.cyclic ? "выдача циклическая" : "выдача однократная";
    // Once: until the board has sent the array; cyclic: for the time given, or until Ctrl-C.
    runTimed(options.seconds, std::chrono::milliseconds(50), what, [&](double, std::string&) {
        if (options.cyclic)
            return true;
        int active = 0;
        check(zelva1_is_transmitting(board.get(), options.output, &active), "состояние выдачи");
        return active != 0;
    });
    check(zelva1_stop_transmit(board.get(), options.output), "останов выдачи, " + channel);
}

} // namespace cli
