#include "replay/replay_options.h"

#include <cmath>

namespace replay {

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
