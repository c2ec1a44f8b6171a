#pragma once

#include "form/controls.h"
#include "form/model.h"

#include <QLineEdit>

#include <functional>

namespace kalvor::ui {

// A number field of the window: a line edit that hands what the user does to the window's
// model and lets through only what the model allows. Typed characters go to onTyped, which
// answers the character the field takes (0 swallows the key); pasted and dropped texts go to
// onPasted (Ctrl+V, Shift+Insert, the context menu, the middle button, a drop); every change
// of the text, whatever made it, is signalled by textChanged. Editing shortcuts (copy, cut,
// undo, select all) and keys that type no character (arrows, Delete, Home) keep their usual
// meaning.
class NumberField : public QLineEdit {
public:
    NumberField(const form::ControlSpec &row, QWidget *parent);
    const form::ControlSpec &Row() const { return row_; }

    // Clears the undo history: it then holds only what was done since the field was entered,
    // so a long day of typing does not pile up in memory.
    void ForgetHistory();

    std::function<char16_t(char16_t typed)> onTyped;
    std::function<void(const QString &text, form::Selection selection)> onPasted;
    // The focus came to the field by Tab, a click or the program; not the window coming back.
    std::function<void()> onGotFocus;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void Paste(const QString &text);
    form::Selection CurrentSelection() const;

    const form::ControlSpec &row_;
    bool focusedByMousePress_ = false;
};

} // namespace kalvor::ui
