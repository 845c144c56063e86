#include "config.h"

#include "timing.h"
#include "traffic.h"

#include "board/control_codes.h"
#include "board/rate_codes.h"
#include "board/shared_state.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>
#include <vector>

namespace board::simulated {
namespace {

constexpr std::array<std::uint32_t, 15> kRequestCodes = {
    IOCTL_GET_CONFIGURATION, IOCTL_INIT_DEVICE,      IOCTL_RESET_DEVICE,    IOCTL_SO_LOAD_ARRAY,
    IOCTL_SO_START_SINGLE,   IOCTL_SO_GET_STATE,     IOCTL_SO_START_CYCLIC, IOCTL_SO_STOP,
    IOCTL_SO_WRITE_WORD,     IOCTL_SI_START_ADDRESS, IOCTL_SI_STOP,         IOCTL_SI_START_FILE,
    IOCTL_GET_SERIAL_NUMBER, IOCTL_SI_GET_STATE,     IOCTL_SI_READ};

/// Thrown to the line loop with the problem; caught once per line.
struct LineError {
    std::string message;
};

std::string quoted(std::string_view word) {
    std::string text;
    text.reserve(word.size() + 2);
    text.push_back('"');
    text.append(word);
    text.push_back('"');
    return text;
}

/// The words of one statement, taken from the front.
class Words {
public:
    explicit Words(std::vector<std::string_view> words) : words_(std::move(words)) {}

    [[nodiscard]] bool done() const { return next_ == words_.size(); }

    std::string_view take(std::string_view what) {
        if (done())
            throw LineError{"missing " + std::string(what)};
        return words_[next_++];
    }

    void keyword(std::string_view expected) {
        const std::string_view word = take(quoted(expected));
        if (word != expected)
            throw LineError{"expected " + quoted(expected) + ", found " + quoted(word)};
    }

    std::uint64_t number(std::string_view what, std::uint64_t lowest, std::uint64_t highest) {
        const std::string_view word = take(what);
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (error != std::errc{} || end != word.data() + word.size())
            throw LineError{std::string(what) + " " + quoted(word) + " is not a number"};
        if (value < lowest || value > highest)
            throw LineError{std::string(what) + " " + quoted(word) + " is not in " +
                            std::to_string(lowest) + ".." + std::to_string(highest)};
        return value;
    }

    void end() {
        if (!done())
            throw LineError{"unexpected " + quoted(words_[next_])};
    }

private:
    std::vector<std::string_view> words_;
    std::size_t next_ = 0;
};

std::vector<std::string_view> splitWords(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t\r", at);
        if (at == std::string_view::npos)
            return words;
        const std::size_t end = std::min(line.find_first_of(" \t\r", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
}

class Parser {
public:
    void statement(Words& words) {
        const std::string_view keyword = words.take("statement");
        if (keyword == "board")
            board(words);
        else if (keyword == "fail-open")
            failOpen(words);
        else if (keyword == "wire")
            wire(words);
        else if (keyword == "traffic")
            traffic(words);
        else if (keyword == "table")
            table(words);
        else if (keyword == "idle")
            idle(words);
        else if (keyword == "fail")
            fail(words);
        else if (keyword == "too-often")
            labelFault(words, &TrafficFaults::tooOftenLabel);
        else if (keyword == "out-of-range")
            labelFault(words, &TrafficFaults::outOfRangeLabel);
        else if (keyword == "ssm")
            ssmFault(words);
        else
            throw LineError{"unknown statement " + quoted(keyword)};
        words.end();
        if (keyword != "board")
            sawOtherStatement_ = true;
    }

    SimulatorConfig config = defaultSimulatorConfig();

private:
    static unsigned interfaceIndex(Words& words) {
        return static_cast<unsigned>(words.number("interface index", 0, kMaxInterfaceIndex));
    }

    SimulatedBoardSpec& boardAt(Words& words) {
        const unsigned index = interfaceIndex(words);
        for (SimulatedBoardSpec& boardSetup : config.boards)
            if (boardSetup.interfaceIndex == index)
                return boardSetup;
        throw LineError{"no board at interface index " + std::to_string(index)};
    }

    static std::size_t inputOf(Words& words, const SimulatedBoardSpec& boardSetup) {
        words.keyword("input");
        return static_cast<std::size_t>(
            words.number("input channel", 1, static_cast<std::uint64_t>(boardSetup.inputs)) - 1);
    }

    void board(Words& words) {
        if (sawOtherStatement_)
            throw LineError{"board lines must come before all other statements"};
        if (!sawBoard_) {
            config.boards.clear();
            config.indicesFailingToOpen.clear();
            sawBoard_ = true;
        }
        SimulatedBoardSpec boardSetup;
        boardSetup.interfaceIndex = interfaceIndex(words);
        for (const SimulatedBoardSpec& other : config.boards)
            if (other.interfaceIndex == boardSetup.interfaceIndex)
                throw LineError{"a second board at interface index " +
                                std::to_string(boardSetup.interfaceIndex)};
        words.keyword("serial");
        boardSetup.serial = static_cast<std::uint16_t>(words.number("serial number", 0, 0xFFFF));
        words.keyword("inputs");
        boardSetup.inputs = static_cast<int>(words.number("input count", 0, kMaxChannels));
        words.keyword("outputs");
        boardSetup.outputs = static_cast<int>(words.number("output count", 0, kMaxChannels));
        config.boards.push_back(boardSetup);
    }

    void failOpen(Words& words) { config.indicesFailingToOpen.push_back(interfaceIndex(words)); }

    void wire(Words& words) {
        SimulatedBoardSpec& boardSetup = boardAt(words);
        words.keyword("output");
        const auto output = static_cast<std::uint8_t>(
            words.number("output channel", 1, static_cast<std::uint64_t>(boardSetup.outputs)));
        boardSetup.sources[inputOf(words, boardSetup)] = {.kind = InputSourceKind::Output,
                                                          .outputChannel = output};
    }

    void traffic(Words& words) {
        SimulatedBoardSpec& boardSetup = boardAt(words);
        const std::size_t input = inputOf(words, boardSetup);
        std::uint8_t rate = 0;
        if (!words.done()) {
            words.keyword("rate");
            rate = static_cast<std::uint8_t>(words.number("rate code", 0, kRateCodeCount - 1));
        }
        boardSetup.sources[input] = {.kind = InputSourceKind::Traffic, .rateCode = rate};
    }

    // table <index> input <m> [rate <r>] every <ms> words <word> ...
    void table(Words& words) {
        SimulatedBoardSpec& boardSetup = boardAt(words);
        const std::size_t input = inputOf(words, boardSetup);
        std::uint8_t rate = 0;
        const std::string_view next = words.take(R"("rate" or "every")");
        if (next == "rate") {
            rate = static_cast<std::uint8_t>(words.number("rate code", 0, kRateCodeCount - 1));
            words.keyword("every");
        } else if (next != "every") {
            throw LineError{R"(expected "rate" or "every", found )" + quoted(next)};
        }
        constexpr std::uint64_t kLongestSpacingMs = 60'000;
        const auto spacingMs = words.number("spacing in ms", 1, kLongestSpacingMs);
        ConstantTable table;
        table.spacing = static_cast<std::int64_t>(spacingMs) * 1'000'000;
        if (table.spacing < *wordTimeFor(rate))
            throw LineError{"a word every " + std::to_string(spacingMs) +
                            " ms is faster than the bus carries at rate " + std::to_string(rate)};
        words.keyword("words");
        do {
            if (table.count == ConstantTable::kMaxWords)
                throw LineError{"more than " + std::to_string(ConstantTable::kMaxWords) + " words"};
            table.words[table.count++] = static_cast<std::uint32_t>(hexWord(words.take("word")));
        } while (!words.done());
        boardSetup.tables[input] = table;
        boardSetup.sources[input] = {.kind = InputSourceKind::Table, .rateCode = rate};
    }

    static std::uint32_t hexWord(std::string_view word) {
        std::string_view digits = word;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
            digits.remove_prefix(2);
        std::uint32_t value = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size())
            throw LineError{"word " + quoted(word) + " is not 1 to 8 hexadecimal digits"};
        return value;
    }

    void idle(Words& words) {
        SimulatedBoardSpec& boardSetup = boardAt(words);
        boardSetup.sources[inputOf(words, boardSetup)] = {.kind = InputSourceKind::Idle};
    }

    TrafficFaults& faultsOf(Words& words) {
        SimulatedBoardSpec& boardSetup = boardAt(words);
        return boardSetup.trafficFaults[inputOf(words, boardSetup)];
    }

    static std::uint8_t trafficLabel(Words& words) {
        words.keyword("label");
        const std::string_view word = words.take("label");
        unsigned label = 0;
        const bool octal = word.size() == 3 && std::all_of(word.begin(), word.end(), [](char c) {
                               return c >= '0' && c <= '7';
                           });
        if (octal)
            label =
                static_cast<unsigned>((word[0] - '0') * 64 + (word[1] - '0') * 8 + (word[2] - '0'));
        if (!octal || label > 0377 || !isTrafficLabel(static_cast<std::uint8_t>(label)))
            throw LineError{"label " + quoted(word) + " is not one of the built-in stream's"};
        return static_cast<std::uint8_t>(label);
    }

    // The board and input come before the label in the statement.
    void labelFault(Words& words, std::optional<std::uint8_t> TrafficFaults::*which) {
        TrafficFaults& faults = faultsOf(words);
        faults.*which = trafficLabel(words);
    }

    void ssmFault(Words& words) {
        TrafficFaults& faults = faultsOf(words);
        faults.ssmLabel = trafficLabel(words);
        faults.ssm = static_cast<std::uint8_t>(words.number("SSM", 0, 3));
    }

    void fail(Words& words) {
        if (config.failingRequests.size() == kMaxFaultRules)
            throw LineError{"more than " + std::to_string(kMaxFaultRules) + " fail rules"};
        FaultRule rule;
        rule.interfaceIndex = boardAt(words).interfaceIndex;
        rule.controlCode = requestCode(words.take("request name or *"));
        std::vector<std::string_view> seen;
        while (!words.done()) {
            const std::string_view option = words.take("option");
            if (std::find(seen.begin(), seen.end(), option) != seen.end())
                throw LineError{quoted(option) + " given twice"};
            seen.push_back(option);
            if (option == "channel")
                rule.channelNo =
                    static_cast<std::uint16_t>(words.number("channel", 1, kMaxChannels));
            else if (option == "one-in")
                rule.oneIn =
                    static_cast<std::uint32_t>(words.number("one-in count", 1, UINT32_MAX));
            else if (option == "seed")
                rule.seed = words.number("seed", 0, UINT64_MAX);
            else
                throw LineError{"unknown option " + quoted(option) + " (channel, one-in or seed)"};
        }
        config.failingRequests.push_back(rule);
    }

    static std::uint32_t requestCode(std::string_view name) {
        if (name == "*")
            return 0;
        for (std::uint32_t code : kRequestCodes)
            if (controlCodeName(code) == name)
                return code;
        throw LineError{"unknown request " + quoted(name)};
    }

    bool sawBoard_ = false;
    bool sawOtherStatement_ = false;
};

} // namespace

SimConfigResult parseSimulatorConfig(std::string_view text) {
    Parser parser;
    int lineNo = 0;
    while (!text.empty()) {
        ++lineNo;
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        Words words(splitWords(line));
        if (words.done())
            continue;
        try {
            parser.statement(words);
        } catch (const LineError& problem) {
            return {defaultSimulatorConfig(), lineNo, problem.message};
        }
    }
    return {std::move(parser.config), 0, {}};
}

SimConfigResult loadSimulatorConfig(const std::string& path) {
    // A folder opens as a file here and fails only when read, with an exception.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return {defaultSimulatorConfig(), 0, "is a folder, not a file"};
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {defaultSimulatorConfig(), 0, "cannot be read"};
    try {
        const std::string text{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
        return parseSimulatorConfig(text);
    } catch (const std::ios_base::failure&) {
        return {defaultSimulatorConfig(), 0, "cannot be read"};
    }
}

} // namespace board::simulated
