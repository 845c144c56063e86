// How fast a recording is read back for a replay, and that reading holds a row at a time: a
// recording of N rows (default 1,000,000, about 90 MB) written as the recorder writes it, then
// read through with the replay's reader; prints rows per second and the process's peak
// resident memory after a tenth of the file and after all of it, which must stay the same.
//   recording_read_benchmark [rows]

#include "analysis/recording_reader.h"
#include "analysis/recording_row.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void writeRecording(const std::filesystem::path& path, long rows) {
    std::ofstream file(path, std::ios::binary);
    file << analysis::kRecordingColumnNames << "\r\n";
    const reception::ChannelFormatLookup lookup{};
    std::string text;
    for (long row = 0; row < rows;) {
        const auto tick = static_cast<std::uint32_t>(row / 2048 + 1);
        std::string fields;
        analysis::appendTickFields(fields, {{2026, 12, 9, 10, 0, 0, 0}, tick * 100ULL, tick});
        text.clear();
        for (int cell = 0; cell < 2048 && row < rows; ++cell, ++row)
            analysis::appendRecordingRow(text, fields,
                                         {static_cast<std::uint8_t>(cell / 256),
                                          static_cast<std::uint8_t>(cell % 256),
                                          static_cast<std::uint32_t>(row * 2654435761U)},
                                         lookup);
        file << text;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("recording-read-" + std::to_string(::getpid()) + ".csv");
    writeRecording(path, rows);
    const auto bytes = std::filesystem::file_size(path);
    const long before = peakKilobytes();

    const auto started = std::chrono::steady_clock::now();
    analysis::RecordingReader reader(path);
    long read = 0;
    long peakAtTenth = 0;
    for (analysis::RecordedWord word; reader.next(word);)
        if (++read == rows / 10)
            peakAtTenth = peakKilobytes();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::filesystem::remove(path);
    if (reader.error() || read != rows) {
        std::fprintf(stderr, "read %ld of %ld rows\n", read, rows);
        return 1;
    }
    std::printf("%ld rows, %.1f MB: read in %.2f s, %.0f rows/s, %.1f MB/s\n", rows,
                static_cast<double>(bytes) / 1e6, seconds, static_cast<double>(rows) / seconds,
                static_cast<double>(bytes) / 1e6 / seconds);
    std::printf("peak resident memory: %ld kB before reading, %ld kB at a tenth, %ld kB at "
                "the end\n",
                before, peakAtTenth, peakKilobytes());
    return 0;
}
