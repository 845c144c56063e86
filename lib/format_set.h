#pragma once

#include "zelva1.h"

#include "reception/format_lookup.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zelva1 {

/// @brief A decimal format table and its assignments, turned into the lookup by which the
/// monitor's decimal column decodes each input channel.
class FormatSet {
public:
    /// @brief Reads the two files with the monitor's readers; no assignment path reads none.
    /// @return ZELVA1_OK, or ZELVA1_ERROR_FILE when a file is no file to read (missing, a folder,
    /// a FIFO or a device, empty, not readable, or an empty path), with the file and why in `why`.
    [[nodiscard]] int load(const std::filesystem::path& formatFile,
                           const std::optional<std::filesystem::path>& assignmentFile,
                           std::string& why);

    [[nodiscard]] const reception::ChannelFormatLookup& channel(unsigned channelNo) const {
        return lookup_.channels[channelNo - 1];
    }

private:
    reception::AllChannelsFormatLookup lookup_{};
};

/// @brief The fields of a word, and its decimal value through `lookup` when given.
void decodeWord(std::uint32_t word, const reception::ChannelFormatLookup* lookup,
                zelva1_decoded& decoded);

} // namespace zelva1
