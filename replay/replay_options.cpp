#include "replay/replay_options.h"

#include "labels/label_text.h"

#include <cmath>

namespace replay {

std::optional<std::bitset<256>> parseLabelFilter(std::string_view text) {
    std::bitset<256> labels;
    bool any = false;
    while (!text.empty()) {
        const std::size_t start = text.find_first_not_of(" ,;\t");
        if (start == std::string_view::npos)
            break;
        text.remove_prefix(start);
        const std::size_t end = std::min(text.find_first_of(" ,;\t"), text.size());
        const std::optional<std::uint8_t> label = labels::parseOctalLabel(text.substr(0, end));
        if (!label)
            return std::nullopt;
        labels.set(*label);
        any = true;
        text.remove_prefix(end);
    }
    return any ? labels : std::bitset<256>().set();
}

std::string optionsProblem(const ReplayOptions& options) {
    if (options.routes.empty())
        return "не задано, какой вход на какой выход";
    for (const ReplayRoute& route : options.routes) {
        if (route.inputNo < 1 || route.inputNo > 8 || route.outputNo < 1 || route.outputNo > 8)
            return "вход и выход — номера 1..8";
        for (const ReplayRoute& other : options.routes)
            if (other.outputNo == route.outputNo && other.rateCode != route.rateCode)
                return "у выхода " + std::to_string(route.outputNo) + " две частоты";
    }
    if (!(options.speed >= kSlowestSpeed && options.speed <= kFastestSpeed))
        return "скорость не от ×0,1 до ×10";
    if (options.labels.none())
        return "не выбрано ни одной метки";
    return {};
}

} // namespace replay
