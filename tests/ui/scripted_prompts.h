#pragma once

#include "ui/common/Prompts.h"

#include <QStringList>

#include <deque>

namespace testing_support {

/// @brief Answers the windows' questions from a script and records what was asked.
class ScriptedPrompts final : public ui::Prompts {
public:
    bool confirm(QWidget* parent, const QString& caption, const QString& text) override;
    QString chooseFileToOpen(QWidget* parent, const QString& filter,
                             const QString& directory) override;
    QString chooseFileToSave(QWidget* parent, const QString& filter, const QString& directory,
                             const QString& defaultSuffix) override;
    void warn(QWidget* parent, const QString& caption, const QString& text) override;
    void beep() override { ++beeps; }

    std::deque<bool> confirmAnswers; // an empty script answers Yes
    std::deque<QString> fileAnswers; // an empty script cancels
    QStringList questions;           // "caption|text" of every question and warning
    QStringList fileDialogs;         // "filter|directory|suffix" of every file dialog
    int beeps = 0;
};

} // namespace testing_support
