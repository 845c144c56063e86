#include "wine_tools.h"

#include <windows.h>

#include <vector>

namespace wine_driver {
namespace {

constexpr DWORD kToolTimeoutMs = 60'000;

} // namespace

std::string windowsPath(const std::string& unixPath) {
    if (unixPath.empty() || unixPath.front() != '/')
        return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

StartedTool::StartedTool(const std::string& unixPath,
                         std::initializer_list<std::string> arguments) {
    std::string commandLine = "\"" + windowsPath(unixPath) + "\"";
    for (const std::string& argument : arguments)
        commandLine += " \"" + windowsPath(argument) + "\"";
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return;
    CloseHandle(process.hThread);
    process_ = process.hProcess;
}

StartedTool::~StartedTool() {
    if (process_ != nullptr) {
        (void)wait();
        CloseHandle(process_);
    }
}

int StartedTool::wait() {
    if (process_ == nullptr)
        return -1;
    // A device stack that hangs must fail the test, not hold the checks until their timeout.
    if (WaitForSingleObject(process_, kToolTimeoutMs) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, INFINITE);
        return -2;
    }
    DWORD status = 0;
    GetExitCodeProcess(process_, &status);
    return static_cast<int>(status);
}

int runTool(const std::string& unixPath, std::initializer_list<std::string> arguments) {
    StartedTool tool(unixPath, arguments);
    return tool.wait();
}

} // namespace wine_driver
