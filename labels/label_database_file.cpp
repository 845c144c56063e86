#include "labels/label_database_file.h"

#include "labels/label_text.h"
#include "labels/standard_decoding.h"
#include "util/named_columns.h"
#include "util/number_text.h"
#include "util/trimmed.h"
#include "util/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <tuple>

namespace labels {
namespace {

constexpr std::uintmax_t kLargestFileBytes = 16u << 20;
constexpr int kLargestBnrBits = 20;    // bits 9..28 when no SDI takes bits 9-10
constexpr int kLargestBnrBitsSdi = 18; // bits 11..28
constexpr int kLargestBcdDigits = 5;
constexpr int kLowestDataBit = 9;
constexpr int kLowestDataBitSdi = 11;
constexpr int kHighestDataBit = 29;

enum Column : std::size_t {
    Label,
    Sdi,
    Channel,
    Name,
    Units,
    Encoding,
    Bits,
    Resolution,
    Least,
    Greatest,
    LeastInterval,
    GreatestInterval,
    Discretes,
    ColumnCount
};

constexpr std::array<std::string_view, ColumnCount> kColumnNames = {
    kColumnLabel,    kColumnSdi,      kColumnChannel,       kColumnName,
    kColumnUnits,    kColumnEncoding, kColumnBits,          kColumnResolution,
    kColumnLeast,    kColumnGreatest, kColumnLeastInterval, kColumnGreatestInterval,
    kColumnDiscretes};

/// Thrown from a row's checks with the column and why; caught once per file.
struct RowError {
    Column column;
    std::string why;
};

using util::trimmed;

using util::parseNumber;
using util::parseWhole;

class RowReader {
public:
    RowReader(const std::vector<util::CsvField>& fields,
              const std::array<int, ColumnCount>& positions)
        : fields_(fields), positions_(positions) {}

    [[nodiscard]] std::string_view text(Column column) const {
        const int at = positions_[column];
        return at < 0 ? std::string_view{}
                      : std::string_view{fields_[static_cast<std::size_t>(at)].text};
    }
    [[nodiscard]] bool empty(Column column) const { return trimmed(text(column)).empty(); }

    [[nodiscard]] std::optional<int> optionalWhole(Column column, int lowest, int highest,
                                                   const char* why) const {
        if (empty(column))
            return std::nullopt;
        if (const std::optional<int> value = parseWhole(text(column), lowest, highest))
            return value;
        throw RowError{column, why};
    }
    [[nodiscard]] std::optional<double> optionalNumber(Column column) const {
        if (empty(column))
            return std::nullopt;
        if (const std::optional<double> value = parseNumber(text(column)))
            return value;
        throw RowError{column, "не число"};
    }
    [[nodiscard]] std::optional<double> optionalInterval(Column column) const {
        const std::optional<double> value = optionalNumber(column);
        if (value && *value <= 0.0)
            throw RowError{column, "интервал не больше нуля"};
        return value;
    }
    void mustBeEmpty(Column column, const char* why) const {
        if (!empty(column))
            throw RowError{column, why};
    }

private:
    const std::vector<util::CsvField>& fields_;
    const std::array<int, ColumnCount>& positions_;
};

[[nodiscard]] bool isPowerOfTen(double value) {
    if (!(value > 0.0))
        return false;
    const double exponent = std::round(std::log10(value));
    return std::fabs(value / std::pow(10.0, exponent) - 1.0) < 1e-9;
}

void readBnr(const RowReader& row, LabelDefinition& definition) {
    const int largest = definition.sdi ? kLargestBnrBitsSdi : kLargestBnrBits;
    definition.significantBits = row.optionalWhole(Bits, 1, largest,
                                                   definition.sdi
                                                       ? "не число 1..18 (биты 9-10 заняты SDI)"
                                                       : "не число 1..20")
                                     .value_or(0);
    if (definition.significantBits == 0)
        throw RowError{Bits, "для BNR нужно число значащих битов"};
    const std::optional<double> resolution = row.optionalNumber(Resolution);
    if (!resolution || *resolution <= 0.0)
        throw RowError{Resolution, "для BNR нужна цена младшего бита больше нуля"};
    definition.resolution = *resolution;
}

void readBcd(const RowReader& row, LabelDefinition& definition) {
    definition.significantBits =
        row.optionalWhole(Bits, 1, kLargestBcdDigits, "не число цифр 1..5").value_or(0);
    if (definition.significantBits == 0)
        throw RowError{Bits, "для BCD нужно число цифр 1..5"};
    const std::optional<double> resolution = row.optionalNumber(Resolution);
    if (!resolution || !isPowerOfTen(*resolution))
        throw RowError{Resolution,
                       "для BCD нужна цена младшей цифры, степень десяти (0.1, 1, 10...)"};
    definition.resolution = *resolution;
}

void readDiscretes(const RowReader& row, LabelDefinition& definition) {
    row.mustBeEmpty(Bits, "у DISC пусто: биты названы в discretes");
    row.mustBeEmpty(Resolution, "у DISC пусто");
    row.mustBeEmpty(Least, "у DISC пусто");
    row.mustBeEmpty(Greatest, "у DISC пусто");
    const int lowest = definition.sdi ? kLowestDataBitSdi : kLowestDataBit;
    std::string_view list = row.text(Discretes);
    while (!trimmed(list).empty()) {
        const std::size_t end = std::min(list.find(';'), list.size());
        const std::string_view item = list.substr(0, end);
        list.remove_prefix(std::min(end + 1, list.size()));
        const std::size_t colon = item.find(':');
        const std::optional<int> bit =
            colon == std::string_view::npos
                ? std::nullopt
                : parseWhole(item.substr(0, colon), lowest, kHighestDataBit);
        const std::string_view name =
            colon == std::string_view::npos ? std::string_view{} : trimmed(item.substr(colon + 1));
        if (!bit || name.empty())
            throw RowError{Discretes, "не список «бит:имя» через «;» с битами " +
                                          std::to_string(lowest) + "..29"};
        for (const DiscreteBit& other : definition.discretes)
            if (other.bit == *bit)
                throw RowError{Discretes, "бит " + std::to_string(*bit) + " назван дважды"};
        definition.discretes.push_back({*bit, std::string(name)});
    }
    if (definition.discretes.empty())
        throw RowError{Discretes, "для DISC нужны имена битов"};
}

[[nodiscard]] LabelDefinition readRow(const RowReader& row) {
    LabelDefinition definition;
    const std::string_view labelText = trimmed(row.text(Label));
    const std::optional<std::uint8_t> label = labelText.size() == 3 ? parseOctalLabel(labelText)
                                                                    : std::nullopt;
    if (!label)
        throw RowError{Label, "не три восьмеричные цифры 000..377"};
    definition.label = *label;
    if (const std::optional<int> sdi = row.optionalWhole(Sdi, 0, 3, "не число 0..3"))
        definition.sdi = static_cast<std::uint8_t>(*sdi);
    if (const std::optional<int> channel =
            row.optionalWhole(Channel, 1, board::kMaxChannels, "не номер канала 1..8"))
        definition.channelNo = static_cast<std::uint8_t>(*channel);
    definition.name = std::string(trimmed(row.text(Name)));
    if (definition.name.empty())
        throw RowError{Name, "пусто"};
    definition.units = std::string(trimmed(row.text(Units)));

    const std::string_view encoding = trimmed(row.text(Encoding));
    if (encoding == "BNR")
        definition.encoding = LabelEncoding::Bnr;
    else if (encoding == "BCD")
        definition.encoding = LabelEncoding::Bcd;
    else if (encoding == "DISC")
        definition.encoding = LabelEncoding::Disc;
    else
        throw RowError{Encoding, "не BNR, BCD или DISC"};

    switch (definition.encoding) {
    case LabelEncoding::Bnr: readBnr(row, definition); break;
    case LabelEncoding::Bcd: readBcd(row, definition); break;
    case LabelEncoding::Disc: readDiscretes(row, definition); break;
    }
    if (definition.encoding != LabelEncoding::Disc) {
        row.mustBeEmpty(Discretes, "имена битов только у DISC");
        definition.least = row.optionalNumber(Least);
        definition.greatest = row.optionalNumber(Greatest);
        if (definition.least && definition.greatest && *definition.greatest < *definition.least)
            throw RowError{Greatest, "меньше min"};
    }
    definition.leastIntervalMs = row.optionalInterval(LeastInterval);
    definition.greatestIntervalMs = row.optionalInterval(GreatestInterval);
    if (definition.leastIntervalMs && definition.greatestIntervalMs &&
        *definition.greatestIntervalMs < *definition.leastIntervalMs)
        throw RowError{GreatestInterval, "меньше min_interval_ms"};
    return definition;
}

/// What a row of a label takes of bits 9-10: an SDI it names, or data.
struct SdiBitsUse {
    int line = 0;
    std::optional<std::uint8_t> channelNo;
    bool namesSdi = false;
    bool dataInSdiBits = false;
};

[[nodiscard]] SdiBitsUse sdiBitsUse(const LabelDefinition& definition, int line) {
    SdiBitsUse use{line, definition.channelNo, definition.sdi.has_value(), false};
    if (definition.encoding == LabelEncoding::Bnr)
        use.dataInSdiBits = definition.significantBits > kLargestBnrBitsSdi;
    else if (definition.encoding == LabelEncoding::Disc)
        use.dataInSdiBits =
            std::any_of(definition.discretes.begin(), definition.discretes.end(),
                        [](const DiscreteBit& bit) { return bit.bit < kLowestDataBitSdi; });
    return use;
}

/// Rows that can decode words on a common channel must agree on bits 9-10: where one row of a
/// label names an SDI, those bits choose the row, so no row of that label may read them as
/// data.
void checkSdiBits(const SdiBitsUse& use, const LabelDefinition& definition,
                  const std::vector<SdiBitsUse>& earlier) {
    for (const SdiBitsUse& other : earlier) {
        const bool shareChannel = !use.channelNo || !other.channelNo ||
                                  *use.channelNo == *other.channelNo;
        if (!shareChannel)
            continue;
        const std::string otherLine = std::to_string(other.line);
        if (use.namesSdi && other.dataInSdiBits)
            throw RowError{Sdi, "биты 9-10 — данные этой метки в строке " + otherLine};
        if (use.dataInSdiBits && other.namesSdi)
            throw RowError{definition.encoding == LabelEncoding::Bnr ? Bits : Discretes,
                           "биты 9-10 заняты SDI этой метки в строке " + otherLine +
                               (definition.encoding == LabelEncoding::Bnr ? ": не больше 18 битов"
                                                                          : ": биты с 11")};
    }
}

[[nodiscard]] LabelDatabaseLoad failed(int line, std::string column, std::string why) {
    return {std::nullopt, {line, std::move(column), std::move(why)}};
}

} // namespace

LabelDatabaseLoad parseLabelDatabase(std::string_view text) {
    util::NamedColumnsReader reader(text, kColumnNames);
    if (reader.error())
        return {std::nullopt, *reader.error()};
    for (const Column required : {Label, Name, Encoding})
        if (const std::optional<util::FileError> missing = reader.require(required))
            return {std::nullopt, *missing};
    std::array<int, ColumnCount> positions{};
    for (std::size_t column = 0; column < ColumnCount; ++column)
        positions[column] = reader.position(column);

    std::vector<LabelDefinition> rows;
    std::map<std::tuple<int, int, int>, int> lineOf; // (label, SDI, channel) -> line
    std::array<std::vector<SdiBitsUse>, board::kInputBufferCells> sdiBitsOf;
    std::vector<util::CsvField> fields;
    while (reader.next(fields)) {
        const int line = reader.recordLine();
        try {
            LabelDefinition definition = readRow(RowReader(fields, positions));
            definition.line = line;
            const auto key = std::make_tuple(int{definition.label},
                                             definition.sdi ? int{*definition.sdi} : -1,
                                             definition.channelNo ? int{*definition.channelNo} : 0);
            const auto [at, added] = lineOf.emplace(key, line);
            if (!added)
                throw RowError{Label, "та же метка, SDI и канал, что в строке " +
                                          std::to_string(at->second)};
            const SdiBitsUse use = sdiBitsUse(definition, line);
            checkSdiBits(use, definition, sdiBitsOf[definition.label]);
            sdiBitsOf[definition.label].push_back(use);
            rows.push_back(std::move(definition));
        } catch (const RowError& problem) {
            const int position = positions[problem.column];
            return failed(position >= 0 ? fields[static_cast<std::size_t>(position)].line : line,
                          std::string(kColumnNames[problem.column]), problem.why);
        }
    }
    if (reader.error())
        return {std::nullopt, *reader.error()};
    return {LabelDatabase(std::move(rows)), {}};
}

LabelDatabaseLoad loadLabelDatabaseFile(const std::filesystem::path& path) {
    const util::FileText file = util::readTextFile(path, kLargestFileBytes);
    return file.text ? parseLabelDatabase(*file.text) : failed(0, "", file.why);
}

std::string unseenLabelsNotice(const LabelDatabase& database) {
    std::vector<std::uint8_t> labels;
    for (const LabelDefinition& row : database.rows())
        if (canLookEmpty(row) && std::find(labels.begin(), labels.end(), row.label) == labels.end())
            labels.push_back(row.label);
    if (labels.empty())
        return {};
    std::sort(labels.begin(), labels.end());
    std::string text = labels.size() == 1 ? "Метка " : "Метки ";
    for (std::size_t at = 0; at < labels.size(); ++at) {
        if (at != 0)
            text.append(", ");
        const unsigned label = labels[at];
        text.push_back(static_cast<char>('0' + (label >> 6)));
        text.push_back(static_cast<char>('0' + ((label >> 3) & 7u)));
        text.push_back(static_cast<char>('0' + (label & 7u)));
    }
    text.append(labels.size() == 1 ? " может" : " могут");
    text.append(" приходить словами с битами 17–32, равными нулю: модуль отмечает так пустую "
                "ячейку и таких слов не показывает. Наблюдение не считает эти метки пропавшими "
                "и не судит об их интервале.");
    return text;
}

std::string labelDatabaseErrorMessage(std::string_view fileName, const LabelDatabaseError& error) {
    return util::fileErrorText("Файл базы меток", fileName, error,
                               "; база меток, что в работе, не меняется.");
}

} // namespace labels
