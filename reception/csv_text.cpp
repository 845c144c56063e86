#include "csv_text.h"

namespace reception {
namespace {

[[nodiscard]] bool needsQuotes(std::string_view text) {
    return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

void appendCsvField(std::string& out, std::string_view text) {
    if (needsQuotes(text))
        appendQuoted(out, text);
    else
        out.append(text);
}

void quoteCsvFieldInPlace(std::string& out, std::size_t fieldStart) {
    const std::string_view field = std::string_view(out).substr(fieldStart);
    if (!needsQuotes(field))
        return;
    const std::string text(field); // rare: only texts of damaged or unusual formats get here
    out.resize(fieldStart);
    appendQuoted(out, text);
}

} // namespace reception
