#include "input_files.h"

#include "board_access.h"
#include "util/file_error.h"

#include <filesystem>

namespace cli {

void requireReadableFile(const std::string& path, const std::string& what) {
    if (const std::string why = util::fileRefusal(std::filesystem::u8path(path)); !why.empty())
        throw CommandFailure(what + " «" + path + "»: " + why);
}

} // namespace cli
