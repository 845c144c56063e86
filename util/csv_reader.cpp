#include "util/csv_reader.h"

namespace util {

int lineAt(std::string_view text, std::size_t offset) {
    int line = 1;
    for (std::size_t at = 0; at < offset && at < text.size(); ++at)
        if (text[at] == '\n' ||
            (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n')))
            ++line;
    return line;
}

CsvReader::CsvReader(std::string_view text) : text_(text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        at_ = kByteOrderMark.size();
}

bool CsvReader::fail(const char* why, int field) {
    error_ = why;
    errorLine_ = line_;
    errorField_ = field;
    return false;
}

// After the opening quote; leaves `at_` after the closing one.
bool CsvReader::takeQuoted(std::string& text, int field) {
    const int openedOn = line_;
    while (at_ < text_.size()) {
        const char c = text_[at_++];
        if (c == '"') {
            if (at_ < text_.size() && text_[at_] == '"') {
                text.push_back('"');
                ++at_;
                continue;
            }
            return true;
        }
        if (c == '\n' || (c == '\r' && (at_ >= text_.size() || text_[at_] != '\n')))
            ++line_;
        text.push_back(c);
    }
    line_ = openedOn;
    return fail("кавычка не закрыта до конца файла", field);
}

bool CsvReader::next(std::vector<CsvField>& fields) {
    fields.clear();
    if (failed() || at_ >= text_.size())
        return false;
    recordLine_ = line_;
    while (true) {
        CsvField& field = fields.emplace_back();
        field.line = line_;
        const int number = static_cast<int>(fields.size());
        if (at_ < text_.size() && text_[at_] == '"') {
            ++at_;
            if (!takeQuoted(field.text, number))
                return false;
        } else {
            while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '\n' &&
                   text_[at_] != '\r') {
                if (text_[at_] == '"')
                    return fail("кавычка внутри поля без кавычек", number);
                field.text.push_back(text_[at_++]);
            }
        }
        if (at_ >= text_.size())
            return true;
        const char c = text_[at_];
        if (c == ',') {
            ++at_;
            continue;
        }
        // CR LF, LF or CR alone: whatever system wrote the file.
        if (c == '\r' || c == '\n') {
            ++at_;
            if (c == '\r' && at_ < text_.size() && text_[at_] == '\n')
                ++at_;
            ++line_;
            return true;
        }
        return fail("текст после закрывающей кавычки", number);
    }
}

} // namespace util
