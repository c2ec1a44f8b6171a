// Presses CALCOLA again and again on the real window (offscreen), with every field edited in
// turn between the presses as a person would: a material picked (and, for "ALTRO", a density
// typed), a shape picked, the dimensions, pieces and price typed over, the price basis clicked.
// Prints the resident memory at 10 000 presses and at the end; scripts/test.sh runs it in a Release
// build under LeakSanitizer, which fails the run on any leak at exit.
//
// Usage: soak_window [presses]   (100000 when not given)
#include "ui/qt/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// One step along the list, turning at either end, so every entry is picked in turn.
void PickNext(QComboBox *list, bool &down) {
    if (list->currentIndex() <= 0) {
        down = true;
    } else if (list->currentIndex() >= list->count() - 1) {
        down = false;
    }
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, down ? Qt::Key_Down : Qt::Key_Up);
}

void TypeOver(QLineEdit *field, const QString &text) {
    field->setFocus(Qt::TabFocusReason); // selects the old text, so typing replaces it
    QTest::keyClicks(field, text);
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long presses = argc > 1 ? std::atol(argv[1]) : 100000;

    long messages = 0;
    kalvor::ui::Form1 w({[&](QWidget *, const QString &, const QString &) { ++messages; },
                         [](const QUrl &) { return true; }});
    w.Form_Load();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w)) {
        return 1;
    }
    const auto field = [&](const char *name) { return w.findChild<QLineEdit *>(name); };
    auto *materials = w.findChild<QComboBox *>("Combo1");
    auto *shapes = w.findChild<QComboBox *>("Combo2");
    auto *calcola = w.findChild<QPushButton *>("Command1");
    auto *weights = w.findChild<QGroupBox *>("Frame4");
    QRadioButton *options[] = {w.findChild<QRadioButton *>("Option1"),
                               w.findChild<QRadioButton *>("Option2")};

    static const char *const kSizes[] = {"50",   "1000", "60,3", "2",
                                         "6000", "12,5", "0",    "999999999"};
    static const char *const kPieces[] = {"3", "1", "0", "12", "99999999"};
    static const char *const kPrices[] = {"2,5", "0", "4", "1234,56", "99999999"};
    bool materialDown = true, shapeDown = true;
    long shown = 0;
    long resident[2] = {0, 0};
    // Between two presses: one pick or option click, and one field typed over, in turn.
    for (long i = 1; i <= presses; ++i) {
        switch (i % 4) {
        case 0:
            PickNext(materials, materialDown);
            if (!field("Text1")->isReadOnly()) {
                TypeOver(field("Text1"), i % 5 ? "7,85" : "");
            }
            break;
        case 1:
            PickNext(shapes, shapeDown);
            break;
        case 2:
            if (options[i % 3 % 2]->isEnabled()) {
                QTest::mouseClick(options[i % 3 % 2], Qt::LeftButton);
            }
            break;
        }
        static const char *const kFields[] = {"Text2", "Text3", "Text4", "Text5", "Text6"};
        QLineEdit *typed = field(kFields[i % 5]);
        if (typed->isVisible()) {
            TypeOver(typed, i % 5 < 3   ? kSizes[i % 8]
                            : i % 5 < 4 ? kPieces[i / 5 % 5]
                                        : kPrices[i / 5 % 5]);
        }
        calcola->click();
        shown += weights->isVisibleTo(&w) ? 1 : 0;
        // What the event loop does between two actions of a person: without it, the updates
        // that showing and hiding the frames post would pile up, about 2 KiB a press.
        QCoreApplication::processEvents();
        if (i == 10000 || i == presses) {
            resident[i == 10000 ? 0 : 1] = ResidentKiB();
            std::printf("%ld presses: resident memory %ld KiB (%ld with results, %ld messages)\n",
                        i, ResidentKiB(), shown, messages);
            std::fflush(stdout);
        }
    }
    // The walk must reach results most of the time, or it soaked nothing. After the warm-up,
    // memory stays flat: a field's undo history holds only what was done since the field was
    // entered, and anything else kept a press (a caption, an update) would show here.
    constexpr long kBytesAPress = 2;
    const bool bounded =
        presses <= 10000 || (resident[1] - resident[0]) * 1024 < kBytesAPress * (presses - 10000);
    return shown > presses / 2 && bounded ? 0 : 1;
}
