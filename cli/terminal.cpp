#include "terminal.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cli {
namespace {

volatile std::sig_atomic_t stopFlag = 0;

extern "C" void onStopSignal(int /*signal*/) { stopFlag = 1; }

std::size_t shownLength = 0;

} // namespace

bool progressShown() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void showProgress(const std::string& text) {
    if (!progressShown())
        return;
    std::fprintf(stderr, "\r%s", text.c_str());
    for (std::size_t i = text.size(); i < shownLength; ++i)
        std::fputc(' ', stderr);
    shownLength = text.size();
    std::fflush(stderr);
}

void endProgress() {
    if (shownLength == 0)
        return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(shownLength), "");
    std::fflush(stderr);
    shownLength = 0;
}

std::string standardOutputFailure() {
    // A failed write only sets the stream's error, and the last buffer fails only when flushed
    // here, so one look at the end covers every line the command printed.
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && std::ferror(stdout) == 0)
        return {};
    std::string text = "запись в стандартный вывод не удалась";
    if (error != 0)
        text += ": " + std::generic_category().message(error);
    return text;
}

void prepareConsole() {
#if defined(_WIN32)
    // The texts are UTF-8; a Windows console shows them as such only when told.
    SetConsoleOutputCP(CP_UTF8);
#endif
}

void catchStopRequests() {
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

bool stopRequested() { return stopFlag != 0; }

} // namespace cli
