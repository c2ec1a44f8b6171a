#include "offer/file.h"
#include "offer/texts.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kalvor::offer;

// An offer of a thousand lines of bars, tubes and sheets, some figures in exponent form.
Offer LargeOffer() {
    Offer offer;
    offer.client = "Rossi Acciai S.r.l.; magazzino «Nord»";
    for (int i = 0; i < 1000; ++i) {
        LineTexts texts{"Acciaio al carbonio",
                        "7,85",
                        "Barra tonda",
                        {{"Diametro:", "50"}, {"Lunghezza:", std::to_string(1000 + i)}},
                        std::to_string(1 + i % 40),
                        "3,75",
                        Basis::PerKilo,
                        "15,42",
                        i % 3 == 0 ? "3,569644E+07" : "616,8",
                        "15,42",
                        "57,83",
                        i % 5 == 0 ? "1,234568E+07" : "2313,2",
                        "57,83"};
        offer.Add(MakeLine(texts).value());
    }
    return offer;
}

void BM_ParseAndTotals(benchmark::State &state) {
    const std::string text = FormatOffer(LargeOffer());
    for (auto _ : state) {
        const auto offer = ParseOffer(text);
        benchmark::DoNotOptimize(offer.value().TotalWeight());
        benchmark::DoNotOptimize(offer.value().TotalAmount());
    }
}
BENCHMARK(BM_ParseAndTotals)->Unit(benchmark::kMillisecond);

void BM_Format(benchmark::State &state) {
    const Offer offer = LargeOffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatOffer(offer));
    }
}
BENCHMARK(BM_Format)->Unit(benchmark::kMillisecond);

void BM_Csv(benchmark::State &state) {
    const Offer offer = LargeOffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CsvText(offer));
    }
}
BENCHMARK(BM_Csv)->Unit(benchmark::kMillisecond);

void BM_Copy(benchmark::State &state) {
    const Offer offer = LargeOffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CopyText(offer));
    }
}
BENCHMARK(BM_Copy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
