#include "wine_tools.h"

#include <windows.h>

#include <array>
#include <fstream>
#include <iterator>
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

StartedTool::StartedTool(const std::string& unixPath, std::initializer_list<std::string> arguments,
                         void* outputFile) {
    std::string commandLine = "\"" + windowsPath(unixPath) + "\"";
    for (const std::string& argument : arguments)
        commandLine += " \"" + windowsPath(argument) + "\"";
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (outputFile != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = outputFile;
        startup.hStdError = outputFile;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr,
                        outputFile != nullptr ? TRUE : FALSE, 0, nullptr, nullptr, &startup,
                        &process))
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

int runToolWithOutput(const std::string& unixPath, std::initializer_list<std::string> arguments,
                      std::string& output) {
    output.clear();
    std::array<char, MAX_PATH> folder{};
    std::array<char, MAX_PATH> path{};
    if (GetTempPathA(static_cast<DWORD>(folder.size()), folder.data()) == 0 ||
        GetTempFileNameA(folder.data(), "zt", 0, path.data()) == 0)
        return -1;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE file = CreateFileA(path.data(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    int status = -1;
    {
        StartedTool tool(unixPath, arguments, file);
        status = tool.wait();
    }
    CloseHandle(file);
    {
        std::ifstream written(path.data(), std::ios::binary);
        output.assign(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>());
    }
    DeleteFileA(path.data());
    return status;
}

} // namespace wine_driver
