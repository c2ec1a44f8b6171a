#include "ui/qt/form1.h"

#include "form/rules.h"
#include "ui/qt/number_field.h"
#include "ui/qt/offer_window.h"
#include "ui/qt/qt_text.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolTip>

namespace kalvor::ui {
namespace {

using form::Id;

bool IsEnterKey(const QEvent *event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// "densità':" is spoken "densità", "Diametro ext:" "Diametro ext".
QString SpokenName(const QLabel *caption) {
    QString name = caption->text();
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QLatin1Char('\''))) {
        name.chop(1);
    }
    return name;
}

// How long the reason for a refused change stays at the field.
constexpr int kExplanationMs = 4000;

} // namespace

void Form1::UpdateSpokenNames() {
    for (const auto &[input, caption] : form::kInputCaptions) {
        findChild<QWidget *>(ToQString(input))
            ->setAccessibleName(SpokenName(findChild<QLabel *>(ToQString(caption))));
    }
}

// The caption beside a control also labels it for a screen reader; Qt only links a label to
// a control of the same container, so Combo1 and Text1, which lie over Frame1 from the
// window, go by their names alone.
void Form1::LinkCaptions() {
    const std::pair<QLabel *, QWidget *> buddies[] = {
        {Label[4], Combo2}, {Label[5], Text2},  {Label[9], Text3},
        {Label[10], Text4}, {Label[14], Text5}, {Label[15], Text6},
    };
    for (const auto &[caption, control] : buddies) {
        caption->setBuddy(control);
    }
}

void Form1::ConnectHandlers() {
    LinkCaptions();
    UpdateSpokenNames();

    // Every change of the box's text, typed or set from outside, is judged by the model.
    connect(Combo1->lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
        Apply(model_.Proposed(Id::Combo1, text.toStdString()));
    });
    for (const auto &[list, id] : {std::pair{Combo1, Id::Combo1}, std::pair{Combo2, Id::Combo2}}) {
        connect(list, &QComboBox::activated, this, [this, list, id](int row) {
            Apply(model_.Picked(id, list->itemText(row).toStdString()));
        });
    }
    connect(Command1, &QPushButton::clicked, this, [this] {
        RefreshOwnMaterials(); // a typed name is judged first
        Apply(model_.Pressed());
    });
    // Enter on the focused button presses it, as Space does.
    Command1->setAutoDefault(true);

    // Enter in the lists and on the options, focus and the wheel on the lists, the link.
    for (QWidget *watched :
         {static_cast<QWidget *>(Combo1), static_cast<QWidget *>(Combo1->lineEdit()),
          static_cast<QWidget *>(Combo2), static_cast<QWidget *>(Option1),
          static_cast<QWidget *>(Option2), static_cast<QWidget *>(Label[8])}) {
        watched->installEventFilter(this);
    }
    for (QComboBox *list : {Combo1, Combo2}) {
        list->setFocusPolicy(Qt::StrongFocus);
    }
    Combo1->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Combo1->lineEdit(), &QWidget::customContextMenuRequested, this,
            &Form1::MaterialBox_ContextMenu);

    // A click or an arrow key chooses an option; a check the model asked for is no choice.
    for (const auto &[option, id] :
         {std::pair{Option1, Id::Option1}, std::pair{Option2, Id::Option2}}) {
        connect(option, &QRadioButton::clicked, this, [this, id] { Apply(model_.Chosen(id)); });
        connect(option, &QRadioButton::toggled, this, [this, id](bool on) {
            if (on && !applying_) {
                Apply(model_.Chosen(id));
            }
        });
    }

    for (const Id id : form::kFields) {
        auto *field = static_cast<NumberField *>(Widget(id));
        field->onTyped = [this, id](char16_t typed) {
            form::Model::KeyOutcome outcome = model_.Typed(id, typed);
            Apply(outcome.changes);
            return outcome.pass;
        };
        field->onPasted = [this, id](const QString &text, form::Selection selection) {
            Apply(model_.Pasted(id, text.toStdString(), selection));
        };
        field->onGotFocus = [this, id] { Apply(model_.FocusIn(id)); };
        // Whatever changed the text: typing, a paste, undo, an input method, an
        // accessibility client.
        connect(field, &QLineEdit::textChanged, this, [this, id](const QString &text) {
            Apply(model_.Proposed(id, text.toStdString()));
        });
    }

    // A result on show can be selected, copied alone, or copied with the inputs for a quote.
    for (const Id id : form::kResults) {
        auto *result = static_cast<QLabel *>(Widget(id));
        result->setTextInteractionFlags(Qt::TextSelectableByMouse);
        result->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(result, &QLabel::customContextMenuRequested, this,
                [this, id](const QPoint &at) { Result_ContextMenu(id, at); });
    }
    auto *copyAll = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this);
    copyAll->setContext(Qt::WindowShortcut);
    connect(copyAll, &QShortcut::activated, this, [this] { Apply(model_.CopyQuote()); });
    auto *addToOffer = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), this);
    connect(addToOffer, &QShortcut::activated, this, [this] { Apply(model_.AddToOffer()); });
    auto *showOffer = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), this);
    connect(showOffer, &QShortcut::activated, this, [this] { Apply(model_.ShowOffer()); });
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    // A grade another window kept is in the list before it opens or a name is judged.
    const auto opensOrJudges = [event] {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusOut) {
            return true;
        }
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto *key = static_cast<const QKeyEvent *>(event);
        return IsEnterKey(event) || key->key() == Qt::Key_F4 ||
               ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) &&
                (key->modifiers() & Qt::AltModifier) != 0);
    };
    if ((watched == Combo1 || watched == Combo1->lineEdit()) && opensOrJudges()) {
        RefreshOwnMaterials();
    }
    if (IsEnterKey(event)) {
        const std::pair<QObject *, Id> enterTargets[] = {{Combo1, Id::Combo1},
                                                         {Combo1->lineEdit(), Id::Combo1},
                                                         {Combo2, Id::Combo2},
                                                         {Option1, Id::Option1},
                                                         {Option2, Id::Option2}};
        for (const auto &[target, id] : enterTargets) {
            if (watched == target) {
                event->accept();
                Apply(model_.Entered(id));
                return true;
            }
        }
    }
    if (watched == Combo1 && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            combo1FocusByMouse_ = reason == Qt::MouseFocusReason;
            Apply(model_.FocusIn(Id::Combo1));
        }
    }
    // A click into the box places the caret after the focus arrived: select once it has.
    if (watched == Combo1->lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        combo1FocusByMouse_) {
        combo1FocusByMouse_ = false;
        const bool handled = QWidget::eventFilter(watched, event);
        Apply(model_.FocusIn(Id::Combo1));
        return handled;
    }
    if (watched == Combo1 && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        Apply(model_.FocusOut(Id::Combo1));
    }
    // The wheel moves a list only while it has the focus, so scrolling past it changes nothing.
    if ((watched == Combo1 || watched == Combo2) && event->type() == QEvent::Wheel &&
        !static_cast<QWidget *>(watched)->hasFocus()) {
        event->ignore();
        return true;
    }
    if (watched == Label[8] && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label[8]->rect().contains(mouse->position().toPoint())) {
            Apply(model_.LinkClicked());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Apply(const form::Changes &changes) {
    for (const form::Change &change : changes) {
        Apply(change);
    }
}

void Form1::Apply(const form::Change &change) {
    const bool wasApplying = applying_;
    applying_ = true;
    std::visit(
        [this](const auto &c) {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, form::SetText>) {
                QWidget *target = Widget(c.id);
                const QString text = QString::fromStdString(c.text);
                if (auto *field = qobject_cast<QLineEdit *>(target)) {
                    field->setText(text);
                } else if (c.id == Id::Combo1) {
                    Combo1->setEditText(text);
                } else if (auto *label = qobject_cast<QLabel *>(target)) {
                    if ((form::RowOf(c.id).flags & form::ResultCaption) != 0) {
                        WriteResultCaption(label, text);
                    } else {
                        label->setText(text);
                        UpdateSpokenNames();
                    }
                }
            } else if constexpr (std::is_same_v<T, form::Show>) {
                Widget(c.id)->setVisible(c.shown);
            } else if constexpr (std::is_same_v<T, form::Enable>) {
                Widget(c.id)->setEnabled(c.enabled);
            } else if constexpr (std::is_same_v<T, form::Check>) {
                static_cast<QRadioButton *>(Widget(c.id))->setChecked(c.checked);
            } else if constexpr (std::is_same_v<T, form::DensityLook>) {
                SetDensityLook(c.framed, c.readOnly);
            } else if constexpr (std::is_same_v<T, form::FillList>) {
                FillList(static_cast<QComboBox *>(Widget(c.id)), c.entries,
                         QString::fromStdString(model_.Now().Text(c.id)));
            } else if constexpr (std::is_same_v<T, form::Pick>) {
                static_cast<QComboBox *>(Widget(c.id))->setCurrentIndex(c.row);
            } else if constexpr (std::is_same_v<T, form::Focus>) {
                Widget(c.id)->setFocus(Qt::OtherFocusReason);
            } else if constexpr (std::is_same_v<T, form::SelectAll>) {
                if (form::IsField(c.id)) {
                    auto *field = static_cast<NumberField *>(Widget(c.id));
                    field->ForgetHistory();
                    field->selectAll();
                } else if (c.id == Id::Combo1) {
                    Combo1->lineEdit()->selectAll();
                }
            } else if constexpr (std::is_same_v<T, form::Insert>) {
                static_cast<QLineEdit *>(Widget(c.id))->insert(QString::fromStdString(c.text));
            } else if constexpr (std::is_same_v<T, form::Message>) {
                // Modal: events that arrive while it is open go to the model, which knows a
                // box is open. The press it belongs to goes on once it is closed.
                applying_ = false;
                services_.messageBox(this, QString::fromStdString(c.prompt),
                                     QString::fromStdString(c.title));
                Apply(model_.Answered());
            } else if constexpr (std::is_same_v<T, form::Beep>) {
                QApplication::beep();
            } else if constexpr (std::is_same_v<T, form::Explain>) {
                Explain(Widget(c.id), QString::fromStdString(c.text));
            } else if constexpr (std::is_same_v<T, form::Copy>) {
                QApplication::clipboard()->setText(QString::fromStdString(c.text));
            } else if constexpr (std::is_same_v<T, form::Ask>) {
                applying_ = false;
                const bool yes = services_.question(this, QString::fromStdString(c.question),
                                                    QString::fromStdString(c.title));
                Apply(model_.Decided(yes));
            } else if constexpr (std::is_same_v<T, form::KeepMaterial>) {
                applying_ = false;
                if (ownMaterials_) {
                    Apply(form::Kept(model_, ownMaterials_->Keep(c.name, c.density)));
                }
            } else if constexpr (std::is_same_v<T, form::RemoveMaterial>) {
                applying_ = false;
                if (ownMaterials_) {
                    Apply(form::Kept(model_, ownMaterials_->Remove(c.name)));
                }
            } else if constexpr (std::is_same_v<T, form::AddOfferLine>) {
                applying_ = false;
                if (OfferWindow *offer = Offer()) {
                    offer->Add(c.line);
                }
            } else if constexpr (std::is_same_v<T, form::OpenOffer>) {
                applying_ = false;
                if (OfferWindow *offer = Offer()) {
                    offer->ShowRaised();
                }
            } else if constexpr (std::is_same_v<T, form::OpenSite>) {
                if (!services_.launcher(QUrl(QString::fromStdString(c.address)))) {
                    applying_ = false;
                    Apply(model_.SiteNotOpened());
                }
            }
        },
        change);
    applying_ = wasApplying;
}

void Form1::UseOffer(std::shared_ptr<form::OfferKeeper> keeper) {
    offerKeeper_ = std::move(keeper);
}

OfferWindow *Form1::Offer() {
    if (offerWindow_ == nullptr && offerKeeper_) {
        offerWindow_ = new OfferWindow(offerKeeper_, services_, this);
    }
    return offerWindow_;
}

void Form1::UseOwnMaterials(std::shared_ptr<form::OwnMaterials> materials) {
    ownMaterials_ = std::move(materials);
}

// The file is read once the window is on screen, so that start-up reads nothing.
void Form1::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    if (!painted_) {
        painted_ = true;
        QTimer::singleShot(0, this, &Form1::ReadOwnMaterials);
    }
}

void Form1::ReadOwnMaterials() {
    if (!ownMaterials_) {
        return;
    }
    Apply(form::Loaded(model_, ownMaterials_->Load()));
}

void Form1::RefreshOwnMaterials() {
    if (ownMaterials_ && painted_ && ownMaterials_->ChangedOnDisk()) {
        Apply(model_.CatalogueChanged(ownMaterials_->Load().catalogue));
    }
}

void Form1::MaterialBox_ContextMenu(const QPoint &at) {
    RefreshOwnMaterials();
    QMenu *menu = Combo1->lineEdit()->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (ownMaterials_) {
        QAction *first = menu->actions().value(0);
        for (const form::MenuEntry &entry : model_.MaterialMenu()) {
            auto *action = new QAction(QString::fromStdString(entry.text), menu);
            const form::MaterialAction chosen = entry.action;
            connect(action, &QAction::triggered, this,
                    [this, chosen] { Apply(model_.MenuChosen(chosen)); });
            menu->insertAction(first, action);
            menu->insertSeparator(first);
        }
    }
    menu->popup(Combo1->lineEdit()->mapToGlobal(at));
}

// The list's entries, refilled only when they differ; the box keeps its text, and the name
// in it stays selected when it was, so typing still replaces it.
void Form1::FillList(QComboBox *list, const std::vector<std::string> &entries,
                     const QString &text) {
    QStringList wanted;
    for (const std::string &entry : entries) {
        wanted << QString::fromStdString(entry);
    }
    QStringList now;
    for (int row = 0; row < list->count(); ++row) {
        now << list->itemText(row);
    }
    if (now == wanted) {
        return;
    }
    QLineEdit *edit = list->lineEdit();
    const QSignalBlocker quiet(list);
    const QSignalBlocker quietText(edit);
    const int start = edit ? edit->selectionStart() : -1;
    const int length = edit ? static_cast<int>(edit->selectedText().size()) : 0;
    const int cursor = edit ? edit->cursorPosition() : 0;
    list->clear();
    list->addItems(wanted);
    list->setCurrentIndex(list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (edit != nullptr) {
        list->setEditText(text);
        if (start >= 0) {
            edit->setSelection(start, length);
        } else {
            edit->setCursorPosition(cursor);
        }
    }
}

// The reason for a refused change, at the field for a few seconds, and for a screen reader as
// the field's description meanwhile.
void Form1::Explain(QWidget *field, const QString &text) {
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), text, field, {},
                       kExplanationMs);
    field->setAccessibleDescription(text);
    QTimer::singleShot(kExplanationMs, field, [field, text] {
        if (field->accessibleDescription() == text) {
            field->setAccessibleDescription({});
        }
    });
}

void Form1::WriteResultCaption(QLabel *result, const QString &caption) {
    const form::ControlSpec &entry = *form::FindControl(result->objectName().toStdString());
    QFont font = result->font();
    const double points = form::FittedPoints(entry.font->points, result->width(), [&](double size) {
        QFont sized = font;
        sized.setPointSizeF(size);
        return QFontMetrics(sized).horizontalAdvance(caption);
    });
    font.setPointSizeF(points);
    result->setFont(font);
    result->setText(caption);
    result->setToolTip(caption);
    result->setAccessibleName(caption);
}

void Form1::Result_ContextMenu(Id result, const QPoint &at) {
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(ToQString(form::kCopyLine), this,
                    [this, result] { Apply(model_.CopyLine(result)); });
    menu->addAction(ToQString(form::kCopyAll), this, [this] { Apply(model_.CopyQuote()); });
    menu->addSeparator();
    menu->addAction(ToQString(form::kAddToOffer), this, [this] { Apply(model_.AddToOffer()); });
    menu->addAction(ToQString(form::kShowOffer), this, [this] { Apply(model_.ShowOffer()); });
    menu->popup(Widget(result)->mapToGlobal(at));
}

} // namespace kalvor::ui
