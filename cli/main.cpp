// zelva1: the ZELVA-1 boards from the command line, through the zelva1 library.
// Exit status: 0 done, 1 the board or a file failed, 2 the command line is wrong.

#include "commands.h"
#include "terminal.h"
#include "usage_texts.h"

#include "zelva1.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

void addBoardOptions(CLI::App& command, cli::BoardChoice& choice) {
    cli::wholeNumberWithin(command.add_option("-b,--board", choice.interfaceIndex,
                                              "порядковый № модуля (по умолчанию 0)"),
                           0, 15);
    cli::wholeNumberWithin(
        command.add_option("-r,--rate", choice.rateCode,
                           "код частоты всех каналов: 0 - 12,5 КГц, 1 - 50 КГц, 2 - 100 КГц"),
        0, 2);
    command.add_flag(
        "--no-init", [&choice](std::int64_t) { choice.initialize = false; },
        "не инициализировать модуль (его каналы продолжают работу)");
}

void addInputOption(CLI::App& command, unsigned& input) {
    cli::wholeNumberWithin(command.add_option("-i,--input", input, "входной канал 1..8"), 1,
                           ZELVA1_MAX_CHANNELS);
}

void addOutputOption(CLI::App& command, unsigned& output) {
    cli::wholeNumberWithin(command.add_option("-o,--output", output, "выходной канал 1..8"), 1,
                           ZELVA1_MAX_CHANNELS);
}

void addFileOption(CLI::App& command, const std::string& names, std::string& path,
                   const std::string& text) {
    command.add_option(names, path, text)->type_name("ФАЙЛ");
}

int run(int argc, char** argv) {
    CLI::App app{"Модули ZELVA-1 из командной строки: поиск, прием и выдача слов ARINC 429, "
                 "имитация параметров, воспроизведение записей.",
                 "zelva1"};
    // Before the commands are added: each takes its parent's formatter and failure message.
    app.formatter(std::make_shared<cli::RussianHelp>());
    app.failure_message(cli::usageFailureText);
    app.option_defaults()->group("Параметры");
    app.set_help_flag("-h,--help", "показать эту справку");
    const int version = zelva1_version();
    app.set_version_flag("--version",
                         std::to_string(version / 10000) + "." +
                             std::to_string(version / 100 % 100) + "." +
                             std::to_string(version % 100),
                         "показать версию и выйти");
    app.require_subcommand(1);

    auto* list =
        app.add_subcommand("list", "список модулей: порядковый №, серийный №, входов, выходов");

    cli::ReceiveOptions receiveOptions;
    auto* receive =
        app.add_subcommand("receive", "прием на входной канал; печать ячеек или запись CSV");
    addBoardOptions(*receive, receiveOptions.board);
    addInputOption(*receive, receiveOptions.input);
    cli::oneOf(receive->add_option("-m,--mode", receiveOptions.mode,
                                   "режим: address (адресный) или file (файловый)"),
               {"address", "file"});
    cli::numberWithin(
        receive->add_option("-d,--duration", receiveOptions.seconds, "длительность приема, с"), 0.0,
        86400.0);
    cli::wholeNumberWithin(
        receive->add_option("--period", receiveOptions.periodMs, "период опроса, мс"), 10, 60000);
    addFileOption(*receive, "--csv", receiveOptions.csvPath,
                  "записать изменения ячеек в файл CSV, как запись монитора");
    cli::wholeNumberWithin(receive->add_option("--split-size", receiveOptions.splitMegabytes,
                                               "с --csv: новый файл (имя.001.csv, имя.002.csv…), "
                                               "когда файл достигнет стольких МБ"),
                           1, 1048576)
        ->type_name("МБ");
    cli::wholeNumberWithin(receive->add_option("--split-time", receiveOptions.splitSeconds,
                                               "с --csv: новый файл через столько секунд"),
                           1, 604800)
        ->type_name("С");
    cli::numberWithin(receive->add_option("--min-free", receiveOptions.minFreeMegabytes,
                                          "с --csv: остановить запись, когда на диске свободно "
                                          "меньше (по умолчанию 100; 0 - не следить)"),
                      0.0, 1048576.0)
        ->type_name("МБ");
    addFileOption(*receive, "--formats", receiveOptions.formatPath,
                  "файл десятичных форматов (например KST3frmt.stt)");
    addFileOption(*receive, "--assignments", receiveOptions.assignmentPath,
                  "файл форматов входных параметров (*.si)");
    receive
        ->add_option("--database", receiveOptions.databasePath,
                     "база меток (CSV): печатать параметр, значение и SSM по ней (не с --csv)")
        ->type_name("ФАЙЛ");

    cli::SendOptions sendOptions;
    auto* send = app.add_subcommand("send", "выдача массива слов на выходной канал");
    addBoardOptions(*send, sendOptions.board);
    addOutputOption(*send, sendOptions.output);
    addFileOption(*send, "-f,--file", sendOptions.filePath, "файл выходных параметров (*.so)");
    send->add_option("-w,--words", sendOptions.words,
                     "слова: 0x1A2B3C4D (шестнадцатеричное), 0777 (восьмеричное) или десятичное")
        ->type_name("СЛОВО");
    send->add_flag("-p,--pattern", sendOptions.pattern, "тестовый массив из 256 слов");
    send->add_flag("-c,--cyclic", sendOptions.cyclic, "циклическая выдача (иначе однократная)");
    cli::numberWithin(send->add_option("-d,--duration", sendOptions.seconds,
                                       "длительность циклической выдачи, с (0 - до Ctrl-C)"),
                      0.0, 86400.0);

    cli::LoopbackOptions loopbackOptions;
    auto* loopback = app.add_subcommand(
        "loopback", "проверка петли: тестовый массив с выходного канала на входной");
    addBoardOptions(*loopback, loopbackOptions.board);
    addOutputOption(*loopback, loopbackOptions.output);
    addInputOption(*loopback, loopbackOptions.input);
    cli::numberWithin(loopback->add_option("-d,--duration", loopbackOptions.seconds,
                                           "наибольшее время ожидания, с"),
                      0.1, 3600.0);

    cli::StimulateOptions stimulateOptions;
    auto* stimulate = app.add_subcommand(
        "stimulate", "имитация по параметрам: слова меток по законам из файла на выходной канал");
    addBoardOptions(*stimulate, stimulateOptions.board);
    addOutputOption(*stimulate, stimulateOptions.output);
    stimulate
        ->add_option("stimulus", stimulateOptions.stimulusPath,
                     "файл имитации (CSV: label, law, ...), как в мониторе")
        ->type_name("ФАЙЛ")
        ->required();
    stimulate
        ->add_option("--database", stimulateOptions.databasePath,
                     "база меток (CSV), по которой кодируются значения")
        ->type_name("ФАЙЛ")
        ->required();
    cli::numberWithin(stimulate->add_option("-d,--duration", stimulateOptions.seconds,
                                            "длительность выдачи, с (0 - до Ctrl-C)"),
                      0.0, 86400.0);

    cli::ReplayOptions replayOptions;
    auto* replay = app.add_subcommand(
        "replay", "воспроизведение записи монитора (CSV) на выходной канал, как она записана");
    addBoardOptions(*replay, replayOptions.board);
    replay
        ->add_option("recording", replayOptions.recordingPath,
                     "запись монитора (CSV), например сделанная receive --csv")
        ->type_name("ФАЙЛ")
        ->required();
    addOutputOption(*replay, replayOptions.output);
    cli::wholeNumberWithin(
        replay->add_option("-i,--input", replayOptions.input,
                           "записанный входной канал 1..8 (по умолчанию первый в записи)"),
        1, ZELVA1_MAX_CHANNELS);
    cli::numberWithin(replay->add_option("--speed", replayOptions.speed, "скорость, ×0.1..×10"),
                      0.1, 10.0);
    replay->add_flag("--loop", replayOptions.loop, "по кругу: с начала записи снова");
    replay->add_flag("--by-label", replayOptions.byLabel,
                     "по меткам: последнее значение каждой метки со своим интервалом");
    replay
        ->add_option("--database", replayOptions.databasePath,
                     "с --by-label: база меток (CSV), интервалы меток по ней, а не по записи")
        ->type_name("ФАЙЛ");
    replay
        ->add_option("--labels", replayOptions.labels,
                     "только эти метки (восьмеричные, через запятую: 203,206)")
        ->type_name("МЕТКИ");
    cli::numberWithin(
        replay->add_option("--start", replayOptions.startSeconds, "начать с этой секунды записи"),
        0.0, 8640000.0);
    cli::wholeNumberWithin(replay->add_option("--max-gap", replayOptions.longestGapMs,
                                              "паузы записи длиннее сократить до стольких мс"),
                           1, 86400000)
        ->type_name("МС");
    cli::numberWithin(replay->add_option("-d,--duration", replayOptions.seconds,
                                         "длительность, с (0 - до конца записи или Ctrl-C)"),
                      0.0, 86400.0);

    for (CLI::App* command : {list, receive, send, stimulate, replay, loopback}) {
        command->group("Команды");
        command->set_help_flag("-h,--help", "показать эту справку");
        command->footer(cli::kNumberForms);
    }
    send->footer(std::string(cli::kNumberForms) + cli::kWordForms);
    app.footer(cli::kNumberForms);

    try {
        app.parse(argc, argv);
        cli::refuseFlagValues(app, argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : kUsage;
    }

    try {
        if (list->parsed())
            cli::listBoards();
        else if (receive->parsed())
            cli::receive(receiveOptions);
        else if (send->parsed())
            cli::send(sendOptions);
        else if (stimulate->parsed())
            cli::stimulate(stimulateOptions);
        else if (replay->parsed())
            cli::replayRecording(replayOptions);
        else if (loopback->parsed() && !cli::loopback(loopbackOptions))
            return kFailed;
    } catch (const cli::UsageFailure& failure) {
        std::fprintf(stderr, "zelva1: %s\n", failure.what());
        return kUsage;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "zelva1: %s\n", failure.what());
        return kFailed;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    cli::prepareConsole();
    try {
        const int status = run(argc, argv);
        if (const std::string failure = cli::standardOutputFailure(); !failure.empty()) {
            std::fprintf(stderr, "zelva1: %s\n", failure.c_str());
            return kFailed;
        }
        return status;
    } catch (const std::exception& failure) { // the options themselves could not be set up
        std::fprintf(stderr, "zelva1: %s\n", failure.what());
    } catch (...) {
        std::fprintf(stderr, "zelva1: внутренняя ошибка\n");
    }
    return kFailed;
}
