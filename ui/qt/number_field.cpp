#include "ui/qt/number_field.h"

#include "form/rules.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QValidator>

namespace kalvor::ui {
namespace {

// The last guard: whatever reaches the text by a road the key and paste handling do not see
// (an input method, say) is refused unless every character is one the field is made of.
class FilterValidator : public QValidator {
public:
    FilterValidator(NumberField::Filter filter, QObject *parent)
        : QValidator(parent), filter_(filter) {}

    State validate(QString &input, int &) const override {
        for (const QChar c : input) {
            if (form::FilterKey(filter_, c.unicode()) != c.unicode() ||
                c == QChar(form::kBackspace)) {
                return Invalid;
            }
        }
        return Acceptable;
    }

private:
    NumberField::Filter filter_;
};

bool IsShortcut(const QKeyEvent *event) {
    return (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

bool IsEnter(const QKeyEvent *event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// The character a key types. Some platforms give Backspace, Enter and Escape no text, yet
// they are typed characters all the same (8, 13, 27); Delete (127) is an editing key.
QString TypedCharacters(const QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
        return QString(QChar(form::kBackspace));
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
    : QLineEdit(parent), row_(row) {
    setValidator(new FilterValidator(row.filter, this));
}

bool NumberField::InsertPasted(const QString &text) {
    if (isReadOnly()) {
        QApplication::beep();
        return false;
    }
    const QString current = this->text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    const auto inserted = form::PastedText(row_.filter, maxLength(), current.toStdString(),
                                           static_cast<std::size_t>(start),
                                           static_cast<std::size_t>(length), text.toStdString());
    if (!inserted) {
        QApplication::beep();
        return false;
    }
    insert(QString::fromStdString(*inserted));
    return true;
}

void NumberField::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Paste)) {
        InsertPasted(QApplication::clipboard()->text(QClipboard::Clipboard));
        event->accept();
        return;
    }
    const QString typed = TypedCharacters(event);
    // Keys that type no character, Delete, and shortcuts keep their ordinary meaning.
    if (typed.isEmpty() || IsShortcut(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (onCharacterTyped) {
        onCharacterTyped();
    }
    if (IsEnter(event)) {
        event->accept();
        if (onEnter) {
            onEnter();
        }
        return;
    }
    if (typed.size() != 1) {
        event->accept(); // an input method's text goes through the validator, not here
        return;
    }
    const char16_t kept = form::FilterKey(row_.filter, typed.front().unicode());
    if (kept == 0) {
        event->accept(); // swallowed: Escape, the blank, letters, the minus sign
        return;
    }
    if (kept == typed.front().unicode()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), Qt::Key_Comma, event->modifiers(), QString(QChar(kept)),
                       event->isAutoRepeat(), static_cast<ushort>(event->count()));
    QLineEdit::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void NumberField::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    // Coming back from another window or from a popup menu is not the field receiving the
    // focus: the selection stays as the user left it.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
        return;
    }
    // A click places the caret after the focus arrives; select again once it has.
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
        InsertPasted(QApplication::clipboard()->text(QClipboard::Selection));
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
    // The text goes in where it was dropped, under the same rule as a paste.
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    const int at = cursorPositionAt(event->position().toPoint());
    deselect();
    setCursorPosition(at);
    if (InsertPasted(event->mimeData()->text())) {
        event->setDropAction(Qt::CopyAction); // the source keeps its text
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
                [this] { InsertPasted(QApplication::clipboard()->text(QClipboard::Clipboard)); });
    }
    menu->popup(event->globalPos());
}

} // namespace kalvor::ui
