#pragma once

#include "transmission/stimulus_file.h"

#include "labels/label_definition.h"

#include <optional>
#include <string>
#include <string_view>

namespace transmission {

/// @brief A parameter for a database row as the user first adds it: constant at zero, or at
/// the bound nearest zero where zero is outside the row's range, sent at the middle of the
/// row's transmit window (100 ms where the row gives none).
[[nodiscard]] StimulusParameter parameterFor(const labels::LabelDefinition& definition);

/// @brief Why some value the parameter's law reaches makes no word (beyond the bits, or the
/// range unless that is on purpose), or empty.
[[nodiscard]] std::string parameterProblem(const StimulusParameter& parameter);

/// @brief The value the parameter's word says `seconds` after the start, as the watch shows
/// it: the decoded word with its units (what is sent, not the law's unrounded value); for a
/// discrete word the names of its bits that are set, "—" when none is.
[[nodiscard]] std::string shownValue(const StimulusParameter& parameter, double seconds);

/// @brief Makes the law a constant of the value typed (a decimal comma is taken as a point);
/// the parameter stays as it was and the reason is returned when the value makes no word.
[[nodiscard]] std::string setValueText(StimulusParameter& parameter, std::string_view text);

/// @brief Sets the interval typed, in ms; the reason when it is not a number above zero.
[[nodiscard]] std::string setIntervalText(StimulusParameter& parameter, std::string_view text);

/// @brief The law in a few words: «постоянно», «линейно 90 → 150 за 60 с, туда и обратно»,
/// «синус 37.62 ± 0.01, период 600 с», «ступени 0 (5 с); 10 (5 с)».
[[nodiscard]] std::string lawText(const Law& law);

/// A law as the user types it: each number as text, a decimal comma taken as a point.
struct LawFields {
    LawKind kind = LawKind::Constant;
    std::string value{};
    std::string from{};
    std::string to{};
    std::string seconds{};
    LinearEnd end = LinearEnd::Hold;
    std::string mean{};
    std::string amplitude{};
    std::string period{};
    std::string steps{}; // «value:seconds;…»
};

/// The law made of the fields, or why there is none.
struct LawEdit {
    std::optional<Law> law;
    std::string why;
};

[[nodiscard]] LawFields fieldsOf(const Law& law);
[[nodiscard]] LawEdit lawOf(const LawFields& fields);

/// @brief The parameter's transmit window from the database, «50..75», or empty.
[[nodiscard]] std::string windowText(const labels::LabelDefinition& definition);

} // namespace transmission
