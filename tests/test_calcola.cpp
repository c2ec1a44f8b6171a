#include "calc/calcola.h"

#include <gtest/gtest.h>

// The order of the steps of a press. What the screen shows after a press, messages, focus and
// pieces field included, is compared with the independent reference in test_reference.
namespace {

using namespace kalvor::calc;

CalcolaInputs RoundBar() {
    CalcolaInputs in;
    in.density = "7,85";
    in.dimensions = {"50", "1000", "0,0"};
    in.pieces = "3";
    in.price = "2,5";
    in.shape = "Barra tonda";
    return in;
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
