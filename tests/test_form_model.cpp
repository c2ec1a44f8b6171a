#include "form/model.h"
#include "form/rules.h"

#include <gtest/gtest.h>

// The window's decisions, without a toolkit: what a key, a text from any channel, a paste, a
// pick, Enter and a press do, one table per rule. The numbers themselves are the reference's
// to judge (test_reference); the windows' own tests only show that each channel reaches here.
namespace {

using namespace kalvor::form;

// The model with a pretend toolkit around it: a typed key that passes, or an inserted paste,
// comes back as the field's new text, and message boxes are answered at once unless held.
struct Desk {
    Model model{Catalogue::Standard()};
    std::vector<std::string> messages;
    bool holdMessages = false;
    int beeps = 0;
    std::string explained;
    std::string copied;
    std::vector<Id> selected;

    Desk() { Run(model.Load()); }
    const State &Now() const { return model.Now(); }
    const std::string &Text(Id id) const { return Now().Text(id); }

    void Run(const Changes &changes) {
        for (const Change &change : changes) {
            if (const auto *message = std::get_if<Message>(&change)) {
                messages.push_back(message->prompt);
                if (!holdMessages) {
                    Run(model.Answered());
                }
            } else if (std::holds_alternative<Beep>(change)) {
                ++beeps;
            } else if (const auto *why = std::get_if<Explain>(&change)) {
                explained = why->text;
            } else if (const auto *copy = std::get_if<Copy>(&change)) {
                copied = copy->text;
            } else if (const auto *select = std::get_if<SelectAll>(&change)) {
                selected.push_back(select->id);
            }
        }
    }
    // Types over the field's text, key by key, as after entering it.
    void Type(Id field, std::string_view keys) {
        std::string text;
        for (const char key : keys) {
            Model::KeyOutcome outcome = model.Typed(field, static_cast<unsigned char>(key));
            Run(outcome.changes);
            if (outcome.pass != 0) {
                text += static_cast<char>(outcome.pass);
                Run(model.Proposed(field, text));
            }
        }
    }
    void Paste(Id field, std::string_view pasted, Selection selection) {
        for (const Change &change : model.Pasted(field, pasted, selection)) {
            if (const auto *insert = std::get_if<Insert>(&change)) {
                std::string text = Text(field);
                text.replace(selection.start, selection.length, insert->text);
                Run(model.Proposed(field, text));
            } else {
                Run({change});
            }
        }
    }
    // A round bar of carbon steel, 50 x 1000 mm, 3 pieces at 2,5 per kg, calculated.
    void RoundBar(std::string_view material = "Acciaio al carbonio") {
        Run(model.Picked(Id::Combo1, material));
        Run(model.Picked(Id::Combo2, "Barra tonda"));
        Type(Id::Text2, "50");
        Type(Id::Text3, "1000");
        Type(Id::Text5, "3");
        Type(Id::Text6, "2,5");
        Run(model.Pressed());
    }
    bool Results() const { return Now().Shown(Id::Frame4) || Now().Shown(Id::Frame5); }
};

// Whatever changes a field's text, from any channel, passes one gate; an accepted change
// hides what it makes stale, a refused one gives the field its text back with a reason.
TEST(Model, EveryChangeOfAFieldPassesOneGate) {
    struct Row {
        const char *name;
        Id field;
        const char *proposed;
        const char *reason; // nullptr: accepted
        bool weightsStay;   // accepted and only the costs went stale
    };
    const Row rows[] = {
        {"a dimension", Id::Text2, "70", nullptr, false},
        {"an emptied field", Id::Text3, "", nullptr, false},
        {"the price hides only the costs", Id::Text6, "3", nullptr, true},
        {"letters and a sign", Id::Text6, "abc-", "non è un numero: «abc-»", true},
        {"other scripts' digits", Id::Text2, "１２٣.,,ab", "non è un numero: «１２٣.,,ab»", true},
        {"a second comma", Id::Text2, "1,2,3", "una sola virgola per numero", true},
        {"a comma in the pieces", Id::Text5, "1,5", "il numero pezzi è un numero intero: «1,5»",
         true},
        {"past the length", Id::Text5, "123456789", "troppe cifre per questo campo", true},
        {"a catalogue density", Id::Text1, "99", kReadOnlyDensityReason.data(), true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Desk desk;
        desk.RoundBar();
        const std::string before = desk.Text(row.field);
        desk.Run(desk.model.Proposed(row.field, row.proposed));
        if (row.reason == nullptr) {
            EXPECT_EQ(desk.Text(row.field), row.proposed);
            EXPECT_EQ(desk.beeps, 0);
        } else {
            EXPECT_EQ(desk.Text(row.field), before);
            EXPECT_EQ(desk.beeps, 1);
            EXPECT_EQ(desk.explained, row.reason);
        }
        EXPECT_EQ(desk.Now().Shown(Id::Frame4), row.weightsStay);
        EXPECT_FALSE(desk.Now().Shown(Id::Frame5) && row.reason == nullptr);
    }
}

// Keys are filtered one by one, and every key hides what it makes stale, even one swallowed.
TEST(Model, KeysAreFilteredAndHideWhatTheyMakeStale) {
    struct Row {
        Id field;
        char16_t key;
        char16_t passes;
        bool weightsStay;
    };
    const Row rows[] = {
        {Id::Text2, u'.', u',', false}, {Id::Text2, u',', u',', false}, {Id::Text5, u'.', 0, false},
        {Id::Text5, u',', 0, false},    {Id::Text4, u'a', 0, false},    {Id::Text3, u'-', 0, false},
        {Id::Text6, u'5', u'5', true},  {Id::Text6, u' ', 0, true},     {Id::Text2, 8, 8, false},
        {Id::Text1, u'7', 0, false}, // read-only density
        {Id::Text5, 27, 0, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(static_cast<int>(row.key));
        Desk desk;
        desk.RoundBar();
        const Model::KeyOutcome outcome = desk.model.Typed(row.field, row.key);
        desk.Run(outcome.changes);
        EXPECT_EQ(outcome.pass, row.passes);
        EXPECT_EQ(desk.Now().Shown(Id::Frame4), row.weightsStay);
        EXPECT_FALSE(desk.Now().Shown(Id::Frame5));
    }
}

// Pasted numbers are read as Italian numbers; what is ambiguous or no number goes in not at
// all, and the field says why.
TEST(Model, PastesAreReadAsItalianNumbersOrRefusedWithAReason) {
    struct Row {
        Id field;
        const char *before;
        Selection selection;
        const char *pasted;
        const char *after; // nullptr: refused
        const char *reason;
    };
    const Row rows[] = {
        {Id::Text2, "0,0", {0, 3}, "1.500", nullptr, "«1.500» è ambiguo: scrivere 1500 oppure 1,5"},
        {Id::Text2,
         "0,0",
         {0, 3},
         "12.345",
         nullptr,
         "«12.345» è ambiguo: scrivere 12345 oppure 12,345"},
        {Id::Text2, "0,0", {0, 3}, "1.234,5", "1234,5", ""},
        {Id::Text5, "", {0, 0}, "1.234.567", "1234567", ""},
        {Id::Text2, "0,0", {0, 3}, " 2.5 ", "2,5", ""},
        {Id::Text2, "0,0", {0, 3}, "0.125", "0,125", ""},
        {Id::Text2, "0,0", {0, 3}, "1234.567", "1234,567", ""},
        {Id::Text2, "0,0", {0, 3}, "\u00a01.234,5\u00a0", "1234,5", ""},
        {Id::Text2, "5", {1, 0}, ",5", "5,5", ""},
        {Id::Text2, "0,0", {0, 3}, "1.23,4", nullptr, "non è un numero: «1.23,4»"},
        {Id::Text2, "0,0", {0, 3}, "1,234.5", nullptr, "non è un numero: «1,234.5»"},
        {Id::Text2, "0,0", {0, 3}, "2.5kg", nullptr, "non è un numero: «2.5kg»"},
        {Id::Text2, "0,0", {0, 3}, "-5", nullptr, "non è un numero: «-5»"},
        {Id::Text2, "0,0", {0, 3}, "1e5", nullptr, "non è un numero: «1e5»"},
        {Id::Text2, "0,0", {0, 3}, "50\n1000", nullptr, "non è un numero: «50\n1000»"},
        {Id::Text2, "0,0", {0, 3}, ".", nullptr, "non è un numero: «.»"},
        {Id::Text2, "0,0", {0, 3}, " ", nullptr, "niente da incollare"},
        {Id::Text2, "0,0", {3, 0}, "5", "0,05", ""},
        {Id::Text2, "0,0", {3, 0}, "2,5", nullptr, "una sola virgola per numero"},
        {Id::Text2, "0,0", {0, 3}, "1234567890", nullptr, "troppe cifre per questo campo"},
        {Id::Text5, "", {0, 0}, "2.5", nullptr, "il numero pezzi è un numero intero: «2,5»"},
        {Id::Text1, "7,85", {0, 4}, "8", nullptr, kReadOnlyDensityReason.data()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.pasted);
        Desk desk;
        desk.Run(desk.model.Picked(Id::Combo1, "Acciaio al carbonio"));
        desk.Run(desk.model.Picked(Id::Combo2, "Lamiera"));
        desk.Run(desk.model.Proposed(row.field, row.before));
        desk.Paste(row.field, row.pasted, row.selection);
        EXPECT_EQ(desk.Text(row.field), row.after ? row.after : row.before);
        EXPECT_EQ(desk.beeps, row.after ? 0 : 1);
        EXPECT_EQ(desk.explained, row.reason);
    }
}

// A name typed into the material box is judged on leaving it, on Enter and on a press: a
// catalogue name is a pick; any other name never keeps a catalogue density.
TEST(Model, ATypedMaterialIsAPickOrLeavesTheDensityToTheUser) {
    struct Row {
        const char *name;
        const char *picked; // before typing; "" for none
        const char *typedDensity;
        const char *typed;
        const char *density;
        bool readOnly;
    };
    const Row rows[] = {
        {"a catalogue name", "Acciaio al carbonio", "", "Titanio", "4,51", true},
        {"any case, blanks", "Acciaio al carbonio", "", "  tITANIO ", "4,51", true},
        {"unknown after a catalogue one", "Titanio", "", "Inconel 625", "0,00", false},
        {"unknown after a typed density", "ALTRO", "8,4", "Inconel 625", "8,4", false},
        {"unknown at start", "", "", "Inconel 625", "0,0", false},
    };
    for (const Row &row : rows) {
        for (const int road : {0, 1, 2, 3}) { // leaving the box, Enter, CALCOLA, a pick
            SCOPED_TRACE(std::string(row.name) + " road " + std::to_string(road));
            Desk desk;
            if (*row.picked) {
                desk.Run(desk.model.Picked(Id::Combo1, row.picked));
            }
            if (*row.typedDensity) {
                desk.Type(Id::Text1, row.typedDensity);
            }
            desk.Run(desk.model.Proposed(Id::Combo1, row.typed));
            desk.Run(road == 0   ? desk.model.FocusOut(Id::Combo1)
                     : road == 1 ? desk.model.Entered(Id::Combo1)
                     : road == 2 ? desk.model.Pressed()
                                 : desk.model.Picked(Id::Combo1, row.typed));
            EXPECT_EQ(desk.Text(Id::Text1), row.density);
            EXPECT_EQ(desk.Now().densityReadOnly, row.readOnly);
            EXPECT_EQ(desk.Now().densityFramed, !row.readOnly);
        }
    }
    // Priced as titanium only when the name says titanium: no density is borrowed, and a shape
    // is one of the list's.
    Desk desk;
    desk.RoundBar();
    desk.Run(desk.model.Picked(Id::Combo2, "Barra esagonale"));
    EXPECT_EQ(desk.Text(Id::Combo2), "Barra tonda");
    EXPECT_TRUE(desk.Results());
    desk.Run(desk.model.Proposed(Id::Combo1, "Acciaio al carbonioTitanio"));
    EXPECT_FALSE(desk.Results());
    desk.Run(desk.model.Pressed());
    EXPECT_EQ(desk.messages.back(), "selezionare un materiale");
}

// One press at a time: a press while its message box is open is ignored, and a press whose
// inputs changed under its box shows nothing when the box closes.
TEST(Model, OnePressAtATime) {
    for (const bool densityTyped : {false, true}) {
        SCOPED_TRACE(densityTyped);
        Desk desk;
        desk.holdMessages = true;
        desk.RoundBar("ALTRO");
        ASSERT_EQ(desk.messages, std::vector<std::string>{"selezionare un materiale"});
        if (densityTyped) {
            desk.Run(desk.model.Proposed(Id::Text1, "7,85"));
        }
        for (int n = 0; n < 3000; ++n) {
            EXPECT_TRUE(desk.model.Pressed().empty());
            EXPECT_TRUE(desk.model.Typed(Id::Text5, u'\r').changes.empty());
        }
        EXPECT_FALSE(desk.Results());
        desk.Run(desk.model.Answered());
        EXPECT_EQ(desk.messages.size(), 1U);
        // Untouched, the press goes on with density 0; spoiled, it shows nothing.
        EXPECT_EQ(desk.Results(), !densityTyped);
        EXPECT_EQ(desk.Text(Id::Label19), densityTyped ? "peso 1 pezzo" : "1 pezzo: 0 Kg");
        desk.Run(desk.model.Pressed());
        EXPECT_EQ(desk.Text(Id::Label19), densityTyped ? "1 pezzo: 15,42 Kg" : "1 pezzo: 0 Kg");
    }
}

// Enter calculates wherever the window says it does; the focus goes back to the material box
// with its name selected, so typing replaces it.
TEST(Model, EnterCalculatesAndTheMaterialBoxSelectsOnEntry) {
    for (const Id control :
         {Id::Combo1, Id::Combo2, Id::Option1, Id::Option2, Id::Text1, Id::Text5, Id::Command1}) {
        SCOPED_TRACE(std::string(NameOf(control)));
        Desk desk;
        desk.RoundBar();
        desk.Run(desk.model.Chosen(Id::Option1));
        EXPECT_FALSE(desk.Now().Shown(Id::Frame5));
        desk.selected.clear();
        desk.Run(desk.model.Entered(control));
        EXPECT_TRUE(desk.Now().Shown(Id::Frame5));
        EXPECT_EQ(desk.selected, std::vector<Id>{Id::Combo1});
    }
    Desk desk;
    EXPECT_EQ(desk.selected, std::vector<Id>{Id::Combo1}); // at start
    const Model::KeyOutcome enter = desk.model.Typed(Id::Text2, u'\r');
    EXPECT_EQ(enter.pass, 0);
    for (const Id control : {Id::Combo1, Id::Text2, Id::Text6}) {
        EXPECT_EQ(desk.model.FocusIn(control).size(), 1U);
    }
    desk.Run(desk.model.Picked(Id::Combo1, "Titanio"));
    EXPECT_TRUE(desk.model.FocusIn(Id::Text1).empty()); // read-only: nothing to replace
}

// The quote is the inputs and the result lines on show, whatever their number.
TEST(Model, TheQuoteIsWhatIsOnShow) {
    Desk desk;
    desk.Run(desk.model.CopyQuote());
    EXPECT_EQ(desk.beeps, 1); // nothing calculated
    desk.RoundBar();
    desk.Run(desk.model.CopyQuote());
    EXPECT_EQ(desk.copied, "materiale: Acciaio al carbonio\n"
                           "densità: 7,85 Kg/dm³\n"
                           "formato: Barra tonda\n"
                           "Diametro: 50 mm\n"
                           "Lunghezza: 1000 mm\n"
                           "numero pezzi: 3\n"
                           "prezzo: 2,5 €/Kg\n"
                           "1 pezzo: 15,42 Kg\n"
                           "3 pezzi: 46,26 Kg\n"
                           "1 metro: 15,42 Kg\n"
                           "1 pezzo: 38,55 €\n"
                           "3 pezzi: 115,65 €\n"
                           "1 metro 38,55 €\n");
    desk.Run(desk.model.CopyLine(Id::Label23));
    EXPECT_EQ(desk.copied, "3 pezzi: 115,65 €");
    // Fourteen lines: a tube by its diameters, 2 pieces.
    desk.Run(desk.model.Picked(Id::Combo2, "Tubo diametri"));
    desk.Type(Id::Text2, "60");
    desk.Type(Id::Text3, "50");
    desk.Type(Id::Text4, "1000");
    desk.Type(Id::Text5, "2");
    desk.Type(Id::Text6, "1");
    desk.Run(desk.model.Chosen(Id::Option1));
    desk.Run(desk.model.Pressed());
    desk.Run(desk.model.CopyQuote());
    EXPECT_EQ(desk.copied.substr(0, desk.copied.find("1 pezzo")),
              "materiale: Acciaio al carbonio\ndensità: 7,85 Kg/dm³\nformato: Tubo diametri\n"
              "Diametro ext: 60 mm\nDiametro int: 50 mm\nLunghezza: 1000 mm\n"
              "numero pezzi: 2\nprezzo: 1 €/Kg\n");
    EXPECT_EQ(std::count(desk.copied.begin(), desk.copied.end(), '\n'), 14);
    desk.Run(desk.model.Proposed(Id::Text6, "2"));
    desk.Run(desk.model.CopyLine(Id::Label22));
    EXPECT_EQ(desk.beeps, 2); // the cost is stale
}

} // namespace

namespace {

// The desk's own grades: the box's menu offers to keep a typed name with a typed density, or
// to remove an own grade after a question; a kept grade behaves as a catalogue material.
TEST(Model, OwnGradesAreKeptAndRemovedFromTheMaterialBox) {
    struct Row {
        const char *name;
        const char *picked;
        const char *density; // typed, "" for none
        const char *box;
        const char *entry; // "" for none
    };
    const Row rows[] = {
        {"a new name and a typed density", "ALTRO", "7,98", " 316L ",
         "Memorizza materiale «316L» (7,98 Kg/dm³)"},
        {"no density yet", "ALTRO", "", "316L", ""},
        {"a density of zero", "ALTRO", "0", "316L", ""},
        {"a catalogue name", "ALTRO", "7,98", "titanio", ""},
        {"a catalogue density", "Titanio", "", "316L", ""},
        {"an own grade", "ALTRO", "", "inconel 718", "Elimina materiale «Inconel 718»"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Desk desk;
        desk.Run(desk.model.CatalogueChanged(Catalogue::WithOwn({{"Inconel 718", "8,19"}})));
        desk.Run(desk.model.Picked(Id::Combo1, row.picked));
        desk.Type(Id::Text1, row.density);
        desk.Run(desk.model.Proposed(Id::Combo1, row.box));
        const std::vector<MenuEntry> menu = desk.model.MaterialMenu();
        EXPECT_EQ(menu.empty() ? "" : menu[0].text, row.entry);
    }

    Desk desk;
    desk.RoundBar("ALTRO");
    desk.Type(Id::Text1, "7,98");
    desk.Run(desk.model.Proposed(Id::Combo1, "316L"));
    const Changes keep = desk.model.MenuChosen(MaterialAction::Keep);
    ASSERT_EQ(keep.size(), 1U);
    EXPECT_EQ(std::get<KeepMaterial>(keep[0]).density, "7,98");
    // The file took it: from now on the name is a material of the list, its density fixed.
    desk.Run(desk.model.CatalogueChanged(Catalogue::WithOwn({{"316L", "7,98"}})));
    EXPECT_TRUE(desk.Now().densityReadOnly);
    EXPECT_EQ(desk.Text(Id::Combo1), "316L");
    desk.Run(desk.model.Pressed());
    EXPECT_EQ(desk.Text(Id::Label19), "1 pezzo: 15,67 Kg");
    desk.Run(desk.model.Picked(Id::Combo1, "ALTRO"));
    desk.Type(Id::Text1, "2,5");
    desk.Run(desk.model.Proposed(Id::Combo1, " 316l"));
    desk.Run(desk.model.FocusOut(Id::Combo1));
    EXPECT_EQ(desk.Text(Id::Text1), "7,98"); // typed, as a catalogue name would be

    // Removing asks first; another window's change leaves a typed "ALTRO" density alone.
    EXPECT_TRUE(desk.model.Decided(true).empty());
    const Changes ask = desk.model.MenuChosen(MaterialAction::Remove);
    EXPECT_EQ(std::get<Ask>(ask.at(0)).question, "Eliminare il materiale «316L»?");
    EXPECT_EQ(std::get<RemoveMaterial>(desk.model.Decided(true).at(0)).name, "316L");
    desk.Run(desk.model.Picked(Id::Combo1, "ALTRO"));
    desk.Type(Id::Text1, "2,5");
    desk.Run(desk.model.CatalogueChanged(Catalogue::Standard()));
    EXPECT_EQ(desk.Text(Id::Text1), "2,5");
    // The same names again leave the list as it is: no window refills it.
    for (const Change &change : desk.model.CatalogueChanged(Catalogue::Standard())) {
        EXPECT_FALSE(std::holds_alternative<FillList>(change));
    }
}

} // namespace
