#include "form/model.h"

#include "calc/catalogue.h"
#include "calc/messages.h"
#include "form/maker.h"
#include "form/rules.h"
#include "runtime/number_text.h"

#include <algorithm>
#include <utility>

namespace kalvor::form {
namespace {

std::size_t At(Id id) {
    return static_cast<std::size_t>(id);
}

// The controls a press names, in the order of calc::Control.
constexpr std::array<Id, 7> kPressControls{Id::Combo1, Id::Text1, Id::Text2, Id::Text3,
                                           Id::Text4,  Id::Text5, Id::Text6};

Id FieldOf(calc::Control control) {
    return kPressControls[static_cast<std::size_t>(control)];
}

Id ResultOf(calc::ResultLabel label) {
    return kResults[static_cast<std::size_t>(label)];
}

// The frame a result line stands in.
Id FrameOf(Id result) {
    return result <= Id::Label21 ? Id::Frame4 : Id::Frame5;
}

char ToLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr std::array<Id, 3> kDimensionFields{Id::Text2, Id::Text3, Id::Text4};
constexpr std::array<Id, 3> kDimensionCaptions{Id::Label5, Id::Label9, Id::Label10};
constexpr std::array<Id, 3> kDimensionUnits{Id::Label11, Id::Label12, Id::Label13};

} // namespace

std::optional<Id> IdNamed(std::string_view name) {
    const auto found = std::ranges::find(kIdNames, name);
    if (found == kIdNames.end()) {
        return std::nullopt;
    }
    return static_cast<Id>(found - kIdNames.begin());
}

const ControlSpec &RowOf(Id id) {
    return *FindControl(NameOf(id));
}

Catalogue Catalogue::Standard() {
    Catalogue catalogue;
    for (const calc::MaterialEntry &entry : calc::kMaterials) {
        catalogue.materials.push_back(
            {std::string(entry.listText), std::string(entry.densityText), entry.userEntered});
    }
    return catalogue;
}

Catalogue Catalogue::WithOwn(std::vector<Material> own) {
    Catalogue catalogue = Standard();
    for (Material &material : own) {
        material.own = true;
        catalogue.materials.push_back(std::move(material));
    }
    return catalogue;
}

const Material *Catalogue::Find(std::string_view name) const {
    const auto found = std::ranges::find(materials, name, &Material::name);
    return found == materials.end() ? nullptr : &*found;
}

const Material *Catalogue::Named(std::string_view typed) const {
    const std::string_view name = TrimBlanks(typed);
    const auto found = std::ranges::find_if(materials, [&](const Material &material) {
        return std::ranges::equal(name, material.name,
                                  [](char a, char b) { return ToLower(a) == ToLower(b); });
    });
    return found == materials.end() ? nullptr : &*found;
}

Model::Model(Catalogue catalogue) : catalogue_(std::move(catalogue)) {
    for (std::size_t n = 0; n < kIdCount; ++n) {
        const ControlSpec &row = RowOf(static_cast<Id>(n));
        state_.text[n] = std::string(row.caption);
        state_.shown[n] = (row.flags & Hidden) == 0;
        state_.enabled[n] = true;
    }
    state_.text[At(Id::Combo2)].clear();
}

Changes Model::Load() {
    Changes out;
    std::vector<std::string> names;
    for (const Material &material : catalogue_.materials) {
        names.push_back(material.name);
    }
    out.push_back(FillList{Id::Combo1, std::move(names)});
    std::vector<std::string> shapes;
    for (const calc::ShapeEntry &shape : calc::kShapes) {
        shapes.emplace_back(shape.listText);
    }
    out.push_back(FillList{Id::Combo2, std::move(shapes)});
    out.push_back(Focus{Id::Combo1});
    out.push_back(SelectAll{Id::Combo1});
    return out;
}

void Model::SetShown(Changes &out, Id id, bool shown) {
    if (state_.shown[At(id)] != shown) {
        state_.shown[At(id)] = shown;
        out.push_back(Show{id, shown});
    }
}

void Model::Write(Changes &out, Id id, std::string text) {
    if (TextOf(id) != text) {
        TextOf(id) = text;
        out.push_back(SetText{id, std::move(text)});
    }
}

// A change of the price, or of the price basis, makes only the costs stale; of anything else,
// both results. A change while a press's message box is open spoils that press.
void Model::HideStale(Changes &out, Id edited) {
    if (state_.messageOpen) {
        pressSpoiled_ = true;
    }
    SetShown(out, Id::Frame5, false);
    const bool costsOnly = edited == Id::Option1 || edited == Id::Option2 ||
                           (IsField(edited) && (RowOf(edited).flags & HidesCostsOnly) != 0);
    if (!costsOnly) {
        SetShown(out, Id::Frame4, false);
    }
}

void Model::SetDensityLook(Changes &out, bool framed, bool readOnly) {
    state_.densityFramed = framed;
    state_.densityReadOnly = readOnly;
    out.push_back(DensityLook{framed, readOnly});
}

// A catalogue density reads like a label; "ALTRO" opens an ordinary field for typing.
void Model::ApplyMaterial(Changes &out, const Material &material) {
    densityFrom_ = material.userEntered ? DensityFrom::User : DensityFrom::Catalogue;
    Write(out, Id::Text1, material.density);
    SetDensityLook(out, material.userEntered, !material.userEntered);
}

// A name the user changed counts as picked from the list when it names a material. Any other
// name leaves the density to the user, in plain sight: a catalogue density is dropped, as a
// pick of "ALTRO" drops it, so that no material is priced with another's density.
void Model::JudgeTypedMaterial(Changes &out) {
    if (!materialEdited_) {
        return;
    }
    materialEdited_ = false;
    HideStale(out, Id::Combo1);
    if (const Material *material = catalogue_.Named(TextOf(Id::Combo1))) {
        out.push_back(Pick{Id::Combo1, static_cast<int>(material - catalogue_.materials.data())});
        TextOf(Id::Combo1) = material->name;
        out.push_back(SetText{Id::Combo1, material->name});
        ApplyMaterial(out, *material);
        return;
    }
    if (densityFrom_ == DensityFrom::Catalogue) {
        densityFrom_ = DensityFrom::User;
        Write(out, Id::Text1, "0,00");
    }
    SetDensityLook(out, true, false);
}

void Model::Refuse(Changes &out, Id field, std::string reason) {
    out.push_back(SetText{field, TextOf(field)});
    out.push_back(Beep{});
    out.push_back(Explain{field, std::move(reason)});
}

Model::KeyOutcome Model::Typed(Id field, char16_t typed) {
    KeyOutcome outcome;
    if (typed == u'\r' || typed == u'\n') {
        outcome.changes = Entered(field); // a press, which changes no input
        return outcome;
    }
    HideStale(outcome.changes, field);
    outcome.pass = FilterKey(RowOf(field).filter, typed);
    if (field == Id::Text1 && state_.densityReadOnly && outcome.pass != 0) {
        outcome.pass = 0;
        outcome.changes.push_back(Beep{});
        outcome.changes.push_back(Explain{field, std::string(kReadOnlyDensityReason)});
    }
    return outcome;
}

Changes Model::Proposed(Id id, std::string_view text) {
    Changes out;
    if (TextOf(id) == text) {
        return out;
    }
    if (id == Id::Combo1) {
        TextOf(id) = std::string(text);
        materialEdited_ = true;
        HideStale(out, id);
        return out;
    }
    if (id == Id::Combo2) {
        // A list that takes no typing: a text set from outside is a pick of that entry.
        if (calc::FindShape(text) == nullptr) {
            out.push_back(SetText{id, TextOf(id)});
            out.push_back(Beep{});
            return out;
        }
        return Picked(id, text);
    }
    if (!IsField(id)) {
        out.push_back(SetText{id, TextOf(id)});
        return out;
    }
    if (id == Id::Text1 && state_.densityReadOnly) {
        Refuse(out, id, std::string(kReadOnlyDensityReason));
        return out;
    }
    if (auto fault = FieldTextFault(RowOf(id), text)) {
        Refuse(out, id, std::move(*fault));
        return out;
    }
    TextOf(id) = std::string(text);
    if (id == Id::Text1) {
        densityFrom_ = DensityFrom::User;
    }
    HideStale(out, id);
    return out;
}

Changes Model::Pasted(Id field, std::string_view pasted, Selection selection) {
    Changes out;
    const auto refuse = [&](std::string reason) {
        out.push_back(Beep{});
        out.push_back(Explain{field, std::move(reason)});
        return out;
    };
    if (field == Id::Text1 && state_.densityReadOnly) {
        return refuse(std::string(kReadOnlyDensityReason));
    }
    PasteReading reading = ReadPasted(pasted);
    if (!reading.text) {
        return refuse(std::move(reading.refusal));
    }
    const std::string &now = TextOf(field);
    const std::size_t start = std::min(selection.start, now.size());
    const std::size_t length = std::min(selection.length, now.size() - start);
    const std::string result = now.substr(0, start) + *reading.text + now.substr(start + length);
    if (auto fault = FieldTextFault(RowOf(field), result)) {
        return refuse(std::move(*fault));
    }
    out.push_back(Insert{field, std::move(*reading.text)});
    return out;
}

Changes Model::Picked(Id list, std::string_view entry) {
    Changes out;
    const calc::ShapeEntry *shape = list == Id::Combo2 ? calc::FindShape(entry) : nullptr;
    if (list == Id::Combo2 && shape == nullptr) {
        // No entry of the list: the shape on show stays.
        out.push_back(SetText{list, TextOf(list)});
        out.push_back(Beep{});
        return out;
    }
    HideStale(out, list);
    TextOf(list) = std::string(entry);
    if (list == Id::Combo1) {
        materialEdited_ = false;
        if (const Material *material = catalogue_.Find(entry)) {
            ApplyMaterial(out, *material);
        } else {
            // A name that is no entry of the list is judged as a typed one: it never keeps
            // the density of the material before it.
            materialEdited_ = true;
            JudgeTypedMaterial(out);
        }
        return out;
    }
    for (std::size_t row = 0; row < 3; ++row) {
        const calc::RowSetting &setting = shape->rows[row];
        SetShown(out, kDimensionCaptions[row], setting.shown);
        SetShown(out, kDimensionFields[row], setting.shown);
        Write(out, kDimensionFields[row], "0,0");
        SetShown(out, kDimensionUnits[row], setting.shown);
        Write(out, kDimensionCaptions[row], std::string(setting.caption));
    }
    // Option buttons of one group: "Option1 off, Option2 on" leaves Option2 the one selected.
    state_.enabled[At(Id::Option1)] = shape->perKiloEnabled;
    state_.enabled[At(Id::Option2)] = shape->perMetreEnabled;
    state_.perKilo = shape->perKiloSelected;
    state_.perMetre = shape->perMetreSelected;
    out.push_back(Enable{Id::Option1, shape->perKiloEnabled});
    out.push_back(Check{Id::Option1, shape->perKiloSelected});
    out.push_back(Enable{Id::Option2, shape->perMetreEnabled});
    out.push_back(Check{Id::Option2, shape->perMetreSelected});
    return out;
}

Changes Model::Chosen(Id option) {
    Changes out;
    if (!state_.enabled[At(option)]) {
        return out;
    }
    HideStale(out, option);
    state_.perKilo = option == Id::Option1;
    state_.perMetre = option == Id::Option2;
    out.push_back(Check{Id::Option1, state_.perKilo});
    out.push_back(Check{Id::Option2, state_.perMetre});
    return out;
}

Changes Model::Entered(Id control) {
    if ((RowOf(control).flags & EnterCalculates) == 0) {
        return {};
    }
    return Pressed();
}

Changes Model::Pressed() {
    Changes out;
    if (state_.messageOpen) {
        return out; // one press at a time: the box on screen belongs to the running one
    }
    JudgeTypedMaterial(out);
    // What is on show makes way for what the press shows: no result stands beside its boxes.
    SetShown(out, Id::Frame4, false);
    SetShown(out, Id::Frame5, false);
    calc::CalcolaInputs inputs;
    inputs.density = TextOf(Id::Text1);
    inputs.dimensions = {TextOf(Id::Text2), TextOf(Id::Text3), TextOf(Id::Text4)};
    inputs.pieces = TextOf(Id::Text5);
    inputs.price = TextOf(Id::Text6);
    inputs.shape = TextOf(Id::Combo2);
    inputs.perKilo = state_.perKilo;
    inputs.perMetre = state_.perMetre;
    const std::vector<calc::Step> steps = calc::Calcola(inputs);
    pending_.assign(steps.begin(), steps.end());
    pressSpoiled_ = false;
    RunSteps(out);
    return out;
}

// Applies the press's steps up to the next message box, which waits for Answered().
void Model::RunSteps(Changes &out) {
    while (!pending_.empty()) {
        const calc::Step step = std::move(pending_.front());
        pending_.pop_front();
        if (const auto *frame = std::get_if<calc::ShowFrame>(&step)) {
            SetShown(out, frame->frame == calc::Frame::Weights ? Id::Frame4 : Id::Frame5,
                     frame->visible);
        } else if (const auto *message = std::get_if<calc::ShowMessage>(&step)) {
            pressBoxOpen_ = true;
            state_.messageOpen = true;
            out.push_back(Message{message->prompt, message->title});
            return;
        } else if (const auto *pieces = std::get_if<calc::WritePieces>(&step)) {
            Write(out, Id::Text5, pieces->text);
        } else if (const auto *label = std::get_if<calc::ShowLabel>(&step)) {
            SetShown(out, ResultOf(label->label), label->visible);
        } else if (const auto *caption = std::get_if<calc::WriteCaption>(&step)) {
            state_.values[static_cast<std::size_t>(caption->label)] = caption->value;
            Write(out, ResultOf(caption->label), caption->caption);
        } else if (const auto *focus = std::get_if<calc::MoveFocus>(&step)) {
            const Id target = FieldOf(focus->control);
            out.push_back(Focus{target});
            // The material box always selects its name, so typing replaces it.
            if (focus->selectText || target == Id::Combo1) {
                out.push_back(SelectAll{target});
            }
        }
    }
}

Changes Model::Answered() {
    Changes out;
    if (toldOpen_ > 0) {
        // A box of the program's own, which may stand over a press's box: that one goes on
        // waiting for its answer.
        --toldOpen_;
        state_.messageOpen = pressBoxOpen_ || toldOpen_ > 0;
        return out;
    }
    pressBoxOpen_ = false;
    state_.messageOpen = false;
    if (pressSpoiled_) {
        // The inputs changed under the box: what the press was about to show belongs to
        // inputs no longer on screen.
        pending_.clear();
        pressSpoiled_ = false;
        SetShown(out, Id::Frame4, false);
        SetShown(out, Id::Frame5, false);
        return out;
    }
    RunSteps(out);
    return out;
}

Changes Model::FocusIn(Id control) {
    const ControlSpec &row = RowOf(control);
    const bool selects = control == Id::Combo1 || (row.flags & SelectsOnEntry) != 0 ||
                         ((row.flags & SelectsOnEntryIfEditable) != 0 && !state_.densityReadOnly);
    if (!selects) {
        return {};
    }
    return {SelectAll{control}};
}

Changes Model::FocusOut(Id control) {
    Changes out;
    if (control == Id::Combo1) {
        JudgeTypedMaterial(out);
    }
    return out;
}

std::string Model::Quote(std::string_view lineEnd) const {
    if (!state_.Shown(Id::Frame4)) {
        return {};
    }
    QuoteInputs in;
    in.material = state_.Text(Id::Combo1);
    in.density = state_.Text(Id::Text1);
    in.shape = state_.Text(Id::Combo2);
    for (std::size_t row = 0; row < 3; ++row) {
        if (state_.Shown(kDimensionFields[row])) {
            in.dimensions.push_back(
                {state_.Text(kDimensionCaptions[row]), state_.Text(kDimensionFields[row])});
        }
    }
    in.pieces = state_.Text(Id::Text5);
    in.price = state_.Text(Id::Text6);
    in.perMetre = state_.perMetre;
    for (const Id result : kResults) {
        if (state_.Shown(result) && state_.Shown(FrameOf(result))) {
            in.results.push_back(state_.Text(result));
        }
    }
    return QuoteBlock(in, lineEnd);
}

Changes Model::CopyQuote() {
    if (!state_.Shown(Id::Frame4)) {
        return {Beep{}}; // nothing calculated for the inputs on show
    }
    return {Copy{Quote()}};
}

Changes Model::CopyLine(Id result) {
    if (!state_.Shown(result) || !state_.Shown(FrameOf(result))) {
        return {Beep{}};
    }
    return {Copy{state_.Text(result)}};
}

std::optional<Recorded> Model::OnShow() const {
    if (!state_.Shown(Id::Frame4) || !state_.Shown(Id::Frame5)) {
        return std::nullopt;
    }
    Recorded line;
    line.material = state_.Text(Id::Combo1);
    line.density = state_.Text(Id::Text1);
    line.shape = state_.Text(Id::Combo2);
    for (std::size_t row = 0; row < 3; ++row) {
        if (state_.Shown(kDimensionFields[row])) {
            line.dimensions.emplace_back(state_.Text(kDimensionCaptions[row]),
                                         state_.Text(kDimensionFields[row]));
        }
    }
    line.pieces = state_.Text(Id::Text5);
    line.price = state_.Text(Id::Text6);
    line.perMetre = state_.perMetre;
    const auto &v = state_.values;
    line.pieceWeight = v[0];
    line.nPieceWeight = v[1];
    line.metreWeight = state_.Shown(Id::Label21) ? v[2] : std::string();
    line.pieceCost = v[3];
    line.nPieceCost = v[4];
    line.metreCost = state_.Shown(Id::Label24) ? v[5] : std::string();
    return line;
}

Changes Model::AddToOffer() {
    std::optional<Recorded> line = OnShow();
    if (!line) {
        return {Beep{}, Explain{Id::Command1, std::string(kNoCostsForOfferReason)}};
    }
    return {AddOfferLine{std::move(*line)}};
}

Changes Model::ShowOffer() {
    return {OpenOffer{}};
}

Changes Model::LinkClicked() {
    return {OpenSite{std::string(maker::kWebSite)}};
}

Changes Model::SiteNotOpened() {
    return Told(std::string(calc::kSiteNotOpened.prompt) + std::string(maker::kWebAddress),
                std::string(calc::kSiteNotOpened.title));
}

std::vector<MenuEntry> Model::MaterialMenu() const {
    const std::string_view name = TrimBlanks(state_.Text(Id::Combo1));
    const Material *material = catalogue_.Named(name);
    if (material != nullptr && material->own) {
        return {{MaterialAction::Remove, "Elimina materiale «" + material->name + "»"}};
    }
    const std::string &density = state_.Text(Id::Text1);
    const auto value = runtime::TextToDouble(density);
    if (material == nullptr && !name.empty() && densityFrom_ == DensityFrom::User &&
        !state_.densityReadOnly && value && *value > 0) {
        return {{MaterialAction::Keep,
                 "Memorizza materiale «" + std::string(name) + "» (" + density + " Kg/dm³)"}};
    }
    return {};
}

Changes Model::MenuChosen(MaterialAction action) {
    for (const MenuEntry &entry : MaterialMenu()) {
        if (entry.action != action) {
            continue;
        }
        const std::string name(TrimBlanks(state_.Text(Id::Combo1)));
        if (action == MaterialAction::Keep) {
            return {KeepMaterial{name, state_.Text(Id::Text1)}};
        }
        pendingRemoval_ = catalogue_.Named(name)->name;
        return {Ask{"Eliminare il materiale «" + pendingRemoval_ + "»?", "elimina materiale"}};
    }
    return {};
}

Changes Model::Decided(bool yes) {
    std::string name = std::exchange(pendingRemoval_, {});
    if (!yes || name.empty()) {
        return {};
    }
    return {RemoveMaterial{std::move(name)}};
}

Changes Model::CatalogueChanged(Catalogue catalogue) {
    Changes out;
    std::vector<std::string> names;
    for (const Material &material : catalogue.materials) {
        names.push_back(material.name);
    }
    // A list that would hold the same names is left alone: refilling it costs each window a
    // repaint per entry.
    const bool sameNames = std::equal(
        names.begin(), names.end(), catalogue_.materials.begin(), catalogue_.materials.end(),
        [](const std::string &name, const Material &material) { return name == material.name; });
    catalogue_ = std::move(catalogue);
    if (!sameNames) {
        out.push_back(FillList{Id::Combo1, std::move(names)});
    }
    // A grade just kept, or one another window kept, is the material in the box now.
    const Material *material = catalogue_.Named(TextOf(Id::Combo1));
    if (material != nullptr && !material->userEntered &&
        (materialEdited_ || densityFrom_ == DensityFrom::User)) {
        materialEdited_ = true;
        JudgeTypedMaterial(out);
    }
    return out;
}

Changes Model::Told(std::string prompt, std::string title) {
    ++toldOpen_;
    state_.messageOpen = true;
    return {Message{std::move(prompt), std::move(title)}};
}

} // namespace kalvor::form
