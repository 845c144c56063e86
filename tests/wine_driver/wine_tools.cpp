#include "wine_tools.h"

#include <windows.h>

#include <array>
#include <fstream>
#include <iterator>
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

namespace {

constexpr DWORD kToolTimeoutMs = 60'000;

// Starts the program, its standard output and error going to `outputFile` when one is given,
// and waits for it: its exit status, -1 when it never started, -2 when it was ended after a
// minute.
int runWithOutputTo(const std::string& unixPath, std::initializer_list<std::string> arguments,
                    HANDLE outputFile) {
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
        return -1;
    CloseHandle(process.hThread);
    int status = -2;
    // A device stack that hangs must fail the test, not hold the checks until their timeout.
    if (WaitForSingleObject(process.hProcess, kToolTimeoutMs) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
    } else {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        status = static_cast<int>(exitCode);
    }
    CloseHandle(process.hProcess);
    return status;
}

} // namespace

int runTool(const std::string& unixPath, std::initializer_list<std::string> arguments) {
    return runWithOutputTo(unixPath, arguments, nullptr);
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
    const int status = runWithOutputTo(unixPath, arguments, file);
    CloseHandle(file);
    {
        std::ifstream written(path.data(), std::ios::binary);
        output.assign(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>());
    }
    DeleteFileA(path.data());
    return status;
}

} // namespace wine_driver
