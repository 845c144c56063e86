#pragma once

#include "zelva1.h"

#include "labels/label_database.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace zelva1 {

/// @brief Reads a label database file with the monitor's loader.
/// @return ZELVA1_OK with the database in `loaded`, else ZELVA1_ERROR_FILE (unreadable) or
/// ZELVA1_ERROR_CONTENT with the monitor's message in `message`.
[[nodiscard]] int loadDatabase(const std::filesystem::path& path,
                               std::shared_ptr<const labels::LabelDatabase>& loaded,
                               std::string& message);

/// @brief A word received on input `channel` (1..8) read by its row, as the label watch shows it.
void readWord(const labels::LabelDatabase& database, unsigned channel, std::uint32_t word,
              zelva1_reading& reading);

/// What zelva1_encode() asks for, its arguments checked.
struct LabelValue {
    unsigned channel = 1;
    unsigned label = 0;
    int sdi = -1;
    int ssm = -1;
    double value = 0.0;
    std::uint32_t discretes = 0;
    unsigned flags = 0;
};

/// @brief The word for a value by the database's row for its label.
/// @return ZELVA1_OK with `word` set, or ZELVA1_ERROR_LABEL / ZELVA1_ERROR_VALUE with the
/// reason in `message`.
[[nodiscard]] int encodeValue(const labels::LabelDatabase& database, const LabelValue& request,
                              std::uint32_t& word, std::string& message);

} // namespace zelva1
