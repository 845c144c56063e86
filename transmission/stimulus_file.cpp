#include "transmission/stimulus_file.h"

#include "transmission/stimulus_edit.h"

#include "labels/label_text.h"
#include "util/csv_text.h"
#include "util/file_replacing.h"
#include "util/named_columns.h"
#include "util/number_text.h"
#include "util/trimmed.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

namespace transmission {
namespace {

enum Column : std::size_t {
    Label,
    Sdi,
    Channel,
    LawColumn,
    Value,
    From,
    To,
    Seconds,
    End,
    Mean,
    Amplitude,
    Period,
    Steps,
    Bits,
    Ssm,
    Interval,
    Paused,
    Fault,
    ColumnCount
};

constexpr std::array<std::string_view, ColumnCount> kColumnNames = {
    "label", "sdi",       "channel",  "law",   "value", "from", "to",          "seconds", "end",
    "mean",  "amplitude", "period_s", "steps", "bits",  "ssm",  "interval_ms", "paused",  "fault"};

constexpr std::array<std::string_view, 4> kLawNames = {"constant", "linear", "sine", "steps"};
constexpr std::array<std::string_view, 3> kEndNames = {"hold", "repeat", "back-and-forth"};
constexpr std::uintmax_t kLargestFileBytes = 16u << 20;

struct RowError {
    Column column;
    std::string why;
};

class Row {
public:
    Row(const std::vector<util::CsvField>& fields, const std::array<int, ColumnCount>& positions)
        : fields_(fields), positions_(positions) {}

    [[nodiscard]] std::string_view text(Column column) const {
        const int at = positions_[column];
        return at < 0 ? std::string_view{}
                      : util::trimmed(fields_[static_cast<std::size_t>(at)].text);
    }
    [[nodiscard]] bool empty(Column column) const { return text(column).empty(); }
    [[nodiscard]] double number(Column column) const {
        if (const std::optional<double> value = util::parseNumber(text(column)))
            return *value;
        throw RowError{column, empty(column) ? "пусто" : "не число"};
    }
    [[nodiscard]] std::optional<int> optionalWhole(Column column, int lowest, int highest) const {
        if (empty(column))
            return std::nullopt;
        if (const std::optional<int> value = util::parseWhole(text(column), lowest, highest))
            return value;
        throw RowError{column,
                       "не число " + std::to_string(lowest) + ".." + std::to_string(highest)};
    }

private:
    const std::vector<util::CsvField>& fields_;
    const std::array<int, ColumnCount>& positions_;
};

template <std::size_t N>
std::optional<std::size_t> indexOf(const std::array<std::string_view, N>& names,
                                   std::string_view name) {
    const auto* found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? std::nullopt : std::optional<std::size_t>(found - names.begin());
}

/// The row of the database that describes the parameter: the input's own where one is named,
/// else a row for any channel, its own SDI before any SDI.
const labels::LabelDefinition* definitionOf(const labels::LabelDatabase& database,
                                            const StimulusParameter& parameter) {
    if (parameter.channelNo)
        return database.find(static_cast<unsigned>(*parameter.channelNo - 1),
                             parameter.label | static_cast<std::uint32_t>(parameter.sdi.value_or(0))
                                                   << 8);
    const labels::LabelDefinition* anySdi = nullptr;
    for (const labels::LabelDefinition& row : database.rows()) {
        if (row.label != parameter.label || row.channelNo)
            continue;
        if (row.sdi && parameter.sdi && *row.sdi == *parameter.sdi)
            return &row;
        if (!row.sdi)
            anySdi = &row;
    }
    return anySdi;
}

Law readLaw(const Row& row) {
    Law law;
    const std::optional<std::size_t> kind = indexOf(kLawNames, row.text(LawColumn));
    if (!kind)
        throw RowError{LawColumn, "не constant, linear, sine или steps"};
    law.kind = static_cast<LawKind>(*kind);
    switch (law.kind) {
    case LawKind::Constant:
        if (!row.empty(Value))
            law.value = row.number(Value);
        break;
    case LawKind::Linear: {
        law.from = row.number(From);
        law.to = row.number(To);
        law.seconds = row.number(Seconds);
        const std::optional<std::size_t> end = row.empty(End) ? std::optional<std::size_t>(0)
                                                              : indexOf(kEndNames, row.text(End));
        if (!end)
            throw RowError{End, "не hold, repeat или back-and-forth"};
        law.end = static_cast<LinearEnd>(*end);
        break;
    }
    case LawKind::Sine:
        law.mean = row.number(Mean);
        law.amplitude = row.number(Amplitude);
        law.periodSeconds = row.number(Period);
        break;
    case LawKind::Steps: {
        std::optional<std::vector<Step>> steps = parseStepsText(row.text(Steps));
        if (!steps)
            throw RowError{Steps, "не список «значение:секунды» через «;»"};
        law.steps = std::move(*steps);
        break;
    }
    }
    if (const std::string problem = lawProblem(law); !problem.empty())
        throw RowError{law.kind == LawKind::Linear ? Seconds
                       : law.kind == LawKind::Sine ? Period
                                                   : Steps,
                       problem};
    return law;
}

std::uint32_t readBits(const Row& row, const labels::LabelDefinition& definition) {
    std::uint32_t bits = 0;
    std::string_view list = row.text(Bits);
    while (!util::trimmed(list).empty()) {
        const std::size_t end = std::min(list.find(';'), list.size());
        const std::string_view name = util::trimmed(list.substr(0, end));
        list.remove_prefix(std::min(end + 1, list.size()));
        const auto named =
            std::find_if(definition.discretes.begin(), definition.discretes.end(),
                         [&](const labels::DiscreteBit& bit) { return bit.name == name; });
        if (named == definition.discretes.end())
            throw RowError{Bits, "в базе нет бита «" + std::string(name) + "»"};
        bits |= 1u << (named->bit - 1);
    }
    return bits;
}

StimulusParameter readParameter(const Row& row, const labels::LabelDatabase& database) {
    StimulusParameter parameter;
    const std::optional<std::uint8_t> label =
        row.text(Label).size() == 3 ? labels::parseOctalLabel(row.text(Label)) : std::nullopt;
    if (!label)
        throw RowError{Label, "не три восьмеричные цифры 000..377"};
    parameter.label = *label;
    if (const std::optional<int> sdi = row.optionalWhole(Sdi, 0, 3))
        parameter.sdi = static_cast<std::uint8_t>(*sdi);
    if (const std::optional<int> channel = row.optionalWhole(Channel, 1, 8))
        parameter.channelNo = static_cast<std::uint8_t>(*channel);
    parameter.definition = definitionOf(database, parameter);
    if (parameter.definition == nullptr)
        throw RowError{Label, "метки нет в базе меток"};
    parameter.law = readLaw(row);
    if (parameter.definition->encoding == labels::LabelEncoding::Disc)
        parameter.discreteBits = readBits(row, *parameter.definition);
    if (const std::optional<int> ssm = row.optionalWhole(Ssm, 0, 3))
        parameter.ssm = static_cast<std::uint8_t>(*ssm);
    if (const std::optional<int> paused = row.optionalWhole(Paused, 0, 1))
        parameter.paused = *paused == 1;
    for (std::string_view list = row.text(Fault); !util::trimmed(list).empty();) {
        const std::size_t end = std::min(list.find(';'), list.size());
        const std::string_view fault = util::trimmed(list.substr(0, end));
        list.remove_prefix(std::min(end + 1, list.size()));
        if (fault == "parity")
            parameter.wrongParity = true;
        else if (fault == "range")
            parameter.outsideRange = true;
        else
            throw RowError{Fault, "не parity или range"};
    }
    const labels::LabelDefinition& definition = *parameter.definition;
    if (!row.empty(Interval)) {
        parameter.intervalMs = row.number(Interval);
        if (!(parameter.intervalMs > 0.0))
            throw RowError{Interval, "интервал не больше нуля"};
    } else if (const std::optional<double> middle = labels::windowMiddleMs(definition)) {
        parameter.intervalMs = *middle;
    } else {
        throw RowError{Interval, "нет интервала ни здесь, ни в базе"};
    }
    if (std::string problem = parameterProblem(parameter); !problem.empty())
        throw RowError{parameter.law.kind == LawKind::Constant ? Value : LawColumn,
                       std::move(problem)};
    return parameter;
}

StimulusLoad failed(int line, std::string column, std::string why) {
    return {{}, StimulusError{line, std::move(column), std::move(why)}};
}

void appendNumber(std::string& out, double value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    out.append(text.data(), result.ptr);
}

} // namespace

labels::EncodeRequest StimulusParameter::requestAt(double seconds) const {
    return {.value = valueAt(law, seconds),
            .discreteBits = discreteBits,
            .sdi = sdi,
            .ssm = ssm,
            .outsideRangeOnPurpose = outsideRange,
            .wrongParityOnPurpose = wrongParity};
}

StimulusLoad parseStimulus(std::string_view text, const labels::LabelDatabase& database) {
    util::NamedColumnsReader reader(text, kColumnNames);
    if (reader.error())
        return {{}, reader.error()};
    for (const Column required : {Label, LawColumn})
        if (const std::optional<util::FileError> missing = reader.require(required))
            return {{}, missing};
    std::array<int, ColumnCount> positions{};
    for (std::size_t column = 0; column < ColumnCount; ++column)
        positions[column] = reader.position(column);
    StimulusLoad load;
    std::vector<util::CsvField> fields;
    while (reader.next(fields)) {
        try {
            load.parameters.push_back(readParameter(Row(fields, positions), database));
        } catch (const RowError& problem) {
            return failed(reader.recordLine(), std::string(kColumnNames[problem.column]),
                          problem.why);
        }
    }
    if (reader.error())
        return {{}, reader.error()};
    return load;
}

StimulusLoad loadStimulusFile(const std::filesystem::path& path,
                              const labels::LabelDatabase& database) {
    const util::FileText file = util::readTextFile(path, kLargestFileBytes);
    return file.text ? parseStimulus(*file.text, database) : failed(0, "", file.why);
}

std::string stimulusText(const std::vector<StimulusParameter>& parameters) {
    std::string text;
    for (std::size_t column = 0; column < ColumnCount; ++column) {
        text.append(column == 0 ? "" : ",");
        text.append(kColumnNames[column]);
    }
    text.append(util::kCsvRecordEnd);
    for (const StimulusParameter& parameter : parameters) {
        std::array<std::string, ColumnCount> fields;
        std::array<char, 4> label{};
        std::snprintf(label.data(), label.size(), "%03o", static_cast<unsigned>(parameter.label));
        fields[Label] = label.data();
        if (parameter.sdi)
            fields[Sdi] = std::to_string(*parameter.sdi);
        if (parameter.channelNo)
            fields[Channel] = std::to_string(*parameter.channelNo);
        const Law& law = parameter.law;
        fields[LawColumn] = kLawNames[static_cast<std::size_t>(law.kind)];
        switch (law.kind) {
        case LawKind::Constant: appendNumber(fields[Value], law.value); break;
        case LawKind::Linear:
            appendNumber(fields[From], law.from);
            appendNumber(fields[To], law.to);
            appendNumber(fields[Seconds], law.seconds);
            fields[End] = kEndNames[static_cast<std::size_t>(law.end)];
            break;
        case LawKind::Sine:
            appendNumber(fields[Mean], law.mean);
            appendNumber(fields[Amplitude], law.amplitude);
            appendNumber(fields[Period], law.periodSeconds);
            break;
        case LawKind::Steps: fields[Steps] = stepsText(law.steps); break;
        }
        if (parameter.definition != nullptr)
            for (const labels::DiscreteBit& bit : parameter.definition->discretes)
                if ((parameter.discreteBits >> (bit.bit - 1) & 1u) != 0)
                    fields[Bits] += (fields[Bits].empty() ? "" : ";") + bit.name;
        if (parameter.ssm)
            fields[Ssm] = std::to_string(*parameter.ssm);
        appendNumber(fields[Interval], parameter.intervalMs);
        fields[Paused].push_back(parameter.paused ? '1' : '0');
        fields[Fault] = std::string(parameter.wrongParity ? "parity" : "") +
                        (parameter.wrongParity && parameter.outsideRange ? ";" : "") +
                        (parameter.outsideRange ? "range" : "");
        for (std::size_t column = 0; column < ColumnCount; ++column) {
            if (column != 0)
                text.push_back(',');
            util::appendCsvField(text, fields[column]);
        }
        text.append(util::kCsvRecordEnd);
    }
    return text;
}

std::error_code saveStimulusFile(const std::filesystem::path& path,
                                 const std::vector<StimulusParameter>& parameters) {
    const std::string text = stimulusText(parameters);
    return util::writeFileReplacing(path, std::as_bytes(std::span{text.data(), text.size()}));
}

std::string stimulusErrorMessage(std::string_view fileName, const StimulusError& error) {
    return util::fileErrorText("Файл имитации", fileName, error, ".");
}

} // namespace transmission
