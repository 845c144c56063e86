#include "usage_texts.h"

#include <array>
#include <charconv>
#include <cstdio>
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
bool parsedExactly(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc{} && stop == end;
}

CLI::Validator rangeCheck(double low, double high, bool whole) {
    const std::string bounds = shortNumber(low) + ".." + shortNumber(high);
    return {[=](const std::string& text) -> std::string {
                double value = 0;
                long wholeValue = 0;
                const bool parsed = whole ? parsedExactly(text, wholeValue)
                                          : parsedExactly(text, value);
                if (!parsed)
                    return "\"" + text + "\" не " + (whole ? "целое число" : "число");
                if (whole)
                    value = static_cast<double>(wholeValue);
                if (value < low || value > high)
                    return "значение " + text + " вне пределов " + bounds;
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
               " (list, receive, send или loopback)";
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

} // namespace

CLI::Validator wholeNumberWithin(long low, long high) {
    return rangeCheck(static_cast<double>(low), static_cast<double>(high), true);
}

CLI::Validator numberWithin(double low, double high) { return rangeCheck(low, high, false); }

CLI::Validator oneOf(std::vector<std::string> choices) {
    std::string listed;
    for (const std::string& choice : choices)
        listed += (listed.empty() ? "" : ", ") + choice;
    return {[choices = std::move(choices), listed](const std::string& text) -> std::string {
                for (const std::string& choice : choices)
                    if (text == choice)
                        return {};
                return "\"" + text + "\" не из допустимых: " + listed;
            },
            ""};
}

std::string usageFailureText(const CLI::App* app, const CLI::Error& error) {
    // The help to point at is the command's, when the line named one.
    std::string helped = app->get_name();
    if (const std::vector<CLI::App*> commands = app->get_subcommands(); !commands.empty())
        helped += " " + commands.front()->get_name();
    return app->get_name() + ": " + describe(*app, error) + "\nПодробнее: " + helped + " --help\n";
}

} // namespace cli
