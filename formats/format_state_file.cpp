#include "format_state_file.h"

#include <fstream>

namespace formats {

std::size_t loadFormatState(DecimalFormatTable& formats, AssignmentTable& assignments,
                            const std::filesystem::path& file) {
    formats = DecimalFormatTable{};
    assignments = AssignmentTable{};

    std::ifstream in(file, std::ios::binary);
    if (!in)
        return 0;
    while (formats.formatCount < kFormatSlots) {
        auto& slot = formats.slots[formats.formatCount];
        in.read(reinterpret_cast<char*>(&slot), sizeof slot);
        if (in.gcount() == 0)
            return 0;
        ++formats.formatCount;
        if (!in)
            return 0;
    }
    std::size_t ignored = 0;
    DecimalFormat spare;
    while (in.read(reinterpret_cast<char*>(&spare), sizeof spare) || in.gcount() > 0)
        ++ignored;
    return ignored;
}

} // namespace formats
