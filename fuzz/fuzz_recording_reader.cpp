// A recording to replay: any bytes are read word by word until their end, a last row cut
// short, or damage told with a line within the file; every word read is one the recorder
// could have written, in time order.

#include "fuzz_support.h"

#include "analysis/recording_reader.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static fuzz_support::InputFile file("fuzz-recording.csv");
    const std::string& path = file.write({bytes, size});
    const auto lines = static_cast<int>(std::count(bytes, bytes + size, '\n')) + 1;

    analysis::RecordingReader reader(path);
    std::uint64_t lastMs = 0;
    for (analysis::RecordedWord word; reader.next(word);) {
        FUZZ_CHECK(word.channelNo >= 1 && word.channelNo <= 8);
        FUZZ_CHECK(word.ms >= lastMs);
        lastMs = word.ms;
    }
    FUZZ_CHECK(reader.tornLine() >= 0 && reader.tornLine() <= lines);
    if (const auto& error = reader.error()) {
        FUZZ_CHECK(error->line >= 0 && error->line <= lines && !error->why.empty());
        FUZZ_CHECK(fuzz_support::isUtf8(analysis::recordingErrorMessage("f.csv", *error)));
        FUZZ_CHECK(reader.tornLine() == 0);
    }
    return 0;
}
