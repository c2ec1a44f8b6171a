#include "calc/calcola.h"
#include "calc/catalogue.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using kalvor::calc::CalcolaInputs;

// One press of "CALCOLA" for each shape, priced per kilo and per metre.
std::vector<CalcolaInputs> SpreadOfShapes() {
    std::vector<CalcolaInputs> inputs;
    for (const auto &shape : kalvor::calc::kShapes) {
        for (bool perMetre : {false, true}) {
            CalcolaInputs in;
            in.density = "7,85";
            in.dimensions = {"60,3", "2", "6000"};
            in.pieces = "12";
            in.price = "3,75";
            in.shape = std::string(shape.listText);
            in.perKilo = !perMetre;
            in.perMetre = perMetre;
            inputs.push_back(in);
        }
    }
    return inputs;
}

void BM_Calcola(benchmark::State &state) {
    const auto inputs = SpreadOfShapes();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kalvor::calc::Calcola(inputs[next]));
        next = (next + 1) % inputs.size();
    }
}
BENCHMARK(BM_Calcola);

} // namespace

BENCHMARK_MAIN();
