#include "ui/grid/CellEditDelegate.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>

namespace ui {
namespace {

const char* const kIndexProperty = "zelvaEditedIndex";

void reportKey(QEvent* event, const std::function<void(char32_t)>& keyPressed) {
    if (event->type() != QEvent::KeyPress || !keyPressed)
        return;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (const char32_t c =
            CellEditDelegate::keyCharacter(key->key(), key->modifiers(), key->text()))
        keyPressed(c);
}

} // namespace

CellEditDelegate::CellEditDelegate(Handlers handlers, QObject* parent)
    : QStyledItemDelegate(parent), handlers_(std::move(handlers)) {}

char32_t CellEditDelegate::keyCharacter(int key, Qt::KeyboardModifiers modifiers,
                                        const QString& text) {
    if (key == Qt::Key_Backspace)
        return 0x08;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 0x0D;
    if (modifiers.testFlag(Qt::ControlModifier)) {
        if (key == Qt::Key_C)
            return 0x03;
        if (key == Qt::Key_V)
            return 0x16;
    }
    if (text.isEmpty())
        return 0;
    const QList<uint> codePoints = text.toUcs4();
    return codePoints.isEmpty() ? 0 : static_cast<char32_t>(codePoints.front());
}

QWidget* CellEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    if (handlers_.editable && !handlers_.editable(index))
        return nullptr;
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setProperty(kIndexProperty, QVariant::fromValue(QPersistentModelIndex(index)));
    editor->installEventFilter(const_cast<CellEditDelegate*>(this));
    connect(editor, &QLineEdit::textEdited, this, [this, editor](const QString& text) {
        const auto index = editor->property(kIndexProperty).value<QPersistentModelIndex>();
        if (index.isValid() && handlers_.textChanged)
            handlers_.textChanged(index, text);
    });
    return editor;
}

void CellEditDelegate::setEditorData(QWidget*, const QModelIndex&) const {
    // The editor never shows the stored value: typing starts from an empty text.
}

void CellEditDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    // Values are stored by the text handler as they are typed, not when the editor commits.
}

void CellEditDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor);
        line && handlers_.textAgainOnClose && handlers_.textChanged && index.isValid())
        handlers_.textChanged(index, line->text());
    QStyledItemDelegate::destroyEditor(editor, index);
}

void CellEditDelegate::closeOpenEditor(const QAbstractItemView& view) {
    const auto editors =
        view.viewport()->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    // A closed editor is hidden at once but deleted later: only the open one is closed here.
    for (QLineEdit* editor : editors) {
        if (!editor->isHidden())
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CellEditDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem plain(option);
    plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    QStyledItemDelegate::paint(painter, plain, index);
}

bool CellEditDelegate::eventFilter(QObject* watched, QEvent* event) {
    reportKey(event, handlers_.keyPressed);
    return QStyledItemDelegate::eventFilter(watched, event);
}

KeyWatcher::KeyWatcher(QWidget* watched, std::function<void(char32_t key)> keyPressed)
    : QObject(watched), keyPressed_(std::move(keyPressed)) {
    watched->installEventFilter(this);
}

bool KeyWatcher::eventFilter(QObject* watched, QEvent* event) {
    reportKey(event, keyPressed_);
    return QObject::eventFilter(watched, event);
}

} // namespace ui
