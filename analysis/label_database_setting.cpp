#include "analysis/label_database_setting.h"

#include "util/file_replacing.h"

#include <fstream>
#include <string_view>

namespace analysis {
namespace {

constexpr std::string_view kKey = "database=";

} // namespace

std::optional<std::filesystem::path> readLabelDatabaseSetting(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with(kKey) && line.size() > kKey.size()) {
            const std::string path = line.substr(kKey.size());
            return std::filesystem::path(std::u8string(path.begin(), path.end()));
        }
    }
    return std::nullopt;
}

std::error_code writeLabelDatabaseSetting(const std::optional<std::filesystem::path>& database,
                                          const std::filesystem::path& file) {
    std::string text;
    if (database) {
        const std::u8string path = database->u8string();
        text.append(kKey);
        text.append(path.begin(), path.end());
        text.push_back('\n');
    }
    return util::writeFileReplacing(file, std::as_bytes(std::span(text.data(), text.size())));
}

} // namespace analysis
