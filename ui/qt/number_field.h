#pragma once

#include "form/controls.h"

#include <QClipboard>
#include <QLineEdit>

#include <functional>

namespace kalvor::ui {

// A number field of the window: a line edit whose typed characters pass the field's key filter
// and whose pasted and dropped texts pass the paste rule of form/rules.h, all or nothing.
// Digits always pass; the decimal filter lets the comma through and turns a typed "." into
// ","; backspace passes; every other character is swallowed. Editing shortcuts (copy, cut,
// paste, undo, select all) and keys that type no character (arrows, Delete, Home) keep their
// usual meaning.
class NumberField : public QLineEdit {
public:
    using Filter = form::FieldFilter;

    // The field as the window's table describes it: its filter, length and rules.
    NumberField(const form::ControlSpec &row, QWidget *parent);
    const form::ControlSpec &Row() const { return row_; }

    // Inserts a pasted or dropped text in place of the selection if the paste rule allows it;
    // otherwise the field keeps its text and the window beeps. False when refused.
    bool InsertPasted(const QString &text);

    // Raised for every character typed into the field, before the filter judges it: also for
    // a character the filter swallows, and also while the field is read-only.
    std::function<void()> onCharacterTyped;
    // Raised when the field receives the focus by Tab, a click or the program.
    std::function<void()> onGotFocus;
    // Raised for Enter, after onCharacterTyped; Enter never reaches the text.
    std::function<void()> onEnter;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    const form::ControlSpec &row_;
    bool focusedByMousePress_ = false;
};

} // namespace kalvor::ui
