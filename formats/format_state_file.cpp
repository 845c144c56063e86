#include "format_state_file.h"

#include "format_table.h"
#include "record_file.h"

#include "util/file_error.h"

#include <algorithm>
#include <fstream>
#include <span>

namespace formats {

std::size_t loadFormatState(DecimalFormatTable& formats, AssignmentTable& assignments,
                            const std::filesystem::path& file) {
    // A FIFO would hold the window until a writer came; a folder would read as no formats.
    std::ifstream in;
    if (util::fileRefusal(file, true).empty())
        in.open(file, std::ios::binary);
    if (!in.is_open()) {
        formats = DecimalFormatTable{};
        assignments = AssignmentTable{};
        return 0;
    }
    return loadFormatState(formats, assignments, in);
}

std::size_t loadFormatState(DecimalFormatTable& formats, AssignmentTable& assignments,
                            std::istream& in) {
    formats = DecimalFormatTable{};
    assignments = AssignmentTable{};
    const RecordsRead read =
        readRecords(in, std::as_writable_bytes(std::span(formats.slots)), sizeof(DecimalFormat));
    formats.formatCount = static_cast<std::uint16_t>(read.records);
    return read.ignored;
}

std::error_code saveFormatState(const DecimalFormatTable& formats,
                                const std::filesystem::path& file, util::FileWriter& writer) {
    const std::size_t count = std::min<std::size_t>(formats.formatCount, kFormatSlots);
    return util::writeFileReplacing(file, std::as_bytes(std::span(formats.slots).first(count)),
                                    writer);
}

FormatListClosing closeFormatList(DecimalFormatTable& formats, int gridRows,
                                  const std::filesystem::path& file) {
    FormatListClosing closing;
    closing.gridRows = compactFormats(formats, gridRows);
    closing.saveError = saveFormatState(formats, file);
    return closing;
}

std::string formatStateSaveWarning(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    if (ec)
        absolute = file;
    const std::u8string name = absolute.filename().u8string();
    const std::u8string folder = absolute.parent_path().u8string();
    std::string text = "Не удалось записать файл десятичных форматов ";
    text.append(name.begin(), name.end());
    text += " в папке «";
    text.append(folder.begin(), folder.end());
    text += "». Форматы действуют до конца работы программы, но при следующем запуске "
            "изменения будут потеряны; прежний файл, если он был, остался без изменений.";
    return text;
}

} // namespace formats
