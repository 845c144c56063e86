#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace util {

/// A field and the line of the file it starts on.
struct CsvField {
    std::string text;
    int line = 0;
};

/// @brief The line `offset` lies on, counting CR LF, LF and CR alone as line ends.
[[nodiscard]] int lineAt(std::string_view text, std::size_t offset);

/// @brief Reads comma-separated text as RFC 4180 has it, one record at a time: records end
/// with CR LF, LF alone or CR alone, a field in double quotes may hold commas, line ends and
/// doubled double quotes. A double quote inside an unquoted field, text after a closing quote and a
/// quote left open are errors, told with the line they are on.
class CsvReader {
public:
    explicit CsvReader(std::string_view text);

    /// Reads the next record into `fields`; false at the end of the text or at an error.
    bool next(std::vector<CsvField>& fields);

    [[nodiscard]] bool failed() const { return !error_.empty(); }
    [[nodiscard]] const std::string& error() const { return error_; }
    [[nodiscard]] int errorLine() const { return errorLine_; }
    /// The 1-based field of the record the error is in.
    [[nodiscard]] int errorField() const { return errorField_; }
    /// The line the last record read began on.
    [[nodiscard]] int recordLine() const { return recordLine_; }

private:
    bool fail(const char* why, int field);
    bool takeQuoted(std::string& text, int field);

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
    int recordLine_ = 0;
    std::string error_;
    int errorLine_ = 0;
    int errorField_ = 0;
};

} // namespace util
