#include "scripted_prompts.h"

namespace testing_support {

bool ScriptedPrompts::confirm(QWidget*, const QString& caption, const QString& text) {
    questions << caption + QLatin1Char('|') + text;
    if (confirmAnswers.empty())
        return true;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::chooseFileToOpen(QWidget*, const QString& filter,
                                          const QString& directory) {
    fileDialogs << filter + QLatin1Char('|') + directory + QLatin1Char('|');
    if (fileAnswers.empty())
        return {};
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::chooseFileToSave(QWidget*, const QString& filter, const QString& directory,
                                          const QString& defaultSuffix) {
    fileDialogs << filter + QLatin1Char('|') + directory + QLatin1Char('|') + defaultSuffix;
    if (fileAnswers.empty())
        return {};
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

void ScriptedPrompts::warn(QWidget*, const QString& caption, const QString& text) {
    questions << caption + QLatin1Char('|') + text;
}

} // namespace testing_support
