#include "label_words.h"

#include "text_copy.h"

#include "labels/label_database_file.h"
#include "labels/standard_decoding.h"
#include "labels/standard_encoding.h"
#include "labels/word_fields.h"

#include <array>
#include <cstdio>

namespace zelva1 {
namespace {

// Labels are named in octal, as the database file and the monitor write them.
std::string labelText(unsigned label) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%03o", label);
    return text.data();
}

} // namespace

int loadDatabase(const std::filesystem::path& path,
                 std::shared_ptr<const labels::LabelDatabase>& loaded, std::string& message) {
    labels::LabelDatabaseLoad load = labels::loadLabelDatabaseFile(path);
    if (!load.ok()) {
        const std::u8string name = path.filename().u8string();
        message = util::fileErrorText("Файл базы меток", std::string(name.begin(), name.end()),
                                      load.error, ".");
        return load.error.line == 0 ? ZELVA1_ERROR_FILE : ZELVA1_ERROR_CONTENT;
    }
    loaded = std::make_shared<const labels::LabelDatabase>(std::move(*load.database));
    return ZELVA1_OK;
}

void readWord(const labels::LabelDatabase& database, unsigned channel, std::uint32_t word,
              zelva1_reading& reading) {
    reading = zelva1_reading{};
    reading.label = labels::wordLabel(word);
    reading.sdi = labels::wordSdi(word);
    reading.ssm = labels::wordSsm(word);
    reading.parity_ok = labels::hasOddParity(word) ? 1u : 0u;
    const labels::LabelDefinition* row = database.find(channel - 1, word);
    if (row == nullptr)
        return;
    reading.known = 1;
    reading.ssm_normal = labels::isNormalSsm(row->encoding, reading.ssm) ? 1u : 0u;
    if (const std::optional<double> value = labels::engineeringValue(word, *row)) {
        reading.has_value = 1;
        reading.value = *value;
    }
    reading.out_of_range = labels::isOutOfRange(word, *row) ? 1u : 0u;
    copyText(row->name, reading.name, sizeof reading.name);
    copyText(row->units, reading.units, sizeof reading.units);
    copyText(labels::engineeringText(word, *row), reading.text, sizeof reading.text);
    copyText(labels::ssmMeaning(row->encoding, reading.ssm), reading.ssm_text,
             sizeof reading.ssm_text);
}

namespace {

// The row of a label on an input: that of the SDI asked for, else of the lowest SDI that has
// one (a row for any SDI serves every SDI).
const labels::LabelDefinition* rowOf(const labels::LabelDatabase& database,
                                     const LabelValue& request) {
    const unsigned channelIndex = request.channel - 1;
    if (request.sdi >= 0)
        return database.find(channelIndex, request.label | static_cast<std::uint32_t>(request.sdi)
                                                               << 8);
    for (std::uint32_t sdi = 0; sdi < 4; ++sdi)
        if (const labels::LabelDefinition* row =
                database.find(channelIndex, request.label | sdi << 8))
            return row;
    return nullptr;
}

} // namespace

int encodeValue(const labels::LabelDatabase& database, const LabelValue& request,
                std::uint32_t& word, std::string& message) {
    const labels::LabelDefinition* row = rowOf(database, request);
    if (row == nullptr) {
        message = "в базе нет метки " + labelText(request.label) +
                  (request.sdi < 0 ? "" : " с SDI " + std::to_string(request.sdi)) +
                  " для входного канала № " + std::to_string(request.channel);
        return ZELVA1_ERROR_LABEL;
    }
    labels::EncodeRequest asked;
    asked.value = request.value;
    asked.discreteBits = request.discretes;
    if (request.sdi >= 0)
        asked.sdi = static_cast<std::uint8_t>(request.sdi);
    if (request.ssm >= 0)
        asked.ssm = static_cast<std::uint8_t>(request.ssm);
    asked.wrongParityOnPurpose = (request.flags & ZELVA1_WRONG_PARITY) != 0;
    asked.outsideRangeOnPurpose = (request.flags & ZELVA1_OUTSIDE_RANGE) != 0;
    const labels::Encoded encoded = labels::encodeWord(*row, asked);
    if (!encoded.ok()) {
        message = "метка " + labelText(request.label) + ": " + encoded.why;
        return ZELVA1_ERROR_VALUE;
    }
    word = *encoded.word;
    return ZELVA1_OK;
}

} // namespace zelva1
