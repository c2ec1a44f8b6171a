#include "calc/calcola.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace kalvor::calc;

// What the window would show after applying the steps, starting from the window at load.
struct Screen {
    bool weightsFrame = false;
    bool costsFrame = false;
    std::array<std::string, 6> captions{"peso 1 pezzo",  "peso n pezzi",  "peso 1 metro",
                                        "costo 1 pezzo", "costo n pezzi", "costo 1 metro"};
    std::array<bool, 6> visible{true, true, true, true, true, true};
    std::optional<std::string> piecesWritten;
    std::vector<ShowMessage> messages;
    std::optional<MoveFocus> focus;
    int captionWrites = 0;

    const std::string &caption(ResultLabel label) const {
        return captions[static_cast<std::size_t>(label)];
    }
    bool shown(ResultLabel label) const { return visible[static_cast<std::size_t>(label)]; }
};

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

Screen Apply(const std::vector<Step> &steps) {
    Screen s;
    for (const Step &step : steps) {
        std::visit(Overloaded{
                       [&](const ShowFrame &f) {
                           (f.frame == Frame::Weights ? s.weightsFrame : s.costsFrame) = f.visible;
                       },
                       [&](const ShowMessage &m) { s.messages.push_back(m); },
                       [&](const WritePieces &p) { s.piecesWritten = p.text; },
                       [&](const ShowLabel &l) {
                           s.visible[static_cast<std::size_t>(l.label)] = l.visible;
                       },
                       [&](const WriteCaption &c) {
                           s.captions[static_cast<std::size_t>(c.label)] = c.caption;
                           ++s.captionWrites;
                       },
                       [&](const MoveFocus &f) { s.focus = f; },
                   },
                   step);
    }
    return s;
}

CalcolaInputs RoundBar() {
    CalcolaInputs in;
    in.density = "7,85";
    in.dimensions = {"50", "1000", "0,0"};
    in.pieces = "3";
    in.price = "2,5";
    in.shape = "Barra tonda";
    return in;
}

constexpr auto P1 = ResultLabel::PieceWeight, PN = ResultLabel::NPieceWeight,
               PM = ResultLabel::MetreWeight, C1 = ResultLabel::PieceCost,
               CN = ResultLabel::NPieceCost, CM = ResultLabel::MetreCost;

// Worked examples with all six results are in test_reference.

TEST(Calcola, MissingMaterialThenMissingShapeInThatOrder) {
    CalcolaInputs in; // the window right after start
    in.density = "0,0";
    in.dimensions = {"0,0", "0,0", "0,0"};
    in.pieces = "1";
    in.price = "0,00";
    const Screen s = Apply(Calcola(in));
    ASSERT_EQ(s.messages.size(), 2u);
    EXPECT_EQ(s.messages[0],
              (ShowMessage{"selezionare un materiale", "materiale non selezionato"}));
    EXPECT_EQ(s.messages[1], (ShowMessage{"selezionare un formato", "formato non selezionato"}));
    EXPECT_EQ(s.captionWrites, 0);
    EXPECT_TRUE(s.weightsFrame); // with the captions it had before
    EXPECT_EQ(*s.focus, (MoveFocus{Control::Combo1, false}));

    // "ALTRO" left at "0,00": the message, then every result at 0.
    CalcolaInputs altro = RoundBar();
    altro.density = "0,00";
    const Screen a = Apply(Calcola(altro));
    ASSERT_EQ(a.messages.size(), 1u);
    EXPECT_EQ(a.messages[0].prompt, "selezionare un materiale");
    EXPECT_EQ(a.caption(P1), "1 pezzo: 0 Kg");
    EXPECT_EQ(a.caption(CN), "3 pezzi: 0 €");
}

TEST(Calcola, FieldWithoutANumberIsNamedAndNothingIsShown) {
    struct Row {
        const char *name;
        CalcolaInputs in;
        const char *prompt;
        Control focus;
    };
    const auto with = [](auto change) {
        CalcolaInputs in = RoundBar();
        in.shape = "Tubo diametri";
        in.pieces = "0"; // would be rewritten if the check came too late
        change(in);
        return in;
    };
    const Row rows[] = {
        {"density comma", with([](CalcolaInputs &i) { i.density = ","; }),
         "inserire un numero nel campo densità", Control::Text1},
        {"density first", with([](CalcolaInputs &i) {
             i.density = "";
             i.price = "";
         }),
         "inserire un numero nel campo densità", Control::Text1},
        {"outer diameter", with([](CalcolaInputs &i) { i.dimensions[0] = "1,2,3"; }),
         "inserire un numero nel campo diametro ext", Control::Text2},
        {"inner diameter", with([](CalcolaInputs &i) { i.dimensions[1] = ""; }),
         "inserire un numero nel campo diametro int", Control::Text3},
        {"length", with([](CalcolaInputs &i) { i.dimensions[2] = "2.5"; }),
         "inserire un numero nel campo lunghezza", Control::Text4},
        {"pieces", with([](CalcolaInputs &i) { i.pieces = ""; }),
         "inserire un numero nel campo numero pezzi", Control::Text5},
        {"price", with([](CalcolaInputs &i) { i.price = ",,"; }),
         "inserire un numero nel campo prezzo", Control::Text6},
        {"disc thickness has no colon", with([](CalcolaInputs &i) {
             i.shape = "Disco";
             i.dimensions[1] = ",";
         }),
         "inserire un numero nel campo spessore", Control::Text3},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Screen s = Apply(Calcola(row.in));
        ASSERT_EQ(s.messages.size(), 1u);
        EXPECT_EQ(s.messages[0], (ShowMessage{row.prompt, "valore non valido"}));
        EXPECT_FALSE(s.weightsFrame);
        EXPECT_FALSE(s.costsFrame);
        EXPECT_EQ(s.captionWrites, 0);
        EXPECT_FALSE(s.piecesWritten);
        EXPECT_EQ(*s.focus, (MoveFocus{row.focus, true}));
    }
}

// Results too large and impossible solids: the reference comparison checks the whole screen,
// test_weights the boundaries.

// While a message box is open, the window must not show results the press is about to
// replace: every message comes before a frame is shown, and every caption before its frame.
TEST(Calcola, MessagesAndCaptionsComeBeforeAnyFrameIsShown) {
    CalcolaInputs noMaterial = RoundBar();
    noMaterial.density = "0,00";
    CalcolaInputs noShape = RoundBar();
    noShape.shape = "";
    CalcolaInputs tooLarge = RoundBar();
    tooLarge.density = "0";
    tooLarge.dimensions = {"999999999", "999999999", "0"};
    tooLarge.pieces = "99999999";
    tooLarge.price = "99999999";
    for (const CalcolaInputs &in : {RoundBar(), noMaterial, noShape, tooLarge}) {
        SCOPED_TRACE(in.density + " " + in.shape);
        bool frameShown = false;
        for (const Step &step : Calcola(in)) {
            if (const auto *frame = std::get_if<ShowFrame>(&step)) {
                frameShown = frameShown || frame->visible;
            }
            const bool writes = std::holds_alternative<ShowMessage>(step) ||
                                std::holds_alternative<WriteCaption>(step);
            EXPECT_FALSE(writes && frameShown);
        }
    }
}

TEST(Calcola, SameInputsGiveTheSameSteps) {
    EXPECT_EQ(Calcola(RoundBar()), Calcola(RoundBar()));
}

} // namespace
