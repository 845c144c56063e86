#pragma once

#include "util/beeper.h"

#include <QString>

class QWidget;

namespace ui {

/// @brief The questions and file dialogs the windows put to the user. The program uses the
/// standard boxes and dialogs; tests answer from a script.
class Prompts {
public:
    virtual ~Prompts() = default;

    /// A Yes/No question; true only for Yes.
    [[nodiscard]] virtual bool confirm(QWidget* parent, const QString& caption,
                                       const QString& text) = 0;
    /// A file to read; empty when cancelled.
    [[nodiscard]] virtual QString chooseFileToOpen(QWidget* parent, const QString& filter,
                                                   const QString& directory) = 0;
    /// A file to write; empty when cancelled. A name typed without an extension gets
    /// defaultSuffix.
    [[nodiscard]] virtual QString chooseFileToSave(QWidget* parent, const QString& filter,
                                                   const QString& directory,
                                                   const QString& defaultSuffix) = 0;
    /// A warning that needs no answer.
    virtual void warn(QWidget* parent, const QString& caption, const QString& text) = 0;
    /// The system's default beep.
    virtual void beep() = 0;
};

/// @brief Prompts through Qt's standard message boxes and file dialogs.
class StandardPrompts final : public Prompts {
public:
    bool confirm(QWidget* parent, const QString& caption, const QString& text) override;
    QString chooseFileToOpen(QWidget* parent, const QString& filter,
                             const QString& directory) override;
    QString chooseFileToSave(QWidget* parent, const QString& filter, const QString& directory,
                             const QString& defaultSuffix) override;
    void warn(QWidget* parent, const QString& caption, const QString& text) override;
    void beep() override;
};

/// @brief The beep of the logic layer's editing rules, sounded through the prompts.
class PromptsBeeper final : public util::Beeper {
public:
    explicit PromptsBeeper(Prompts& prompts) : prompts_(prompts) {}
    void beep() override { prompts_.beep(); }

private:
    Prompts& prompts_;
};

} // namespace ui
