#pragma once

#include "calc/calcola.h"
#include "form/controls.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

// The window without a toolkit: Form1's state and every decision it makes. A toolkit adapter
// turns what happens on screen into the events below and applies the changes each event
// returns, in order; it decides nothing and reads nothing back from its widgets to decide.
//
//   Model model(Catalogue::Standard());
//   Apply(model.Load());
//   Apply(model.Picked(Id::Combo1, "Titanio"));  // the density field shows "4,51", read-only
//   Apply(model.Pressed());                       // ... the results, then the focus to Combo1
namespace kalvor::form {

// The controls the model speaks of; each is named in the window's table (controls.h).
// clang-format off
enum class Id : std::uint8_t {
    Combo1, Combo2, Command1, Option1, Option2,
    Text1, Text2, Text3, Text4, Text5, Text6,
    Frame4, Frame5,
    Label5, Label9, Label10,   // the dimension rows' captions
    Label11, Label12, Label13, // the dimension rows' units
    Label19, Label20, Label21, // weights: one piece, all pieces, one metre
    Label22, Label23, Label24, // costs: the same
    Label8,                    // the link
};
// clang-format on
inline constexpr std::size_t kIdCount = static_cast<std::size_t>(Id::Label8) + 1;
inline constexpr std::array<std::string_view, kIdCount> kIdNames{
    "Combo1",  "Combo2",  "Command1", "Option1", "Option2", "Text1",   "Text2",
    "Text3",   "Text4",   "Text5",    "Text6",   "Frame4",  "Frame5",  "Label5",
    "Label9",  "Label10", "Label11",  "Label12", "Label13", "Label19", "Label20",
    "Label21", "Label22", "Label23",  "Label24", "Label8"};
constexpr std::string_view NameOf(Id id) {
    return kIdNames[static_cast<std::size_t>(id)];
}
std::optional<Id> IdNamed(std::string_view name);
const ControlSpec &RowOf(Id id);

inline constexpr std::array<Id, 6> kFields{Id::Text1, Id::Text2, Id::Text3,
                                           Id::Text4, Id::Text5, Id::Text6};
inline constexpr std::array<Id, 6> kResults{Id::Label19, Id::Label20, Id::Label21,
                                            Id::Label22, Id::Label23, Id::Label24};
constexpr bool IsField(Id id) {
    return id >= Id::Text1 && id <= Id::Text6;
}

// One material of the list: its name and the density text it writes into the density field.
struct Material {
    std::string name;
    std::string density;      // kg/dm3, decimal comma
    bool userEntered = false; // "ALTRO": the user types the density
    bool own = false;         // one of the desk's own grades, kept in its file
};

// The materials the window offers, in list order: the fixed sixteen, then the desk's own.
struct Catalogue {
    std::vector<Material> materials;
    static Catalogue Standard();
    // The fixed sixteen followed by the desk's own grades, in the order they were kept.
    static Catalogue WithOwn(std::vector<Material> own);
    // The material whose name is exactly the text, or nullptr.
    const Material *Find(std::string_view name) const;
    // The material a name typed by a person stands for, letter case and surrounding blanks
    // ignored: " titanio " is "Titanio". nullptr when it names none.
    const Material *Named(std::string_view typed) const;
};

// Where a field's text is selected: positions count the field's characters.
struct Selection {
    std::size_t start = 0;
    std::size_t length = 0;
};

// What an offer line records of the window: the inputs and the figures on show, as texts
// exactly as the window shows them ("15,42", "3,569644E+07").
struct Recorded {
    std::string material;
    std::string density;
    std::string shape;
    std::vector<std::pair<std::string, std::string>> dimensions; // caption as shown, value
    std::string pieces;
    std::string price;
    bool perMetre = false;
    std::string pieceWeight, nPieceWeight;
    std::string metreWeight; // "" where the shape has none
    std::string pieceCost, nPieceCost;
    std::string metreCost; // "" where it is not on show
};

// The changes an event asks of the window.
// clang-format off
struct SetText { Id id; std::string text; };       // a field, a caption, the material box
struct Show { Id id; bool shown; };
struct Enable { Id id; bool enabled; };
struct Check { Id id; bool checked; };              // a price option
struct DensityLook { bool framed; bool readOnly; }; // Text1: an input field, or a flat label
struct FillList { Id id; std::vector<std::string> entries; };
struct Pick { Id id; int row; };                    // the list's current entry; -1 for none
struct Focus { Id id; };
struct SelectAll { Id id; };                        // the next key replaces the text
struct Insert { Id id; std::string text; };         // in place of the field's selection
struct Message { std::string prompt; std::string title; }; // modal: answer with Answered()
struct Beep {};
struct Explain { Id id; std::string text; };        // why a change was refused, at the field
struct Copy { std::string text; };                  // to the clipboard, lines ending in "\n"
struct OpenSite { std::string address; };           // answer SiteNotOpened() on failure
struct Ask { std::string question; std::string title; }; // yes or no: answer with Decided()
struct KeepMaterial { std::string name; std::string density; }; // answer CatalogueChanged()
struct RemoveMaterial { std::string name; };        // or Told() with why it failed
struct AddOfferLine { Recorded line; };             // to the offer, which keeps it
struct OpenOffer {};                                // the offer's window, raised if open
// clang-format on
using Change = std::variant<SetText, Show, Enable, Check, DensityLook, FillList, Pick, Focus,
                            SelectAll, Insert, Message, Beep, Explain, Copy, OpenSite, Ask,
                            KeepMaterial, RemoveMaterial, AddOfferLine, OpenOffer>;

// What the material box's menu offers: to keep the name and density typed as one of the
// desk's own grades, or to remove the own grade in the box.
enum class MaterialAction { Keep, Remove };
struct MenuEntry {
    MaterialAction action;
    std::string text;
};
using Changes = std::vector<Change>;

// What the window shows, as the model holds it.
struct State {
    std::array<std::string, kIdCount> text{}; // fields, captions, the two lists' texts
    std::array<bool, kIdCount> shown{};
    std::array<bool, kIdCount> enabled{};
    std::array<std::string, 6> values{}; // the number in each result line, as in kResults
    bool perKilo = true;                 // Option1
    bool perMetre = false;               // Option2
    bool densityFramed = false;
    bool densityReadOnly = false;
    bool messageOpen = false;

    const std::string &Text(Id id) const { return text[static_cast<std::size_t>(id)]; }
    bool Shown(Id id) const { return shown[static_cast<std::size_t>(id)]; }
};

class Model {
public:
    explicit Model(Catalogue catalogue);

    // The window has been built: fill the lists, put the focus in the material box.
    Changes Load();

    // A character typed in a field, before it reaches the text: what it hides, and the
    // character the field takes (0 swallows it). Enter presses "CALCOLA".
    struct KeyOutcome {
        char16_t pass = 0;
        Changes changes;
    };
    KeyOutcome Typed(Id field, char16_t typed);

    // The one way in: any channel that changed, or wants to change, the text of a field or of
    // the material box (a key, a paste, undo, an input method, an accessibility client,
    // another program) proposes the new text here. A field's text must stay made of the field's
    // characters and fit its length, or the field gets its text back, with a beep and the
    // reason. An accepted change makes the results stale as a typed key does.
    Changes Proposed(Id id, std::string_view text);

    // Text pasted or dropped in place of the selection. Italian numbers are read ("1.234,5" is
    // 1234,5; "2.5" is 2,5; "1.500" is ambiguous); what is not a number goes in not at all.
    Changes Pasted(Id field, std::string_view pasted, Selection selection);

    // An entry of a list chosen with the mouse or the keyboard, by its text.
    Changes Picked(Id list, std::string_view entry);
    // A price option chosen (a click, an arrow key).
    Changes Chosen(Id option);
    // Enter on a control: "CALCOLA" where the control calculates on Enter.
    Changes Entered(Id control);
    // "CALCOLA" pressed (a click, Space, an accessibility action, a posted message).
    Changes Pressed();
    // The open message box was closed: the press that opened it goes on.
    Changes Answered();
    // The focus came to a control (Tab, a click, the program); not the window coming back.
    Changes FocusIn(Id control);
    Changes FocusOut(Id control);

    Changes CopyQuote();         // Ctrl+Shift+C, "Copia tutti i risultati"
    Changes CopyLine(Id result); // "Copia" on a result line
    // "Aggiungi all'offerta" (Ctrl+Shift+A): only while weights and costs are on show, so that
    // a line never holds figures of other inputs. "Mostra offerta" (Ctrl+Shift+O).
    Changes AddToOffer();
    Changes ShowOffer();
    std::optional<Recorded> OnShow() const;

    Changes LinkClicked();
    Changes SiteNotOpened();

    // The material box's menu, its choice, and the answer to the question it may ask.
    std::vector<MenuEntry> MaterialMenu() const;
    Changes MenuChosen(MaterialAction action);
    Changes Decided(bool yes);
    // The materials to offer from now on (the desk's file read or changed); the box keeps its
    // text, and a name that now names a material is taken as picked.
    Changes CatalogueChanged(Catalogue catalogue);
    // A message of the program's own, e.g. why a file could not be written.
    Changes Told(std::string prompt, std::string title);

    const State &Now() const { return state_; }
    const Catalogue &Materials() const { return catalogue_; }
    // The block a quote is made of, lines ending with lineEnd; empty while no result is on show.
    std::string Quote(std::string_view lineEnd = "\n") const;

private:
    std::string &TextOf(Id id) { return state_.text[static_cast<std::size_t>(id)]; }
    void SetShown(Changes &out, Id id, bool shown);
    void Write(Changes &out, Id id, std::string text);
    void HideStale(Changes &out, Id edited);
    void ApplyMaterial(Changes &out, const Material &material);
    void SetDensityLook(Changes &out, bool framed, bool readOnly);
    void JudgeTypedMaterial(Changes &out);
    void RunSteps(Changes &out);
    void Refuse(Changes &out, Id field, std::string reason);

    enum class DensityFrom { Layout, Catalogue, User };

    Catalogue catalogue_;
    State state_;
    DensityFrom densityFrom_ = DensityFrom::Layout;
    bool materialEdited_ = false;    // the box holds a name the user changed, not yet judged
    std::deque<calc::Step> pending_; // what the running press still has to do
    bool pressSpoiled_ = false;      // an input changed while its message box was open
    std::string pendingRemoval_;     // the own grade a question asks about
    bool pressBoxOpen_ = false;      // a press waits for its message box
    int toldOpen_ = 0;               // boxes of the program's own still open
};

} // namespace kalvor::form
