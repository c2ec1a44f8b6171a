#include "ui/qt/number_field.h"

#include "form/rules.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QValidator>

namespace kalvor::ui {
namespace {

constexpr QChar kBackspace(8);

// The character a typed or pasted character becomes in the field; a null QChar swallows it.
QChar FilterCharacter(NumberField::Filter filter, QChar c) {
    const char16_t kept = form::FilterKey(filter, c.unicode());
    return kept == form::kBackspace ? QChar() : QChar(kept);
}

// The last guard: whatever reaches the text by a road the key and paste handling do not see
// (an input method, say) passes the same filter.
class FilterValidator : public QValidator {
public:
    FilterValidator(NumberField::Filter filter, QObject *parent)
        : QValidator(parent), filter_(filter) {}

    State validate(QString &input, int &pos) const override {
        const QString before = input.left(pos);
        const QString filteredBefore = NumberField::Filtered(filter_, before);
        const QString filtered = NumberField::Filtered(filter_, input);
        if (filtered != input) {
            pos = static_cast<int>(filteredBefore.size());
            input = filtered;
        }
        return Acceptable;
    }

private:
    NumberField::Filter filter_;
};

bool IsShortcut(const QKeyEvent *event) {
    return (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

// The characters a key types. Some platforms give Backspace, Enter and Escape no text, yet
// they are typed characters all the same (8, 13, 27); Delete (127) is an editing key.
QString TypedCharacters(const QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
        return QString(kBackspace);
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

NumberField::NumberField(Filter filter, QWidget *parent) : QLineEdit(parent), filter_(filter) {
    setValidator(new FilterValidator(filter, this));
}

QString NumberField::Filtered(Filter filter, const QString &text) {
    QString kept;
    for (const QChar c : text) {
        if (const QChar f = FilterCharacter(filter, c); !f.isNull()) {
            kept += f;
        }
    }
    return kept;
}

void NumberField::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Paste)) {
        PasteFiltered(QClipboard::Clipboard);
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
    if (typed == kBackspace) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString filtered = Filtered(filter_, typed);
    if (filtered.isEmpty()) {
        event->accept(); // swallowed: Enter, Escape, the blank, letters, the minus sign
        return;
    }
    if (filtered == typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), Qt::Key_Comma, event->modifiers(), filtered,
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
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        PasteFiltered(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void NumberField::dropEvent(QDropEvent *event) {
    QMimeData filtered;
    if (event->mimeData()->hasText()) {
        filtered.setText(Filtered(filter_, event->mimeData()->text()));
    }
    QDropEvent replaced(event->position(), event->possibleActions(), &filtered, event->buttons(),
                        event->modifiers(), event->type());
    QLineEdit::dropEvent(&replaced);
    event->setDropAction(replaced.dropAction());
    event->setAccepted(replaced.isAccepted());
}

void NumberField::contextMenuEvent(QContextMenuEvent *event) {
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this] { PasteFiltered(QClipboard::Clipboard); });
    }
    menu->popup(event->globalPos());
}

void NumberField::PasteFiltered(QClipboard::Mode mode) {
    if (isReadOnly()) {
        return;
    }
    // Filter first, then let the line edit cut the text at the field's maximum length.
    const QString text = Filtered(filter_, QGuiApplication::clipboard()->text(mode));
    if (!text.isEmpty()) {
        insert(text);
    }
}

} // namespace kalvor::ui
