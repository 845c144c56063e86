#include "format_set.h"

#include "labels/word_fields.h"
#include "reception/decimal_decode.h"
#include "reception/format_lookup_files.h"
#include "util/file_error.h"
#include "util/trimmed.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace zelva1 {

namespace {

// "Файл форматов «KST3frmt.stt» не загружен: файла нет.", as the label database says it.
std::string refusalText(const char* what, const std::filesystem::path& path,
                        const std::string& why) {
    const std::u8string name = path.filename().u8string();
    return util::fileErrorText(what, std::string(name.begin(), name.end()), {0, {}, why}, ".");
}

} // namespace

int FormatSet::load(const std::filesystem::path& formatFile,
                    const std::optional<std::filesystem::path>& assignmentFile, std::string& why) {
    constexpr const char* kFormats = "Файл форматов";
    constexpr const char* kAssignments = "Файл назначений";
    std::string reason = util::fileRefusal(formatFile);
    if (!reason.empty()) {
        why = refusalText(kFormats, formatFile, reason);
        return ZELVA1_ERROR_FILE;
    }
    if (assignmentFile && !(reason = util::fileRefusal(*assignmentFile)).empty()) {
        why = refusalText(kAssignments, *assignmentFile, reason);
        return ZELVA1_ERROR_FILE;
    }
    const std::filesystem::path none;
    if (const auto unread =
            reception::loadFormatLookup(lookup_, formatFile, assignmentFile.value_or(none))) {
        why = refusalText(*unread == formatFile ? kFormats : kAssignments, *unread,
                          "файл не читается");
        return ZELVA1_ERROR_FILE;
    }
    return ZELVA1_OK;
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
