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

TEST(Calcola, RoundBarPricedPerKilo) {
    const Screen s = Apply(Calcola(RoundBar()));
    EXPECT_TRUE(s.weightsFrame);
    EXPECT_TRUE(s.costsFrame);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(s.caption(P1), "1 pezzo: 15,42 Kg");
    EXPECT_EQ(s.caption(PN), "3 pezzi: 46,26 Kg");
    EXPECT_EQ(s.caption(PM), "1 metro: 15,42 Kg");
    EXPECT_EQ(s.caption(C1), "1 pezzo: 38,55 €");
    EXPECT_EQ(s.caption(CN), "3 pezzi: 115,65 €");
    EXPECT_EQ(s.caption(CM), "1 metro 38,55 €");
    for (bool v : s.visible) {
        EXPECT_TRUE(v);
    }
    EXPECT_FALSE(s.piecesWritten);
    ASSERT_TRUE(s.focus);
    EXPECT_EQ(*s.focus, (MoveFocus{Control::Combo1, false}));
}

TEST(Calcola, PricePerMetreCostsTheLengthAndHidesTheMetreCost) {
    CalcolaInputs in = RoundBar();
    in.price = "4";
    in.perKilo = false;
    in.perMetre = true;
    const Screen s = Apply(Calcola(in));
    EXPECT_EQ(s.caption(C1), "1 pezzo: 4 €"); // 4 x 1000 / 1000
    EXPECT_EQ(s.caption(CN), "3 pezzi: 12 €");
    EXPECT_FALSE(s.shown(CM));
    EXPECT_EQ(s.caption(CM), "costo 1 metro"); // not written
    EXPECT_EQ(s.caption(P1), "1 pezzo: 15,42 Kg");
    EXPECT_TRUE(s.shown(PM));

    // A tube is priced per metre on its third field, the length.
    CalcolaInputs tube;
    tube.density = "7,85";
    tube.dimensions = {"60,3", "2", "6000"};
    tube.pieces = "2";
    tube.price = "5";
    tube.shape = "Tubo spessore";
    tube.perKilo = false;
    tube.perMetre = true;
    const Screen t = Apply(Calcola(tube));
    EXPECT_EQ(t.caption(P1), "1 pezzo: 17,26 Kg");
    EXPECT_EQ(t.caption(PM), "1 metro: 2,88 Kg");
    EXPECT_EQ(t.caption(C1), "1 pezzo: 30 €");
    EXPECT_EQ(t.caption(CN), "2 pezzi: 60 €");
    EXPECT_FALSE(t.shown(CM));

    // The same tube per kilo shows its metre cost from the rounded metre weight: 5 x 2,88.
    tube.perKilo = true;
    tube.perMetre = false;
    const Screen k = Apply(Calcola(tube));
    EXPECT_EQ(k.caption(C1), "1 pezzo: 86,3 €");
    EXPECT_TRUE(k.shown(CM));
    EXPECT_EQ(k.caption(CM), "1 metro 14,4 €");
}

TEST(Calcola, FlatBarMetreCostUsesTheUnroundedQuotient) {
    CalcolaInputs in;
    in.density = "7,85";
    in.dimensions = {"40", "2000", "10"};
    in.pieces = "1";
    in.price = "3";
    in.shape = "Barra piatta";
    Screen s = Apply(Calcola(in));
    EXPECT_EQ(s.caption(PM), "1 metro: 3,14 Kg");
    EXPECT_TRUE(s.shown(PM));
    EXPECT_EQ(s.caption(CM), "1 metro 9,42 €");

    // 1,13 / 0,3 = 3,7666...: the metre weight shows 3,77, yet the cost is 10 x 3,7666 = 37,67,
    // not 10 x 3,77 = 37,7.
    in.dimensions = {"120", "300", "4"};
    in.density = "7,85";
    in.price = "10";
    s = Apply(Calcola(in));
    EXPECT_EQ(s.caption(P1), "1 pezzo: 1,13 Kg");
    EXPECT_EQ(s.caption(PM), "1 metro: 3,77 Kg");
    EXPECT_EQ(s.caption(CM), "1 metro 37,67 €");
}

TEST(Calcola, ShapesWithoutLengthHideTheMetreLines) {
    CalcolaInputs in = RoundBar();
    in.shape = "Lamiera";
    in.dimensions = {"1000", "2000", "10"};
    in.perMetre = true; // never read for a sheet
    in.perKilo = false;
    const Screen s = Apply(Calcola(in));
    EXPECT_FALSE(s.shown(PM));
    EXPECT_FALSE(s.shown(CM));
    EXPECT_EQ(s.caption(PM), "peso 1 metro");
    EXPECT_EQ(s.caption(C1), "1 pezzo: 392,5 €"); // 2,5 x 157: priced per kilo all the same
}

TEST(Calcola, PiecesZeroBecomesOneAndOnePieceHidesTheTotals) {
    CalcolaInputs in = RoundBar();
    in.pieces = "0";
    Screen s = Apply(Calcola(in));
    EXPECT_EQ(s.piecesWritten, "1");
    EXPECT_FALSE(s.shown(PN));
    EXPECT_FALSE(s.shown(CN));
    EXPECT_EQ(s.caption(PN), "1 pezzi: 15,42 Kg"); // written although hidden
    EXPECT_EQ(s.caption(CN), "1 pezzi: 38,55 €");

    in.pieces = "1";
    s = Apply(Calcola(in));
    EXPECT_FALSE(s.piecesWritten);
    EXPECT_FALSE(s.shown(PN));
    in.pieces = "00000000";
    EXPECT_EQ(Apply(Calcola(in)).piecesWritten, "1");
}

TEST(Calcola, PriceZeroComputesCostsButHidesTheirFrame) {
    CalcolaInputs in = RoundBar();
    in.price = "0,00";
    const Screen s = Apply(Calcola(in));
    EXPECT_TRUE(s.weightsFrame);
    EXPECT_FALSE(s.costsFrame);
    EXPECT_EQ(s.caption(C1), "1 pezzo: 0 €");
    EXPECT_EQ(s.caption(CM), "1 metro 0 €");
}

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

TEST(Calcola, ResultTooLargeShowsAMessageAndNoResults) {
    // Every field at its longest: one piece's cost fits a Single, all the pieces' do not.
    CalcolaInputs in;
    in.density = "99999";
    in.dimensions = {"999999999", "999999999", "999999999"};
    in.pieces = "99999999";
    in.price = "99999999";
    in.shape = "Lamiera";
    const Screen s = Apply(Calcola(in));
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0],
              (ShowMessage{"risultato troppo grande: ridurre dimensioni, numero pezzi o prezzo",
                           "calcolo impossibile"}));
    EXPECT_FALSE(s.weightsFrame);
    EXPECT_FALSE(s.costsFrame);
    EXPECT_EQ(s.captionWrites, 0);
    EXPECT_EQ(*s.focus, (MoveFocus{Control::Combo1, false}));

    // One piece less in the order and it fits again.
    in.pieces = "1";
    EXPECT_TRUE(Apply(Calcola(in)).messages.empty());
}

TEST(Calcola, ImpossibleDimensionsAreRefusedAfterTheMaterialMessage) {
    struct Row {
        const char *shape;
        std::array<std::string, 3> dimensions;
        ShowMessage message;
    };
    const ShowMessage bore{"il diametro interno non può superare il diametro esterno",
                           "dimensioni non valide"};
    const Row rows[] = {
        {"Barra piatta",
         {"40", "0", "10"},
         {"inserire una lunghezza maggiore di zero", "lunghezza non valida"}},
        {"Tubo diametri", {"50", "60", "1000"}, bore},
        {"Anello", {"50", "50,001", "10"}, bore},
        {"Tubo spessore",
         {"50", "40", "1000"},
         {"lo spessore non può superare metà del diametro esterno", "dimensioni non valide"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.shape);
        CalcolaInputs in;
        in.density = "0,00"; // no material: that message still comes first
        in.dimensions = row.dimensions;
        in.pieces = "0";
        in.price = "3";
        in.shape = row.shape;
        const Screen s = Apply(Calcola(in));
        ASSERT_EQ(s.messages.size(), 2u);
        EXPECT_EQ(s.messages[0].prompt, "selezionare un materiale");
        EXPECT_EQ(s.messages[1], row.message);
        EXPECT_FALSE(s.weightsFrame);
        EXPECT_FALSE(s.costsFrame);
        EXPECT_EQ(s.captionWrites, 0);
        EXPECT_EQ(*s.focus, (MoveFocus{Control::Text3, true}));
    }
}

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
