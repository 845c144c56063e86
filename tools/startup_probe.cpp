// Times one start of a program for scripts/startup-benchmark.sh: startup_probe <program>
// [arguments]. The program must print "main window shown" once its window is up and then
// quit (ZELVA1_STARTUP_CHECK). Prints one line: the milliseconds from the fork to that line,
// and the program's peak resident memory in kB. Exits 1 when the line never came or the
// program failed.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe <program> [arguments]\n");
        return 2;
    }
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        return 1;
    }
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 1;
    }
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execv(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    close(pipeEnds[1]);

    const std::string expected = "main window shown\n";
    std::string output;
    double shownMs = -1;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
        if (shownMs < 0 && output.find(expected) != std::string::npos)
            shownMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                started)
                          .count();
    }
    close(pipeEnds[0]);

    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("wait4");
        return 1;
    }
    if (shownMs < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: no \"main window shown\" or a failed exit (status %d)\n", argv[1],
                     status);
        return 1;
    }
    std::printf("%.2f %ld\n", shownMs, usage.ru_maxrss);
    return 0;
}
