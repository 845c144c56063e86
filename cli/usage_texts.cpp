#include "usage_texts.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <system_error>
#include <utility>

namespace cli {
namespace {

std::string shortNumber(double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%g", value);
    return text.data();
}

template <typename Number>
bool parsedExactly(std::string_view text, Number& value, int base = 10) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    return error == std::errc{} && stop == end;
}

bool parsedExactly(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc{} && stop == end;
}

// A zero before another digit reads as octal to C and to CLI11's own conversion but as decimal
// to a person, so "010" is refused rather than taken either way.
bool leadingZeroAmbiguous(std::string_view text) {
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    return text.size() > 1 && text[0] == '0' && text[1] >= '0' && text[1] <= '9';
}

// The value of a whole number written in decimal or in hexadecimal after "0x", or why it is no
// such number.
std::string readWholeNumber(const std::string& text, long& value) {
    if (leadingZeroAmbiguous(text))
        return "\"" + text + "\": число с нулём впереди неоднозначно (восьмеричное или " +
               "десятичное?); пишите десятичное без нуля впереди или шестнадцатеричное с 0x";
    const std::string_view view = text;
    const bool hexadecimal = view.size() > 2 &&
                             (view.substr(0, 2) == "0x" || view.substr(0, 2) == "0X");
    if (hexadecimal ? view[2] == '-' || !parsedExactly(view.substr(2), value, 16)
                    : !parsedExactly(view, value))
        return "\"" + text + "\" не целое число (десятичное или шестнадцатеричное с 0x)";
    return {};
}

// The value of a decimal number with a point, finite, or why it is not one.
std::string readDecimalNumber(const std::string& text, double& value) {
    if (leadingZeroAmbiguous(text))
        return "\"" + text + "\": число с нулём впереди неоднозначно; пишите его без нуля " +
               "впереди (0.5, а не 00.5)";
    if (!parsedExactly(text, value))
        return "\"" + text + "\" не число";
    if (!std::isfinite(value))
        return "\"" + text + "\" не конечное число";
    return {};
}

// Checks the number and hands CLI11 its plain decimal text, so that CLI11's own conversion,
// which reads a leading zero as octal, never sees anything else.
CLI::Validator rangeCheck(double low, double high, bool whole, const std::string& bounds) {
    return {[=](std::string& text) -> std::string {
                double value = 0;
                long wholeValue = 0;
                std::string wrong = whole ? readWholeNumber(text, wholeValue)
                                          : readDecimalNumber(text, value);
                if (!wrong.empty())
                    return wrong;
                if (whole)
                    value = static_cast<double>(wholeValue);
                if (value < low || value > high)
                    return "значение " + text + " вне пределов " + bounds;
                if (whole)
                    text = std::to_string(wholeValue);
                return {};
            },
            ""};
}

// What follows the last ": " of CLI11's text (the arguments it names), or the whole text.
std::string afterColon(const std::string& text) {
    const std::size_t colon = text.rfind(": ");
    return colon == std::string::npos ? text : text.substr(colon + 2);
}

// The option a CLI11 text starts with ("--input: ..."), or empty.
std::string leadingOption(const std::string& text) {
    if (text.rfind('-', 0) != 0)
        return {};
    return text.substr(0, text.find(':'));
}

std::string requiredText(const std::string& text, const std::vector<std::string>& unparsed) {
    if (text.rfind("A subcommand", 0) == 0)
        return (unparsed.empty() ? std::string("не указана команда")
                                 : "неизвестная команда " + unparsed.front()) +
               " (list, receive, send, stimulate или loopback)";
    const std::size_t required = text.find(" is required");
    if (required != std::string::npos)
        return "не указан параметр " + text.substr(0, required);
    return "не указаны обязательные параметры";
}

std::string conversionText(const std::string& text) {
    const std::string prefix = "Could not convert: ";
    if (text.rfind(prefix, 0) == 0)
        return "недопустимое значение: " + text.substr(prefix.size());
    if (const std::string option = leadingOption(text); !option.empty())
        return "флаг " + option + " не принимает значения";
    return "недопустимое значение параметра";
}

std::string mismatchText(const std::string& text) {
    std::string option = leadingOption(text);
    if (option.empty()) {
        const std::size_t to = text.find(" to ");
        if (to != std::string::npos)
            option = text.substr(to + 4, text.find(',', to) - to - 4);
    }
    const bool none = text.find(" missing") != std::string::npos ||
                      text.find(", got 0") != std::string::npos;
    return "у параметра" + (option.empty() ? std::string() : " " + option) +
           (none ? " нет значения" : " не то число значений");
}

std::string describe(const CLI::App& app, const CLI::Error& error) {
    std::string text = error.what();
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr)
        return text; // our own validators' words after the option's name
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr)
        return requiredText(text, app.remaining());
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr)
        return "лишние аргументы: " + afterColon(text);
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr)
        return mismatchText(text);
    if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr)
        return conversionText(text);
    if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr ||
        dynamic_cast<const CLI::RequiresError*>(&error) != nullptr)
        return "несовместимые параметры (" + text + ")";
    return "ошибка в командной строке (" + text + ")";
}

// The letters a UTF-8 text shows: every byte but the continuation bytes.
std::size_t shownLength(const std::string& text) {
    std::size_t letters = 0;
    for (const char c : text)
        letters += (static_cast<unsigned char>(c) & 0xC0u) == 0x80u ? 0 : 1;
    return letters;
}

} // namespace

RussianHelp::RussianHelp() {
    label("Usage", "Использование");
    label("OPTIONS", "ПАРАМЕТРЫ");
    label("Options", "Параметры");
    label("SUBCOMMAND", "КОМАНДА");
    label("Subcommands", "Команды");
    label("REQUIRED", "обязательный");
    label("Positionals", "Аргументы");
}

std::string RussianHelp::make_option(const CLI::Option* option, bool isPositional) const {
    // As CLI11 lays an option out, with the padding counted in letters.
    const std::string name =
        "  " + make_option_name(option, isPositional) + make_option_opts(option);
    const std::size_t width = get_column_width();
    const std::size_t shown = shownLength(name);
    std::string line = name;
    line += shown < width ? std::string(width - shown, ' ') : "\n" + std::string(width, ' ');
    for (const char c : make_option_desc(option)) {
        line += c;
        if (c == '\n')
            line += std::string(width, ' ');
    }
    return line + "\n";
}

CLI::Option* wholeNumberWithin(CLI::Option* option, long low, long high) {
    const std::string bounds = std::to_string(low) + ".." + std::to_string(high);
    return option
        ->transform(rangeCheck(static_cast<double>(low), static_cast<double>(high), true, bounds))
        ->type_name(bounds);
}

CLI::Option* numberWithin(CLI::Option* option, double low, double high) {
    const std::string bounds = shortNumber(low) + ".." + shortNumber(high);
    return option->transform(rangeCheck(low, high, false, bounds))->type_name("ЧИСЛО");
}

CLI::Option* oneOf(CLI::Option* option, std::vector<std::string> choices) {
    std::string listed;
    std::string shown;
    for (const std::string& choice : choices) {
        listed += (listed.empty() ? "" : ", ") + choice;
        shown += (shown.empty() ? "" : "|") + choice;
    }
    return option
        ->check({[choices = std::move(choices), listed](const std::string& text) -> std::string {
                     for (const std::string& choice : choices)
                         if (text == choice)
                             return {};
                     return "\"" + text + "\" не из допустимых: " + listed;
                 },
                 ""})
        ->type_name(shown);
}

void refuseFlagValues(const CLI::App& app, int argc, const char* const* argv) {
    std::vector<const CLI::App*> commands{&app};
    for (const CLI::App* command : app.get_subcommands())
        commands.push_back(command);
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--")
            return;
        const std::size_t equals = argument.find('=');
        if (argument.rfind("--", 0) != 0 || equals == std::string_view::npos)
            continue;
        const std::string name(argument.substr(0, equals));
        for (const CLI::App* command : commands) {
            const CLI::Option* option = command->get_option_no_throw(name);
            if (option != nullptr && option->get_items_expected_max() == 0)
                throw CLI::ConversionError::TooManyInputsFlag(name);
        }
    }
}

std::string usageFailureText(const CLI::App* app, const CLI::Error& error) {
    // The help to point at is the command's, when the line named one.
    std::string helped = app->get_name();
    if (const std::vector<CLI::App*> commands = app->get_subcommands(); !commands.empty())
        helped += " " + commands.front()->get_name();
    return app->get_name() + ": " + describe(*app, error) + "\nПодробнее: " + helped + " --help\n";
}

} // namespace cli
