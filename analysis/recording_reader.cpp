#include "analysis/recording_reader.h"

#include "analysis/recording_row.h"
#include "labels/word_fields.h"
#include "util/csv_reader.h"
#include "util/file_error.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>

namespace analysis {
namespace {

// The columns read back, by their place in the recording's first line.
enum Column : std::size_t {
    DateTime,
    Ms,
    Tick,
    Channel,
    Cell,
    Word,
    Label,
    Sdi,
    Ssm,
    Parity,
    Decimal,
    Name,
    Value,
    ColumnCount
};
constexpr std::size_t kColumnsWithoutDatabase = Decimal + 1;
// Far above the longest row the recorder writes (a parameter's name and value included).
constexpr std::size_t kLongestRecord = 4096;

std::vector<std::string> columnNames() {
    std::vector<std::string> names;
    std::string_view all = kRecordingColumnNames;
    while (!all.empty()) {
        const std::size_t comma = std::min(all.find(','), all.size());
        names.emplace_back(all.substr(0, comma));
        all.remove_prefix(std::min(comma + 1, all.size()));
    }
    return names;
}

template <typename Number>
bool parse(const std::string& text, Number& value, int base = 10) {
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string> splitRecord(std::string_view record, bool& ok) {
    util::CsvReader reader(record);
    std::vector<util::CsvField> fields;
    ok = reader.next(fields) && !reader.failed();
    std::vector<std::string> texts;
    texts.reserve(fields.size());
    for (util::CsvField& field : fields)
        texts.push_back(std::move(field.text));
    return texts;
}

} // namespace

RecordingReader::RecordingReader(const std::filesystem::path& path) {
    if (std::string why = util::fileRefusal(path, true); !why.empty()) {
        error_ = RecordingError{0, "", std::move(why)};
        return;
    }
    file_.open(path, std::ios::binary);
    if (!file_) {
        error_ = RecordingError{0, "", "файл не открывается"};
        return;
    }
    bool complete = false;
    if (!readRecord(record_, complete)) {
        error_ = RecordingError{0, "", "файл пуст"};
        return;
    }
    bool ok = false;
    const std::vector<std::string> header = splitRecord(record_, ok);
    const std::vector<std::string> names = columnNames();
    const bool withDatabase = header.size() == names.size();
    if (!ok || (!withDatabase && header.size() != kColumnsWithoutDatabase) ||
        !std::equal(header.begin(), header.end(), names.begin()))
        (void)fail("", "первая строка — не заголовок записи монитора");
}

bool RecordingReader::readRecord(std::string& record, bool& complete) {
    record.clear();
    complete = false;
    bool any = false;
    std::streambuf& bytes = *file_.rdbuf();
    for (;;) {
        // A line at a time, never longer than a row can be, so that damage cannot fill memory.
        int c = bytes.sbumpc();
        if (c == std::char_traits<char>::eof())
            return any;
        if (!any)
            recordLine_ = line_ + 1;
        any = true;
        for (; c != std::char_traits<char>::eof() && c != '\n'; c = bytes.sbumpc()) {
            if (record.size() == kLongestRecord)
                return true; // told as damage by the caller: no row is that long
            record.push_back(static_cast<char>(c));
        }
        ++line_;
        complete = c == '\n';
        if (!record.empty() && record.back() == '\r')
            record.pop_back();
        // A quoted field may hold line ends: a record goes on while its quotes are open.
        if (!complete || std::count(record.begin(), record.end(), '"') % 2 == 0)
            return true;
        record += '\n';
    }
}

bool RecordingReader::fail(std::string column, std::string why) {
    error_ = RecordingError{recordLine_, std::move(column), std::move(why)};
    return false;
}

bool RecordingReader::next(RecordedWord& word) {
    static const std::vector<std::string> kNames = columnNames();
    while (!error_) {
        bool complete = false;
        if (!readRecord(record_, complete))
            return false;
        if (record_.empty() && complete)
            continue;
        if (record_.size() >= kLongestRecord)
            return fail("", "не строка записи монитора");
        bool ok = false;
        fields_ = splitRecord(record_, ok);
        if (!complete) {
            // The recorder writes whole rows: one without its line end was cut short.
            tornLine_ = recordLine_;
            return false;
        }
        if (!ok || (fields_.size() != kNames.size() && fields_.size() != kColumnsWithoutDatabase))
            return fail("", "не строка записи монитора");
        RecordedWord read;
        unsigned channel = 0;
        unsigned cell = 0;
        unsigned label = 0;
        if (!parse(fields_[Ms], read.ms))
            return fail(kNames[Ms], "не число миллисекунд");
        if (read.ms < lastMs_)
            return fail(kNames[Ms], "время идёт назад");
        if (!parse(fields_[Tick], read.tick))
            return fail(kNames[Tick], "не номер цикла");
        if (!parse(fields_[Channel], channel) || channel < 1 || channel > 8)
            return fail(kNames[Channel], "не номер канала 1..8");
        if (!parse(fields_[Cell], cell) || cell > 255)
            return fail(kNames[Cell], "не номер ячейки 0..255");
        if (fields_[Word].size() != 8 || !parse(fields_[Word], read.word, 16))
            return fail(kNames[Word], "не 8 шестнадцатеричных цифр");
        if (fields_[Label].size() != 3 || !parse(fields_[Label], label, 8) ||
            label != labels::wordLabel(read.word))
            return fail(kNames[Label], "не метка этого слова");
        read.channelNo = static_cast<std::uint8_t>(channel);
        read.cell = static_cast<std::uint8_t>(cell);
        lastMs_ = read.ms;
        word = read;
        return true;
    }
    return false;
}

RecordingSummary summarizeRecording(const std::filesystem::path& path) {
    RecordingSummary summary;
    summary.labels.resize(8);
    RecordingReader reader(path);
    RecordedWord word;
    while (reader.next(word)) {
        if (summary.words++ == 0)
            summary.firstMs = word.ms;
        summary.lastMs = word.ms;
        const std::size_t channel = word.channelNo - 1U;
        summary.channels |= static_cast<std::uint8_t>(1U << channel);
        const std::uint8_t label = labels::wordLabel(word.word);
        ++summary.wordsPerLabel[channel][label];
        if (summary.wordsPerLabel[channel][label] == 1) {
            summary.labels[channel].push_back(label);
        }
    }
    summary.tornLine = reader.tornLine();
    summary.error = reader.error();
    return summary;
}

std::string recordingErrorMessage(std::string_view fileName, const RecordingError& error) {
    std::string text = "Запись «" + std::string(fileName) + "» не воспроизводится: ";
    if (error.line > 0)
        text += "строка " + std::to_string(error.line) + ", ";
    if (error.line > 0 && !error.column.empty())
        text += "столбец «" + error.column + "», ";
    return text + error.why + ".";
}

} // namespace analysis
