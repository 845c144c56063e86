#include "reception/format_lookup_files.h"

#include "formats/assignment_file.h"
#include "formats/format_state_file.h"

#include <fstream>
#include <memory>

namespace reception {

std::optional<std::filesystem::path> loadFormatLookup(AllChannelsFormatLookup& lookup,
                                                      const std::filesystem::path& formatFile,
                                                      const std::filesystem::path& assignmentFile) {
    // Only the lookup outlives the call: its slots are copies of the formats.
    auto formatTable = std::make_unique<formats::DecimalFormatTable>();
    auto assignments = std::make_unique<formats::AssignmentTable>();
    std::ifstream formatStream(formatFile, std::ios::binary);
    if (!formatStream)
        return formatFile;
    formats::loadFormatState(*formatTable, *assignments, formatStream);
    if (!assignmentFile.empty()) {
        std::ifstream assignmentStream(assignmentFile, std::ios::binary);
        if (!assignmentStream)
            return assignmentFile;
        static_cast<void>(formats::loadAssignmentFile(*assignments, assignmentStream));
    }
    rebuildAllChannelsFormatLookup(lookup, *formatTable, *assignments);
    return std::nullopt;
}

} // namespace reception
