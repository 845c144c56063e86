#include "util/named_columns.h"

#include "util/trimmed.h"
#include "util/utf8.h"

#include <algorithm>

namespace util {

NamedColumnsReader::NamedColumnsReader(std::string_view text,
                                       std::span<const std::string_view> names)
    : names_(names), reader_(text), positions_(names.size(), -1) {
    if (const std::size_t bad = firstNonUtf8(text); bad != std::string_view::npos) {
        (void)fail(lineAt(text, bad), "", "текст не в UTF-8");
        return;
    }
    std::vector<CsvField> fields;
    if (!reader_.next(fields)) {
        (void)fail(reader_.failed() ? reader_.errorLine() : 1, "",
                   reader_.failed() ? reader_.error() : "нет строки заголовка");
        return;
    }
    for (std::size_t at = 0; at < fields.size(); ++at) {
        const std::string_view name = trimmed(fields[at].text);
        header_.emplace_back(name);
        const auto known = std::find(names.begin(), names.end(), name);
        if (known == names.end()) {
            (void)fail(1, std::string(name), "неизвестный столбец");
            return;
        }
        int& position = positions_[static_cast<std::size_t>(known - names.begin())];
        if (position >= 0) {
            (void)fail(1, std::string(name), "столбец назван дважды");
            return;
        }
        position = static_cast<int>(at);
    }
}

bool NamedColumnsReader::fail(int line, std::string column, std::string why) {
    error_ = FileError{line, std::move(column), std::move(why)};
    return false;
}

std::optional<FileError> NamedColumnsReader::require(std::size_t name) const {
    if (positions_[name] >= 0)
        return std::nullopt;
    return FileError{1, std::string(names_[name]), "нет такого столбца"};
}

bool NamedColumnsReader::next(std::vector<CsvField>& fields) {
    if (error_)
        return false;
    while (reader_.next(fields)) {
        if (fields.size() == 1 && trimmed(fields[0].text).empty())
            continue; // a blank line
        if (fields.size() != header_.size())
            return fail(reader_.recordLine(), "",
                        "полей " + std::to_string(fields.size()) + ", а в заголовке " +
                            std::to_string(header_.size()));
        return true;
    }
    if (reader_.failed()) {
        const auto field = static_cast<std::size_t>(reader_.errorField() - 1);
        return fail(reader_.errorLine(), field < header_.size() ? header_[field] : std::string(),
                    reader_.error());
    }
    return false;
}

} // namespace util
