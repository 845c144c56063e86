#pragma once

// The tool speaks Russian like the monitor: the checks of option values, and the failures of
// the command line that CLI11 itself finds, in the tool's own words.

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace cli {

/// @brief Makes `option` accept a whole number from `low` to `high`, shown in the help as
/// "low..high". Returns the option.
CLI::Option* wholeNumberWithin(CLI::Option* option, long low, long high);
/// @brief Makes `option` accept a decimal number (point as separator) from `low` to `high`.
CLI::Option* numberWithin(CLI::Option* option, double low, double high);
/// @brief Makes `option` accept one of `choices`, shown in the help as "a|b".
CLI::Option* oneOf(CLI::Option* option, std::vector<std::string> choices);

/// How the tool reads the numbers of its options, shown at the end of each help.
inline constexpr const char* kNumberForms =
    "Числа: целые - десятичные или шестнадцатеричные с 0x (0x1F), дробные - с точкой (0.5); "
    "число с нулём впереди (010, 08) не принимается: его читают и как восьмеричное, и как "
    "десятичное.";
/// The one exception, shown under the help of send: words are written as engineers write them.
inline constexpr const char* kWordForms =
    " Слова --words - исключение: слово с нулём впереди (0777) читается как восьмеричное.";

/// @brief Refuses "--flag=value" for an option that takes no value, in the parsed command or
/// above it: CLI11 would take "--no-init=false" as the flag itself. Throws CLI::ParseError.
void refuseFlagValues(const CLI::App& app, int argc, const char* const* argv);

/// @brief CLI11's help in Russian: its labels translated, and the option column padded by
/// the letters shown rather than by bytes, which Cyrillic type names would throw out.
class RussianHelp : public CLI::Formatter {
public:
    RussianHelp();
    std::string make_option(const CLI::Option* option, bool isPositional) const override;
};

/// @brief The text printed for a command line that could not be parsed, ending in a pointer to
/// the help; used as CLI11's failure message.
[[nodiscard]] std::string usageFailureText(const CLI::App* app, const CLI::Error& error);

} // namespace cli
