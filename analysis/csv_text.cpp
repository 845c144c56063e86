#include "analysis/csv_text.h"

#include <algorithm>

namespace analysis {
namespace {

[[nodiscard]] bool needsQuotes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

} // namespace

char* writeCsvField(char* out, std::string_view text) {
    if (!needsQuotes(text))
        return std::copy(text.begin(), text.end(), out);
    *out++ = '"';
    for (char c : text) {
        if (c == '"')
            *out++ = '"';
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

} // namespace analysis
