#pragma once

#include <QString>
#include <Qt>

class QPushButton;
class QSize;
class QWidget;

namespace ui {

/// A dialog the user cannot resize: a title and a close box, nothing else.
inline constexpr Qt::WindowFlags kFixedSizeDialogFlags =
    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

/// @brief A dialog's "Применить" (`Button1`) and "Отмена" (`Button2`), not yet placed.
struct ApplyCancelButtons {
    QPushButton* apply = nullptr;
    QPushButton* cancel = nullptr;
};

/// Neither button is the default: Enter in the dialog's fields must not press one.
[[nodiscard]] ApplyCancelButtons makeApplyCancelButtons(QWidget& dialog);

/// A one-character button of a grid's button bar ("+", "-"): a bold caption of
/// `captionPixels`, a fixed size, and never the default button, since Enter belongs to the
/// grid's cell editor.
[[nodiscard]] QPushButton* makeSignButton(const QString& caption, const QString& name,
                                          int captionPixels, QSize size, QWidget* parent);

} // namespace ui
