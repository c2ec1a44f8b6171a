#pragma once

#include "form/model.h"
#include "form/offer_desk.h"
#include "form/own_materials.h"
#include "runtime/services.h"

#include <QPalette>
#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kalvor::ui {

class NumberField;
class OfferWindow;

// The window is laid out for Arial and Microsoft Sans Serif. Where they are missing, Liberation
// Sans has Arial's metrics; without it Microsoft Sans Serif falls to a wider face and captions
// overflow their boxes. Call before the window is built.
void InstallFontSubstitutions();

// The face most of the window's controls use (Arial 9 points, or its installed stand-in) for the
// whole application, so that start-up lays out no text in a face the window does not show: a
// line edit lays out its text in the application's font before it takes its own. Call after
// InstallFontSubstitutions() and before the window is built.
void UseWindowFont();

// Qt's own texts (a field's context menu, the buttons of a box) in Italian, whatever the
// user's locale. False when the translation is not installed: they then stay in English.
bool InstallItalianTranslation();

// The light face, field and text colours the window is drawn for, whatever the desktop's
// palette or colour scheme.
QPalette DesignedPalette();
// The Fusion style with the designed palette for the whole application, so that lists, menus
// and message boxes match the window. Call before the window is built.
void UseDesignedLook();
// Reads the picture the Fusion style draws frames with, in a way that loads no image plugin.
// Call before the window is shown.
void PreloadGroupBoxFrame();

// The one window of Kalvor, with its 46 controls. Every control's objectName is its name
// below, so tests and tools find it with findChild<...>("Text2").
//
// The layout (form1_layout.cpp) builds the controls from the table of form/controls.h; the
// window's state and decisions are form::Model's, and the handlers only translate.
class Form1 : public QWidget {
public:
    explicit Form1(runtime::Services services, QWidget *parent = nullptr);

    // Fills the two lists, shows the window and puts the focus in the material list.
    void Form_Load();

    // The desk's own materials: read once the window has painted, then kept or removed from
    // the material box's menu. Without it the list is the catalogue's alone.
    void UseOwnMaterials(std::shared_ptr<form::OwnMaterials> materials);
    // Where the offer is kept; its window opens from the result lines' menu.
    void UseOffer(std::shared_ptr<form::OfferKeeper> keeper);
    OfferWindow *Offer(); // the offer's window, made the first time it is needed

    QComboBox *Combo1 = nullptr;
    QComboBox *Combo2 = nullptr;
    QPushButton *Command1 = nullptr;
    NumberField *Text1 = nullptr;
    NumberField *Text2 = nullptr;
    NumberField *Text3 = nullptr;
    NumberField *Text4 = nullptr;
    NumberField *Text5 = nullptr;
    NumberField *Text6 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QGroupBox *Frame5 = nullptr;
    QGroupBox *Frame6 = nullptr;
    std::array<QLabel *, 29> Label{}; // Label[1] .. Label[28]; Label[0] is unused
    QLabel *Image1 = nullptr;

private:
    void BuildControls(); // form1_layout.cpp
    void BindControls();
    void ConnectHandlers(); // form1_handlers.cpp

    // layout
    // The density field's look, apart from its text: with a frame on the background of input
    // fields, or flat and borderless on the window's face colour so that it reads like a label.
    void SetDensityLook(bool framed, bool readOnly);

    // handlers (form1_handlers.cpp): every event goes to the model, and what it answers is
    // applied to the widgets.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void ReadOwnMaterials();
    void RefreshOwnMaterials(); // when another window changed the file
    void MaterialBox_ContextMenu(const QPoint &at);
    void Apply(const form::Changes &changes);
    void Apply(const form::Change &change);
    QWidget *Widget(form::Id id) const { return widgets_[static_cast<std::size_t>(id)]; }
    void Result_ContextMenu(form::Id result, const QPoint &at);
    void Explain(QWidget *field, const QString &text);
    void FillList(QComboBox *list, const std::vector<std::string> &entries, const QString &text);
    // The caption, shrunk to fit its label where it is wider; also the label's tooltip and
    // the name a screen reader gives it.
    void WriteResultCaption(QLabel *result, const QString &caption);
    // A screen reader calls each input by the caption beside it; the dimension captions
    // change with the shape.
    void UpdateSpokenNames();
    void LinkCaptions();

    form::Model model_;
    std::array<QWidget *, form::kIdCount> widgets_{};
    bool applying_ = false;           // a toolkit signal raised by applying a change is an echo
    bool combo1FocusByMouse_ = false; // a click places the caret after the focus arrives
    bool painted_ = false;
    std::shared_ptr<form::OwnMaterials> ownMaterials_;
    std::shared_ptr<form::OfferKeeper> offerKeeper_;
    OfferWindow *offerWindow_ = nullptr; // a child window, deleted with this one
    runtime::Services services_;
};

} // namespace kalvor::ui
