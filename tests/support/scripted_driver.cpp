#include "scripted_driver.h"

#include <algorithm>
#include <utility>

namespace testing_support {

board::OpenResult ScriptedDriver::open(unsigned interfaceIndex) {
    opened_.push_back(interfaceIndex);
    if (!boards_.contains(interfaceIndex))
        return {board::kNoDevice, 259};
    return {handleFor(interfaceIndex), 0};
}

bool ScriptedDriver::send(board::DeviceHandle handle, std::uint32_t code,
                          std::span<const std::byte> input, std::span<std::byte> output) {
    RecordedRequest request{handle, code, {input.begin(), input.end()}, output.size()};
    requests_.push_back(request);
    if (failEverything_ || failing_.contains(code))
        return false;
    if (auto it = u16Answers_.find({handle, code}); it != u16Answers_.end()) {
        if (output.size() >= sizeof(std::uint16_t))
            std::memcpy(output.data(), &it->second, sizeof(std::uint16_t));
        return true;
    }
    if (auto it = answers_.find(code); it != answers_.end())
        return it->second(request, output);
    return true;
}

void ScriptedDriver::addBoard(unsigned interfaceIndex) { boards_.insert(interfaceIndex); }

board::DeviceHandle ScriptedDriver::handleFor(unsigned interfaceIndex) {
    return 0x100 + interfaceIndex;
}

void ScriptedDriver::answer(std::uint32_t code, Answer answer) {
    answers_[code] = std::move(answer);
}

void ScriptedDriver::answerU16(board::DeviceHandle handle, std::uint32_t code,
                               std::uint16_t value) {
    u16Answers_[{handle, code}] = value;
}

void ScriptedDriver::fail(std::uint32_t code) { failing_.insert(code); }

std::vector<RecordedRequest> ScriptedDriver::requestsWithCode(std::uint32_t code) const {
    std::vector<RecordedRequest> matching;
    std::copy_if(requests_.begin(), requests_.end(), std::back_inserter(matching),
                 [code](const RecordedRequest& r) { return r.code == code; });
    return matching;
}

} // namespace testing_support
