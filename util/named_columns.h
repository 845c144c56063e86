#pragma once

#include "util/csv_reader.h"
#include "util/file_error.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace util {

/// @brief A UTF-8 comma-separated file whose first record names its columns, in any order,
/// each one of a known set; then its records one by one, blank lines skipped. Every problem
/// is a FileError with its line and, where it has one, its column: text not in UTF-8, no
/// header, an unknown or repeated column, a record with another count of fields, and what
/// the CSV reader finds.
class NamedColumnsReader {
public:
    NamedColumnsReader(std::string_view text, std::span<const std::string_view> names);

    /// The header's problem, or after next() returned false, the records' (none at the end).
    [[nodiscard]] const std::optional<FileError>& error() const { return error_; }
    /// Where the named column (its index among the names) is in a record; -1 when absent.
    [[nodiscard]] int position(std::size_t name) const { return positions_[name]; }
    /// A missing column as an error, when it is.
    [[nodiscard]] std::optional<FileError> require(std::size_t name) const;

    /// The next record with as many fields as the header; false at the end or at an error.
    bool next(std::vector<CsvField>& fields);
    [[nodiscard]] int recordLine() const { return reader_.recordLine(); }

private:
    bool fail(int line, std::string column, std::string why);

    std::span<const std::string_view> names_;
    CsvReader reader_;
    std::vector<int> positions_;
    std::vector<std::string> header_;
    std::optional<FileError> error_;
};

} // namespace util
