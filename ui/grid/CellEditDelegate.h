#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

#include <functional>

namespace ui {

/// @brief In-place cell editing where every change of the editor's text counts.
///
/// The editor opens empty (or holding the character whose typing opened it). Every key
/// pressed in it is reported first (the grids' "last key"), then every change of its text,
/// and, where the grid asks for it, once more its whole text when it closes, whichever way.
/// The handlers apply the editing rules of the logic layer; the model then shows the stored
/// values.
/// Cells are painted without a selection or focus highlight.
class CellEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    struct Handlers {
        std::function<bool(const QModelIndex&)> editable; // absent: every cell
        std::function<void(char32_t key)> keyPressed;
        std::function<void(const QModelIndex&, const QString& text)> textChanged;
        /// The output grid takes the closing editor's text as one more change; in the format
        /// windows it was handled as it was typed, and again would repeat its beep.
        bool textAgainOnClose = false;
    };

    explicit CellEditDelegate(Handlers handlers, QObject* parent = nullptr);

    /// Stops calling the handlers. A window calls it from its destructor: an editor still open
    /// is closed while the window's base classes hide and destroy it, after the window's own
    /// members, which the handlers use, are gone.
    void detach() { handlers_ = {}; }

    /// Closes the editor open in `view`, if any: the rows are about to change under it.
    void closeOpenEditor(const QAbstractItemView& view);

    /// The character a key press stands for in the editing rules: its text, or the control
    /// character of Backspace (8), Enter (13), Ctrl+C (3) and Ctrl+V (22); 0 for none.
    [[nodiscard]] static char32_t keyCharacter(int key, Qt::KeyboardModifiers modifiers,
                                               const QString& text);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handlers handlers_;
};

/// @brief Reports the key presses that reach a widget (a grid without an open editor) in
/// the same form as the delegate, without acting on them.
class KeyWatcher : public QObject {
    Q_OBJECT
public:
    KeyWatcher(QWidget* watched, std::function<void(char32_t key)> keyPressed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(char32_t key)> keyPressed_;
};

} // namespace ui
