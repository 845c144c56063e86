#include "transmission/stimulus_law.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace transmission {
namespace {

double linearAt(const Law& law, double seconds) {
    double position = seconds / law.seconds; // runs of the ramp since the start
    switch (law.end) {
    case LinearEnd::Hold: position = std::min(position, 1.0); break;
    case LinearEnd::Repeat: position -= std::floor(position); break;
    case LinearEnd::BackAndForth: {
        const double round = std::fmod(position, 2.0);
        position = round <= 1.0 ? round : 2.0 - round;
        break;
    }
    }
    return law.from + (law.to - law.from) * position;
}

double stepsAt(const Law& law, double seconds) {
    double cycle = 0.0;
    for (const Step& step : law.steps)
        cycle += step.dwellSeconds;
    double into = std::fmod(seconds, cycle);
    for (const Step& step : law.steps) {
        if (into < step.dwellSeconds)
            return step.value;
        into -= step.dwellSeconds;
    }
    return law.steps.back().value;
}

} // namespace

double valueAt(const Law& law, double seconds) {
    seconds = std::max(seconds, 0.0);
    switch (law.kind) {
    case LawKind::Constant: return law.value;
    case LawKind::Linear: return linearAt(law, seconds);
    case LawKind::Sine:
        return law.mean +
               law.amplitude * std::sin(2.0 * std::numbers::pi * seconds / law.periodSeconds);
    case LawKind::Steps: return stepsAt(law, seconds);
    }
    return law.value;
}

std::string lawProblem(const Law& law) {
    switch (law.kind) {
    case LawKind::Constant: return {};
    case LawKind::Linear:
        return law.seconds > 0.0 ? std::string() : "время изменения не больше нуля";
    case LawKind::Sine: return law.periodSeconds > 0.0 ? std::string() : "период не больше нуля";
    case LawKind::Steps:
        if (law.steps.empty())
            return "нет ступеней";
        for (const Step& step : law.steps)
            if (!(step.dwellSeconds > 0.0))
                return "длительность ступени не больше нуля";
        return {};
    }
    return {};
}

} // namespace transmission
