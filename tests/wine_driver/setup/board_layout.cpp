#include "board_layout.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace wine_driver {
namespace {

TestBoardSettings& settingsAt(std::vector<TestBoardSettings>& boards, unsigned index) {
    for (TestBoardSettings& settings : boards)
        if (settings.board.interfaceIndex == index)
            return settings;
    TestBoardSettings absent;
    absent.board = {.interfaceIndex = index, .serial = 0, .inputs = 0, .outputs = 0};
    return boards.emplace_back(absent);
}

} // namespace

std::vector<TestBoardSettings> boardSettingsOf(const board::simulated::SimulatorConfig& config) {
    std::vector<TestBoardSettings> boards;
    for (const board::simulated::SimulatedBoardSpec& configured : config.boards)
        settingsAt(boards, configured.interfaceIndex).board = configured;
    for (const unsigned index : config.indicesFailingToOpen)
        settingsAt(boards, index).failsToOpen = 1;
    for (const board::simulated::FaultRule& rule : config.failingRequests) {
        TestBoardSettings& settings = settingsAt(boards, rule.interfaceIndex);
        if (settings.ruleCount < settings.rules.size())
            settings.rules[settings.ruleCount++] = rule;
    }
    std::sort(boards.begin(), boards.end(), [](const auto& a, const auto& b) {
        return a.board.interfaceIndex < b.board.interfaceIndex;
    });
    return boards;
}

std::string instanceIdFor(unsigned interfaceIndex) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), kInstanceIdFormat, interfaceIndex);
    return text.data();
}

} // namespace wine_driver
