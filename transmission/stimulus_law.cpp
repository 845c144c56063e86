#include "transmission/stimulus_law.h"

#include "util/number_text.h"
#include "util/trimmed.h"

#include <algorithm>
#include <array>
#include <charconv>
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

std::optional<std::vector<Step>> parseStepsText(std::string_view text) {
    std::vector<Step> steps;
    while (!util::trimmed(text).empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view item = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        const std::optional<double> value = util::parseNumber(item.substr(0, colon));
        const std::optional<double> dwell = util::parseNumber(item.substr(colon + 1));
        if (!value || !dwell)
            return std::nullopt;
        steps.push_back({*value, *dwell});
    }
    return steps;
}

std::string stepsText(const std::vector<Step>& steps) {
    std::string text;
    for (const Step& step : steps) {
        std::array<char, 64> item{};
        char* end = item.data() + item.size();
        char* at = std::to_chars(item.data(), end, step.value).ptr;
        *at++ = ':';
        at = std::to_chars(at, end, step.dwellSeconds).ptr;
        if (!text.empty())
            text.push_back(';');
        text.append(item.data(), at); // appended, not concatenated: GCC 12 at -O3 warns falsely
    }
    return text;
}

} // namespace transmission
