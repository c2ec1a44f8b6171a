// libFuzzer target: the number services against the reference, then the window's model driven
// as a toolkit drives it by events the fuzzer's bytes choose. After every event the fields hold
// only their characters, the results on show are the reference's for the inputs on show and the
// quote lists what is on show; a press run to its end shows what the reference shows, boxes and
// focus included, and one whose inputs changed under its box shows nothing.
#include "form/model.h"
#include "reference/catalogue.h"
#include "reference/product_screen.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <tuple>

namespace {

using namespace kalvor;
using form::Id;

struct Choices {
    FuzzedDataProvider &bytes;
    unsigned Pick(std::size_t n) {
        return bytes.ConsumeIntegralInRange<unsigned>(0, static_cast<unsigned>(n) - 1);
    }
    std::uint64_t Bits() { return bytes.ConsumeIntegral<std::uint64_t>(); }
};

std::string events; // of this input so far, printed with a mismatch

void Check(bool condition, const std::string &what) {
    if (!condition) {
        std::fprintf(stderr, "events:%s\nmismatch: %s\n", events.c_str(), what.c_str());
        std::abort();
    }
}

reference::Inputs InputsOnShow(const form::State &s) {
    return {s.Text(Id::Text1),  {s.Text(Id::Text2), s.Text(Id::Text3), s.Text(Id::Text4)},
            s.Text(Id::Text5),  s.Text(Id::Text6),
            s.Text(Id::Combo2), s.perKilo,
            s.perMetre};
}

// All the window shows; its first three, what a person can change.
auto All(const form::State &s) {
    return std::tie(s.text, s.perKilo, s.perMetre, s.shown, s.enabled, s.densityFramed,
                    s.densityReadOnly, s.messageOpen);
}

reference::Screen ScreenOf(const form::State &s) {
    reference::Screen screen;
    screen.frame4 = s.Shown(Id::Frame4);
    screen.frame5 = s.Shown(Id::Frame5);
    for (std::size_t i = 0; i < 6; ++i) {
        screen.captions[i] = s.Text(form::kResults[i]);
        screen.visible[i] = s.Shown(form::kResults[i]);
    }
    screen.pieces = s.Text(Id::Text5);
    return screen;
}

std::string Show(const reference::Screen &s) {
    std::string text = std::to_string(s.frame4) + " | " + reference::Summary(s) + " | " + s.focus;
    for (const auto &m : s.messages) {
        text += " | box " + m.prompt;
    }
    return text;
}

// The quote as a person reads the window: the inputs on show, then the result lines on show.
std::string QuoteOnShow(const form::State &s) {
    if (!s.Shown(Id::Frame4)) {
        return {};
    }
    std::string quote = "materiale: " + s.Text(Id::Combo1) + "\ndensità: " + s.Text(Id::Text1) +
                        " Kg/dm³\nformato: " + s.Text(Id::Combo2) + "\n";
    const Id captions[] = {Id::Label5, Id::Label9, Id::Label10};
    for (std::size_t row = 0; row < 3; ++row) {
        const std::string &caption = s.Text(captions[row]);
        if (s.Shown(form::kFields[row + 1])) {
            quote += caption.substr(0, caption.find(':')) + ": " + s.Text(form::kFields[row + 1]) +
                     " mm\n";
        }
    }
    quote += "numero pezzi: " + s.Text(Id::Text5) + "\nprezzo: " + s.Text(Id::Text6) +
             (s.perMetre ? " €/m\n" : " €/Kg\n");
    for (std::size_t i = 0; i < 6; ++i) {
        if (s.Shown(form::kResults[i]) && s.Shown(i < 3 ? Id::Frame4 : Id::Frame5)) {
            quote += s.Text(form::kResults[i]) + "\n";
        }
    }
    return quote;
}

// After every event: what the window shows must be true of what it shows.
void CheckWindow(const form::Model &model) {
    const form::State &s = model.Now();
    for (const Id field : form::kFields) {
        const std::string &text = s.Text(field);
        const bool decimal = form::RowOf(field).filter == form::FieldFilter::Decimal;
        Check(text.size() <= static_cast<std::size_t>(form::RowOf(field).maxLength) &&
                  std::ranges::count(text, ',') <= decimal &&
                  text.find_first_not_of("0123456789,") == std::string::npos,
              std::string(form::NameOf(field)) + " holds '" + text + "'");
    }
    Check(model.Quote() == QuoteOnShow(s), "quote\n" + model.Quote());
    if (!s.Shown(Id::Frame4)) {
        return;
    }
    // Beside results, a density from the list belongs to the material on show; for any other
    // name it stands in an open field.
    const auto listed =
        std::ranges::find(reference::kMaterials, s.Text(Id::Combo1), &reference::MaterialRow::name);
    const bool fixed = listed != reference::kMaterials.end() && !listed->userEntered;
    Check(s.densityReadOnly == fixed && (!fixed || listed->density == s.Text(Id::Text1)),
          "density '" + s.Text(Id::Text1) + "' for '" + s.Text(Id::Combo1) + "'");
    // The weights on show are a fresh press's whatever the price says; the costs on show, for
    // the price and basis on show too.
    for (const bool costs : {false, true}) {
        if (costs && !s.Shown(Id::Frame5)) {
            continue;
        }
        reference::Inputs in = InputsOnShow(s);
        in.price = costs ? in.price : "0";
        const reference::Screen want = reference::Press({}, in), got = ScreenOf(s);
        bool same = costs ? want.frame5 : want.frame4;
        for (std::size_t i = costs ? 3 : 0; i < (costs ? 6u : 3u); ++i) {
            same = same && got.visible[i] == want.visible[i] &&
                   (!got.visible[i] || got.captions[i] == want.captions[i]);
        }
        Check(same, "results on show " + Show(got) + "\nfresh press " + Show(want));
    }
}

struct Desk {
    Choices &c;
    form::Model model{form::Catalogue::Standard()};
    reference::Screen before{}; // when the current event came
    struct Press { // under way: the screen before it, what it showed, edits under its boxes
        reference::Screen before, shown;
        bool touched = false, changed = false; // an edit came; an input did change
    };
    std::optional<Press> press{};

    form::Selection SelectionIn(const std::string &text) {
        const std::size_t start = c.Pick(text.size() + 1);
        return {start, c.Pick(text.size() - start + 1)};
    }

    // Numbers up to past the field's limit; names in any case, blanks, halfway typed, or junk.
    std::string TextFor(Id id) {
        if (id != Id::Combo1) {
            return reference::NumberText(c, form::RowOf(id).maxLength + 2);
        }
        std::string name(reference::kMaterials[c.Pick(16)].name);
        for (char &ch : name) { // letters in any case
            ch = static_cast<char>(std::isalpha(ch) && c.Pick(3) == 0 ? ch ^ 0x20 : ch);
        }
        return c.Pick(4) == 0   ? c.bytes.ConsumeRandomLengthString(30)
               : c.Pick(3) == 0 ? name.substr(0, c.Pick(name.size()))
               : c.Pick(2)      ? " " + name + "\xC2\xA0"
                                : name;
    }

    // An event's changes in order: a press's boxes and captions come before any frame is shown,
    // so that no result it is about to replace stands beside a box.
    void Apply(const form::Changes &changes) {
        bool framesShown = false;
        for (const form::Change &change : changes) {
            const auto *message = std::get_if<form::Message>(&change);
            const auto *focus = std::get_if<form::Focus>(&change);
            const auto *show = std::get_if<form::Show>(&change);
            const auto *set = std::get_if<form::SetText>(&change);
            framesShown = framesShown ||
                          (show && show->shown && show->id <= Id::Frame5 && show->id >= Id::Frame4);
            Check(!framesShown ||
                      (!message && !(set && std::ranges::count(form::kResults, set->id))),
                  "a box or a caption after a frame was shown");
            if ((message || focus) && !press) { // only a press opens a box or moves the focus
                press = Press{before, before};
            }
            if (message) {
                press->shown.messages.push_back({message->prompt, message->title});
            } else if (focus) {
                press->shown.focus = form::NameOf(focus->id);
            }
        }
    }

    void Propose(Id id, const std::string &text, const char *how) {
        events += std::string("\n") + how + " Proposed " + std::string(form::NameOf(id)) + " '" +
                  text + "'";
        Apply(model.Proposed(id, text));
    }

    void Finish() {
        const form::State &s = model.Now();
        if (press->changed) {
            Check(!s.Shown(Id::Frame4) && !s.Shown(Id::Frame5), "results of changed inputs");
        } else if (!press->touched || s.Shown(Id::Frame4)) {
            const reference::Screen want = reference::Press(press->before, InputsOnShow(s));
            reference::Screen got = ScreenOf(s);
            std::tie(got.messages, got.focus, got.focusSelected) =
                std::tie(press->shown.messages, press->shown.focus, want.focusSelected);
            Check(got == want, "press " + Show(got) + "\nreference " + Show(want));
        }
        press.reset();
    }

    void Event();
};

void Desk::Event() {
    const form::State was = model.Now();
    before = ScreenOf(was);
    std::vector<Id> fields; // a toolkit gives keys and pastes to the fields on show only
    std::ranges::copy_if(form::kFields, std::back_inserter(fields),
                         [&](Id f) { return was.Shown(f); });
    const Id field = fields[c.Pick(fields.size())];
    bool edit = true;
    switch (was.messageOpen && c.Pick(2) ? 11 : c.Pick(12)) {
    case 0:
    case 1: { // a key: what the field takes replaces the selection, and the text is proposed
        static constexpr std::u16string_view kKeys = u"0123456789,.-e +\b\r";
        const char16_t key =
            c.Pick(8) ? kKeys[c.Pick(kKeys.size())] : c.bytes.ConsumeIntegral<char16_t>();
        events += "\nTyped " + std::string(form::NameOf(field)) + " " + std::to_string(key);
        const auto [pass, changes] = model.Typed(field, key);
        Apply(changes);
        if (pass != 0) {
            std::string text = model.Now().Text(field);
            form::Selection at = SelectionIn(text);
            if (pass == u'\b' && at.length == 0 && at.start > 0) {
                at = {at.start - 1, 1};
            }
            text.replace(at.start, at.length, pass == u'\b' ? 0 : 1, char(pass));
            Propose(field, text, "key");
        }
        break;
    }
    case 2: {
        const Id id = c.Pick(3) ? field : Id::Combo1;
        Propose(id, TextFor(id), "any channel");
        break;
    }
    case 3:
    case 4: { // a paste: numbers the Italian way, the English way, blanks around, or junk
        std::string text = TextFor(field);
        std::ranges::replace(text, ',', c.Pick(2) ? '.' : ',');
        const std::size_t dot = c.Pick(text.size() + 1);
        static constexpr const char *kBlanks[] = {"", "", " ", "\xC2\xA0", "\n", "\t"};
        const std::string left = kBlanks[c.Pick(6)];
        text = left + text.insert(dot, c.Pick(3) ? "" : ".") + kBlanks[c.Pick(6)];
        const std::string now = model.Now().Text(field);
        const form::Selection at = SelectionIn(now);
        events += "\nPasted '" + text + "' at " + std::to_string(at.start) + "+" +
                  std::to_string(at.length);
        for (const form::Change &change : model.Pasted(field, text, at)) {
            if (const auto *insert = std::get_if<form::Insert>(&change)) {
                const std::string result =
                    std::string(now).replace(at.start, at.length, insert->text);
                Propose(field, result, "");
                Check(model.Now().Text(field) == result, "a paste let in, then refused");
            }
        }
        break;
    }
    case 5: { // mostly one of the list's entries, sometimes any text at all
        const bool materials = c.Pick(2);
        const std::string entry = c.Pick(5) == 0 ? TextFor(materials ? Id::Combo1 : Id::Text2)
                                  : materials ? std::string(reference::kMaterials[c.Pick(16)].name)
                                              : std::string(reference::kShapes[c.Pick(7)]);
        events += std::string("\nPicked '") + entry + "'";
        Apply(model.Picked(materials ? Id::Combo1 : Id::Combo2, entry));
        break;
    }
    case 6: {
        const Id option = c.Pick(2) ? Id::Option1 : Id::Option2;
        events += "\nChosen " + std::string(form::NameOf(option));
        Apply(model.Chosen(option));
        break;
    }
    case 7:
    case 8: { // Enter on any control, a click: while a box is open they change nothing
        const Id on = static_cast<Id>(c.Pick(form::kIdCount));
        const bool clicked = c.Pick(2);
        events += clicked ? "\nPressed" : "\nEntered " + std::string(form::NameOf(on));
        const form::Changes changes = clicked ? model.Pressed() : model.Entered(on);
        Check(!was.messageOpen || (changes.empty() && All(was) == All(model.Now())),
              "a second press while a box is open");
        Apply(changes);
        edit = false;
        break;
    }
    case 9: {
        const Id control = *form::IdNamed(form::kTabOrder[c.Pick(form::kTabOrder.size())]);
        edit = c.Pick(2);
        events += (edit ? "\nFocusOut " : "\nFocusIn ") + std::string(form::NameOf(control));
        Apply(edit ? model.FocusOut(control) : model.FocusIn(control));
        break;
    }
    default:
        edit = false;
        if (was.messageOpen) {
            events += "\nAnswered";
            Apply(model.Answered());
            break;
        }
        events += "\nCopyQuote";
        const form::Changes changes = model.CopyQuote();
        const auto *copy = changes.size() == 1 ? std::get_if<form::Copy>(&changes[0]) : nullptr;
        Check((copy ? copy->text : "") == QuoteOnShow(model.Now()), "copied quote");
    }
    if (press && was.messageOpen) {
        press->touched = press->touched || edit;
        const form::State &now = model.Now();
        press->changed =
            press->changed || (edit && std::tie(was.text, was.perKilo, was.perMetre) !=
                                           std::tie(now.text, now.perKilo, now.perMetre));
    }
    if (press && !model.Now().messageOpen) {
        Finish();
    }
    CheckWindow(model);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzedDataProvider bytes(data, size);
    Choices choices{bytes};
    reference::CompareNumberServices(choices, Check);
    events.clear();
    Desk desk{choices};
    for (int event = 0; event < 200 && bytes.remaining_bytes() > 0; ++event) {
        desk.Event();
    }
    return 0;
}
