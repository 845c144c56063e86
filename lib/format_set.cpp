#include "format_set.h"

#include "labels/word_fields.h"
#include "reception/decimal_decode.h"
#include "reception/format_lookup_files.h"
#include "util/trimmed.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zelva1 {

int FormatSet::load(const std::filesystem::path& formatFile,
                    const std::filesystem::path& assignmentFile) {
    return reception::loadFormatLookup(lookup_, formatFile, assignmentFile) ? ZELVA1_ERROR_FILE
                                                                            : ZELVA1_OK;
}

void decodeWord(std::uint32_t word, const reception::ChannelFormatLookup* lookup,
                zelva1_decoded& decoded) {
    decoded = zelva1_decoded{};
    decoded.label = labels::wordLabel(word);
    decoded.sdi = labels::wordSdi(word);
    decoded.ssm = labels::wordSsm(word);
    decoded.parity_ok = labels::hasOddParity(word) ? 1 : 0;
    if (lookup == nullptr)
        return;
    const formats::DecimalFormat& format = lookup->slots[decoded.label];
    if (const auto value = reception::decimalValueWith(word, format)) {
        decoded.has_value = 1;
        decoded.value = value->signedValue();
    }
    std::array<char, reception::kDecimalTextCapacity> text{};
    const std::size_t length = reception::writeDecimalText(text, word, format);
    // The decimal column aligns its text with blanks; a script wants the text alone.
    const std::string_view shown = util::trimmed({text.data(), length}, " ");
    const std::size_t kept = std::min(shown.size(), sizeof decoded.text - 1);
    std::copy_n(shown.data(), kept, decoded.text);
    decoded.text[kept] = '\0';
}

} // namespace zelva1
