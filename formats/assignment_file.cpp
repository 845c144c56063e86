#include "assignment_file.h"

#include "assignment_table.h"
#include "grid_rows.h"
#include "record_file.h"

#include "util/file_error.h"

#include <algorithm>
#include <fstream>
#include <span>

namespace formats {

AssignmentFileLoad loadAssignmentFile(AssignmentTable& table, const std::filesystem::path& file) {
    // A FIFO would hold the window until a writer came; a folder would read as no assignments.
    AssignmentFileLoad refused;
    refused.why = util::fileRefusal(file, true);
    if (!refused.why.empty())
        return refused;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        refused.why = "файл не читается";
        return refused;
    }
    return loadAssignmentFile(table, in);
}

AssignmentFileLoad loadAssignmentFile(AssignmentTable& table, std::istream& in) {
    AssignmentFileLoad load;
    load.opened = true;
    for (ParamFormatAssignment& slot : table.slots)
        slot.channel = 0;
    const RecordsRead read = readRecords(in, std::as_writable_bytes(std::span(table.slots)),
                                         sizeof(ParamFormatAssignment));
    table.assignmentCount = static_cast<std::uint16_t>(read.records);
    load.gridRows = gridRowsFor(table.assignmentCount);
    load.ignoredRecords = read.ignored;
    return load;
}

AssignmentFileSave saveAssignmentFile(AssignmentTable& table, int gridRows,
                                      const std::filesystem::path& file, util::FileWriter& writer) {
    AssignmentFileSave save;
    save.gridRows = compactAssignments(table, gridRows);
    const std::size_t count = std::min<std::size_t>(table.assignmentCount, kAssignmentSlots);
    save.error =
        util::writeFileReplacing(file, std::as_bytes(std::span(table.slots).first(count)), writer);
    return save;
}

} // namespace formats
