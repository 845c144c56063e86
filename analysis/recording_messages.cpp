#include "analysis/recording_messages.h"

#include "formats/file_message_text.h"
#include "util/printf_text.h"
#include "util/system_error_text.h"

namespace analysis {

std::string recordingNotStartedWarning(std::string_view fileName, std::string_view reason) {
    return formats::fileMessageText("Не удалось создать файл", fileName, reason) +
           ".\nЗапись принятых слов не начата.";
}

namespace {

std::string stoppedEnding(std::uint64_t rowsKept) {
    // The count after a colon, so the text needs no plural forms.
    return util::printfText(".\nЗапись принятых слов остановлена; "
                            "в файле сохранено принятых слов: %llu.",
                            static_cast<unsigned long long>(rowsKept));
}

} // namespace

std::string recordingStoppedWarning(std::string_view fileName, std::string_view reason,
                                    std::uint64_t rowsKept) {
    return formats::fileMessageText("Не удалось записать в файл", fileName, reason) +
           stoppedEnding(rowsKept);
}

std::string recordingOutOfSpaceWarning(std::string_view fileName, std::uint64_t minFreeBytes,
                                       std::uint64_t rowsKept) {
    return formats::fileMessageText("На диске файла", fileName, "") +
           util::printfText(" свободно меньше %llu МБ",
                            static_cast<unsigned long long>(minFreeBytes >> 20)) +
           stoppedEnding(rowsKept);
}

std::string recordingEndedWarning(std::string_view fileName, const RecordingFailure& failure,
                                  const RecordingLimits& limits) {
    const std::string part = recordingPartName(fileName, failure.part);
    if (!failure.error)
        return recordingOutOfSpaceWarning(part, limits.minFreeBytes, failure.rowsKept);
    return recordingStoppedWarning(part, util::systemErrorText(failure.error), failure.rowsKept);
}

} // namespace analysis
