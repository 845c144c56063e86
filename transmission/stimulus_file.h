#pragma once

#include "transmission/stimulus_law.h"

#include "labels/label_database.h"
#include "labels/standard_encoding.h"
#include "util/file_error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace transmission {

/// One parameter a stimulus sends: a label of the database, its law, the interval it goes out
/// at, and the faults a test may put into its words.
struct StimulusParameter {
    std::uint8_t label = 0;
    std::optional<std::uint8_t> sdi;       // where the database row takes any SDI
    std::optional<std::uint8_t> channelNo; // the input whose database row describes it
    const labels::LabelDefinition* definition = nullptr;
    Law law;
    std::uint32_t discreteBits = 0; // DISC: the named bits set
    std::optional<std::uint8_t> ssm;
    double intervalMs = 0.0;
    bool paused = false;
    bool wrongParity = false;
    bool outsideRange = false;

    /// The request for its word `seconds` after the stimulus started.
    [[nodiscard]] labels::EncodeRequest requestAt(double seconds) const;
};

// A stimulus file: UTF-8 comma-separated text (RFC 4180), a header naming the columns in any
// order (label and law must be there), one row per parameter.
inline constexpr std::string_view kStimulusFileFilter = "Имитация по параметрам|*.csv";

/// Where a file is wrong.
using StimulusError = util::FileError;

struct StimulusLoad {
    std::vector<StimulusParameter> parameters;
    std::optional<StimulusError> error;

    [[nodiscard]] bool ok() const { return !error.has_value(); }
};

/// @brief Reads a stimulus against `database`, whose rows the parameters point into: a label
/// it does not define, a law that cannot run, a value its bits or range cannot hold, a bit
/// name it does not know and an interval neither given nor in the database are errors; the
/// first error loads nothing. The interval defaults to the middle of the database's window.
[[nodiscard]] StimulusLoad parseStimulus(std::string_view text,
                                         const labels::LabelDatabase& database);
[[nodiscard]] StimulusLoad loadStimulusFile(const std::filesystem::path& path,
                                            const labels::LabelDatabase& database);

/// @brief The file's text for the parameters, read back by parseStimulus as they are.
[[nodiscard]] std::string stimulusText(const std::vector<StimulusParameter>& parameters);

/// @brief Writes the parameters' text in place of `path`, or leaves the file as it was.
/// @return the error that stopped it; empty on success.
[[nodiscard]] std::error_code saveStimulusFile(const std::filesystem::path& path,
                                               const std::vector<StimulusParameter>& parameters);

/// @brief The one message that tells the user why a file was not loaded.
[[nodiscard]] std::string stimulusErrorMessage(std::string_view fileName,
                                               const StimulusError& error);

} // namespace transmission
