// The offer window at scale, on the offscreen platform: opening an offer of 1000 lines (read,
// parse, fill the table, paint), adding a line to it and painting again, and exporting it as
// CSV to disk. Each step is timed alternately with a baseline that does the same work on an
// empty offer, and the medians, their ratios and the load average are printed.
//   bench_offer_window [rounds]
#include "form/offer_desk.h"
#include "offer/file.h"
#include "store/desk_files.h"
#include "ui/qt/offer_window.h"

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

kalvor::form::Recorded Line(int i) {
    return {"Acciaio al carbonio",
            "7,85",
            "Barra tonda",
            {{"Diametro:", "50"}, {"Lunghezza:", std::to_string(1000 + i)}},
            "3",
            "2,5",
            false,
            "15,42",
            "46,26",
            "15,42",
            "38,55",
            "115,65",
            "38,55"};
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double Milliseconds(const std::function<void()> &step) {
    const auto start = Clock::now();
    step();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
    QTemporaryDir large, empty;
    {
        kalvor::store::OfferOnDisk keeper(large.path().toStdString());
        keeper.Change([](kalvor::offer::Offer &offer) {
            for (int i = 0; i < 1000; ++i) {
                offer.Add(kalvor::form::LineOf(Line(i)).value());
            }
        });
    }
    const kalvor::runtime::Services services{[](QWidget *, const QString &, const QString &) {},
                                             [](const QUrl &) { return true; }};
    struct Step {
        const char *name;
        double limit;
        std::vector<double> times[2]; // 1000 lines, empty offer
    } steps[] = {{"open 1000 lines and paint", 20, {}},
                 {"add a line and paint", 16, {}},
                 {"export as CSV to disk", 50, {}}};
    std::printf("load average before: %s\n", LoadAverage().c_str());
    for (int round = 0; round < rounds; ++round) {
        for (const int which : {round % 2, 1 - round % 2}) { // alternate the order
            const QString folder = which == 0 ? large.path() : empty.path();
            const auto keeper = std::make_shared<kalvor::store::OfferOnDisk>(folder.toStdString());
            std::unique_ptr<kalvor::ui::OfferWindow> window;
            steps[0].times[which].push_back(Milliseconds([&] {
                window = std::make_unique<kalvor::ui::OfferWindow>(keeper, services);
                window->ShowRaised();
                window->repaint();
            }));
            steps[1].times[which].push_back(Milliseconds([&] {
                window->Add(Line(round));
                window->findChild<QTableView *>("TabellaOfferta")->repaint();
            }));
            window->askExportFile = [&](QWidget *, const QString &) {
                return folder + "/esportata.csv";
            };
            steps[2].times[which].push_back(Milliseconds([&] {
                QMetaObject::invokeMethod(window->findChild<QWidget *>("Esporta"), "click");
            }));
            keeper->Change([&](kalvor::offer::Offer &offer) { // back to its size
                const std::size_t last = offer.Lines().size() - 1;
                offer.Remove(std::span(&last, 1));
            });
        }
    }
    std::printf("%-28s %12s %12s %8s %8s\n", "median of ", "1000 lines", "empty", "ratio", "goal");
    for (const Step &step : steps) {
        const double full = Median(step.times[0]);
        const double none = Median(step.times[1]);
        std::printf("%-28s %9.2f ms %9.2f ms %7.2fx %5.0f ms\n", step.name, full, none, full / none,
                    step.limit);
    }
    std::printf("load average after: %s\n", LoadAverage().c_str());
    return 0;
}
