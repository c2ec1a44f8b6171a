#include "ui/qt/number_field.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace kalvor::ui {
namespace {

bool IsShortcut(const QKeyEvent *event) {
    return (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

// The character a key types. Some platforms give Backspace, Enter and Escape no text, yet
// they are typed characters all the same (8, 13, 27); Delete (127) is an editing key.
QString TypedCharacters(const QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
        return QString(QChar(8));
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Delete:
        return {};
    default:
        return event->text();
    }
}

} // namespace

NumberField::NumberField(const form::ControlSpec &row, QWidget *parent)
    : QLineEdit(parent), row_(row) {}

void NumberField::ForgetHistory() {
    const int start = selectionStart();
    const int length = static_cast<int>(selectedText().size());
    const int cursor = cursorPosition();
    setText(text()); // the same text: no change is signalled, the history is gone
    if (start >= 0) {
        setSelection(start, length);
    } else {
        setCursorPosition(cursor);
    }
}

form::Selection NumberField::CurrentSelection() const {
    if (hasSelectedText()) {
        return {static_cast<std::size_t>(selectionStart()),
                static_cast<std::size_t>(selectedText().size())};
    }
    return {static_cast<std::size_t>(cursorPosition()), 0};
}

void NumberField::Paste(const QString &text) {
    if (onPasted) {
        onPasted(text, CurrentSelection());
    }
}

void NumberField::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Paste)) {
        Paste(QApplication::clipboard()->text(QClipboard::Clipboard));
        event->accept();
        return;
    }
    const QString typed = TypedCharacters(event);
    // Keys that type no character, Delete, and shortcuts keep their ordinary meaning.
    if (typed.isEmpty() || IsShortcut(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (typed.size() != 1 || !onTyped) {
        return; // an input method's text changes the text, and the model judges the change
    }
    const char16_t kept = onTyped(typed.front().unicode());
    if (kept == 0 || kept == u'\r') {
        return; // swallowed: Enter, Escape, the blank, letters, the minus sign
    }
    if (kept == typed.front().unicode()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), Qt::Key_Comma, event->modifiers(), QString(QChar(kept)),
                       event->isAutoRepeat(), static_cast<ushort>(event->count()));
    QLineEdit::keyPressEvent(&replaced);
}

void NumberField::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    // Coming back from another window or from a popup menu is not the field receiving the
    // focus: the selection stays as the user left it.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
        return;
    }
    // A click places the caret after the focus arrives; the model is asked again once it has.
    focusedByMousePress_ = event->reason() == Qt::MouseFocusReason;
    if (onGotFocus) {
        onGotFocus();
    }
}

void NumberField::mousePressEvent(QMouseEvent *event) {
    QLineEdit::mousePressEvent(event);
    if (focusedByMousePress_) {
        focusedByMousePress_ = false;
        if (onGotFocus) {
            onGotFocus();
        }
    }
}

void NumberField::mouseReleaseEvent(QMouseEvent *event) {
    // The middle button pastes the X11 selection.
    if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        Paste(QApplication::clipboard()->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void NumberField::dropEvent(QDropEvent *event) {
    // Text moved within the field holds nothing new.
    if (event->source() == this) {
        QLineEdit::dropEvent(event);
        return;
    }
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    // The text goes in where it was dropped, under the same rule as a paste; the source keeps
    // its text.
    const int at = cursorPositionAt(event->position().toPoint());
    deselect();
    setCursorPosition(at);
    const QString before = text();
    Paste(event->mimeData()->text());
    if (text() != before) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        setFocus(Qt::MouseFocusReason);
    } else {
        event->ignore();
    }
}

void NumberField::contextMenuEvent(QContextMenuEvent *event) {
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this,
                [this] { Paste(QApplication::clipboard()->text(QClipboard::Clipboard)); });
    }
    menu->popup(event->globalPos());
}

} // namespace kalvor::ui
