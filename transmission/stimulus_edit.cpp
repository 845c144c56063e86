#include "transmission/stimulus_edit.h"

#include "labels/standard_decoding.h"
#include "labels/standard_encoding.h"
#include "util/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace transmission {
namespace {

constexpr double kIntervalWithoutWindowMs = 100.0;

std::string numberText(double value) {
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
    return {text.data(), written.ptr};
}

/// The values a law reaches at its extremes: each must make a word.
std::vector<double> extremes(const Law& law) {
    switch (law.kind) {
    case LawKind::Constant: return {law.value};
    case LawKind::Linear: return {law.from, law.to};
    case LawKind::Sine: return {law.mean - law.amplitude, law.mean + law.amplitude};
    case LawKind::Steps: {
        std::vector<double> values;
        for (const Step& step : law.steps)
            values.push_back(step.value);
        return values;
    }
    }
    return {};
}

std::string commaAsPoint(std::string_view text) {
    std::string typed(text);
    std::replace(typed.begin(), typed.end(), ',', '.');
    return typed;
}

} // namespace

StimulusParameter parameterFor(const labels::LabelDefinition& definition) {
    StimulusParameter parameter;
    parameter.label = definition.label;
    parameter.sdi = definition.sdi;
    parameter.channelNo = definition.channelNo;
    parameter.definition = &definition;
    if (definition.least && *definition.least > 0.0)
        parameter.law.value = *definition.least;
    else if (definition.greatest && *definition.greatest < 0.0)
        parameter.law.value = *definition.greatest;
    parameter.intervalMs = labels::windowMiddleMs(definition).value_or(kIntervalWithoutWindowMs);
    return parameter;
}

std::string parameterProblem(const StimulusParameter& parameter) {
    for (const double value : extremes(parameter.law)) {
        labels::EncodeRequest request = parameter.requestAt(0.0);
        request.value = value;
        if (const labels::Encoded word = labels::encodeWord(*parameter.definition, request);
            !word.ok())
            return word.why;
    }
    return {};
}

std::string shownValue(const StimulusParameter& parameter, double seconds) {
    const labels::LabelDefinition& definition = *parameter.definition;
    const labels::Encoded word = labels::encodeWord(definition, parameter.requestAt(seconds));
    if (!word.ok())
        return word.why;
    std::string text = labels::engineeringText(*word.word, definition);
    if (definition.encoding == labels::LabelEncoding::Disc)
        return text.empty() ? "—" : text;
    if (!definition.units.empty())
        text += " " + definition.units;
    return text;
}

std::string setValueText(StimulusParameter& parameter, std::string_view text) {
    const std::optional<double> value = util::parseNumber(commaAsPoint(text));
    if (!value)
        return "не число";
    StimulusParameter changed = parameter;
    changed.law = Law{.kind = LawKind::Constant, .value = *value};
    if (std::string problem = parameterProblem(changed); !problem.empty())
        return problem;
    parameter = std::move(changed);
    return {};
}

std::string setIntervalText(StimulusParameter& parameter, std::string_view text) {
    const std::optional<double> interval = util::parseNumber(commaAsPoint(text));
    if (!interval || !(*interval > 0.0) || !std::isfinite(*interval))
        return "интервал не число больше нуля";
    parameter.intervalMs = *interval;
    return {};
}

std::string lawText(const Law& law) {
    switch (law.kind) {
    case LawKind::Constant: return "постоянно";
    case LawKind::Linear: {
        static constexpr std::array<std::string_view, 3> kEnds = {"затем держать", "повтор",
                                                                  "туда и обратно"};
        return "линейно " + numberText(law.from) + " → " + numberText(law.to) + " за " +
               numberText(law.seconds) + " с, " +
               std::string(kEnds[static_cast<std::size_t>(law.end)]);
    }
    case LawKind::Sine:
        return "синус " + numberText(law.mean) + " ± " + numberText(law.amplitude) + ", период " +
               numberText(law.periodSeconds) + " с";
    case LawKind::Steps: {
        std::string text = "ступени";
        for (std::size_t index = 0; index < law.steps.size(); ++index)
            text += (index == 0 ? " " : "; ") + numberText(law.steps[index].value) + " (" +
                    numberText(law.steps[index].dwellSeconds) + " с)";
        return text;
    }
    }
    return {};
}

std::string windowText(const labels::LabelDefinition& definition) {
    if (!definition.leastIntervalMs && !definition.greatestIntervalMs)
        return {};
    return (definition.leastIntervalMs ? numberText(*definition.leastIntervalMs) : "") + ".." +
           (definition.greatestIntervalMs ? numberText(*definition.greatestIntervalMs) : "");
}

LawFields fieldsOf(const Law& law) {
    return {.kind = law.kind,
            .value = numberText(law.value),
            .from = numberText(law.from),
            .to = numberText(law.to),
            .seconds = numberText(law.seconds),
            .end = law.end,
            .mean = numberText(law.mean),
            .amplitude = numberText(law.amplitude),
            .period = numberText(law.periodSeconds),
            .steps = stepsText(law.steps)};
}

LawEdit lawOf(const LawFields& fields) {
    Law law{.kind = fields.kind, .end = fields.end};
    const auto number = [](const std::string& text, const char* what, double& to) {
        const std::optional<double> value = util::parseNumber(commaAsPoint(text));
        if (value)
            to = *value;
        return value ? std::string() : std::string(what) + ": не число";
    };
    std::string why;
    switch (fields.kind) {
    case LawKind::Constant: why = number(fields.value, "значение", law.value); break;
    case LawKind::Linear:
        for (std::string problem :
             {number(fields.from, "от", law.from), number(fields.to, "до", law.to),
              number(fields.seconds, "за, с", law.seconds)})
            if (why.empty())
                why = std::move(problem);
        break;
    case LawKind::Sine:
        for (std::string problem : {number(fields.mean, "среднее", law.mean),
                                    number(fields.amplitude, "амплитуда", law.amplitude),
                                    number(fields.period, "период, с", law.periodSeconds)})
            if (why.empty())
                why = std::move(problem);
        break;
    case LawKind::Steps: {
        std::optional<std::vector<Step>> steps = parseStepsText(commaAsPoint(fields.steps));
        if (steps)
            law.steps = std::move(*steps);
        else
            why = "ступени: не список «значение:секунды» через «;»";
        break;
    }
    }
    if (why.empty())
        why = lawProblem(law);
    if (!why.empty())
        return {std::nullopt, why};
    return {law, {}};
}

} // namespace transmission
