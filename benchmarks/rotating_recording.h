#pragma once

// A recording into a file of the temporary folder, as the benchmarks that record every cell
// of every input at every tick use it. A new file every so many ticks keeps the folder from
// filling up (about 200 MB at most); the new start is not timed.

#include "analysis/recorder.h"
#include "analysis/recording_file.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace benchmark_support {

class RotatingRecording {
public:
    RotatingRecording(benchmark::State& bench, const reception::AllChannelsFormatLookup& lookup,
                      const std::string& fileName)
        : bench_(bench), recorder_(lookup),
          path_(std::filesystem::temp_directory_path() / fileName) {}

    /// Records the tick's changes, beginning a new file first when this one is full.
    void afterTickReads(const board::SharedState& state, const reception::ChangedCells& changes) {
        if (ticksInFile_++ == kTicksPerFile) {
            bench_.PauseTiming();
            startNewFile();
            bench_.ResumeTiming();
        }
        recorder_.afterTickReads(state, changes);
    }

    /// Stops and removes the file; sets the bytes a row took.
    ~RotatingRecording() {
        closeFile();
        std::filesystem::remove(path_);
        bench_.counters["bytes/row"] =
            rows_ == 0 ? 0.0 : static_cast<double>(bytes_) / static_cast<double>(rows_);
    }

    RotatingRecording(const RotatingRecording&) = delete;
    RotatingRecording& operator=(const RotatingRecording&) = delete;

private:
    static constexpr int kTicksPerFile = 1000;

    void closeFile() {
        if (!recorder_.running())
            return;
        rows_ += recorder_.rowsKept();
        recorder_.stop();
        bytes_ += std::filesystem::exists(path_) ? std::filesystem::file_size(path_) : 0;
    }

    void startNewFile() {
        closeFile();
        if (recorder_.start(analysis::createRecordingFile(path_).file))
            bench_.SkipWithError("the recording file could not be created");
        ticksInFile_ = 1;
    }

    benchmark::State& bench_;
    analysis::Recorder recorder_;
    std::filesystem::path path_;
    int ticksInFile_ = kTicksPerFile;
    std::uint64_t rows_ = 0;
    std::uintmax_t bytes_ = 0;
};

} // namespace benchmark_support
