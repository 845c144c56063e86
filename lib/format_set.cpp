#include "format_set.h"

#include "analysis/word_fields.h"
#include "formats/assignment_file.h"
#include "formats/format_state_file.h"
#include "reception/decimal_decode.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

namespace zelva1 {
namespace {

// The decimal column aligns its text with blanks; a script wants the text alone.
std::string_view withoutOuterBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

int FormatSet::load(const std::filesystem::path& formatFile,
                    const std::filesystem::path& assignmentFile) {
    // The monitor's readers take a missing file for an empty one; a script that names a file
    // wants to hear that it is not there.
    std::ifstream formatStream(formatFile, std::ios::binary);
    if (!formatStream)
        return ZELVA1_ERROR_FILE;
    formats::loadFormatState(formats_, assignments_, formatStream);
    if (!assignmentFile.empty()) {
        std::ifstream assignmentStream(assignmentFile, std::ios::binary);
        if (!assignmentStream)
            return ZELVA1_ERROR_FILE;
        static_cast<void>(formats::loadAssignmentFile(assignments_, assignmentStream));
    }
    reception::rebuildAllChannelsFormatLookup(lookup_, formats_, assignments_);
    return ZELVA1_OK;
}

void decodeWord(std::uint32_t word, const reception::ChannelFormatLookup* lookup,
                zelva1_decoded& decoded) {
    decoded = zelva1_decoded{};
    decoded.label = analysis::wordLabel(word);
    decoded.sdi = analysis::wordSdi(word);
    decoded.ssm = analysis::wordSsm(word);
    decoded.parity_ok = analysis::hasOddParity(word) ? 1 : 0;
    if (lookup == nullptr)
        return;
    const formats::DecimalFormat& format = lookup->slots[decoded.label];
    if (const auto value = reception::decimalValueWith(word, format)) {
        decoded.has_value = 1;
        decoded.value = value->signedValue();
    }
    std::array<char, reception::kDecimalTextCapacity> text{};
    const std::size_t length = reception::writeDecimalText(text, word, format);
    const std::string_view shown = withoutOuterBlanks({text.data(), length});
    const std::size_t kept = std::min(shown.size(), sizeof decoded.text - 1);
    std::copy_n(shown.data(), kept, decoded.text);
    decoded.text[kept] = '\0';
}

} // namespace zelva1
