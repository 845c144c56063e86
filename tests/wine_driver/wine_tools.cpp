#include "wine_tools.h"

#include <windows.h>

#include <vector>

namespace wine_driver {

std::string windowsPath(const std::string& unixPath) {
    if (unixPath.empty() || unixPath.front() != '/')
        return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

int runTool(const std::string& unixPath, std::initializer_list<std::string> arguments) {
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
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

} // namespace wine_driver
