#include "analysis/recording_messages.h"

#include "formats/file_message_text.h"
#include "util/printf_text.h"

namespace analysis {

std::string recordingNotStartedWarning(std::string_view fileName, std::string_view reason) {
    return formats::fileMessageText("Не удалось создать файл", fileName, reason) +
           ".\nЗапись принятых слов не начата.";
}

std::string recordingStoppedWarning(std::string_view fileName, std::string_view reason,
                                    std::uint64_t rowsKept) {
    // The count after a colon, so the text needs no plural forms.
    return formats::fileMessageText("Не удалось записать в файл", fileName, reason) +
           util::printfText(".\nЗапись принятых слов остановлена; "
                            "в файле сохранено принятых слов: %llu.",
                            static_cast<unsigned long long>(rowsKept));
}

} // namespace analysis
