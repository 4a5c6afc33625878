// The roof network of a site of 30 buildings of assorted outlines: laid out and checked, and
// checked alone, for each class.
#include "roof/lay_out.h"
#include "roof/roof_check.h"
#include "roof_site.h"

#include <benchmark/benchmark.h>

namespace {

void layOutAndCheck(benchmark::State &state)
{
    const calc::layout::Layout site = bench::roofSite(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const calc::layout::Layout laid = calc::roof::layOutRoofs(site);
        benchmark::DoNotOptimize(calc::roof::checkRoofs(laid));
    }
}
BENCHMARK(layOutAndCheck)->Arg(30)->Arg(45)->Arg(60)->Unit(benchmark::kMillisecond);

void checkOnly(benchmark::State &state)
{
    const calc::layout::Layout laid =
        calc::roof::layOutRoofs(bench::roofSite(static_cast<int>(state.range(0))));
    state.counters["conductors"] = static_cast<double>(laid.conductors.size());
    for (auto _ : state) benchmark::DoNotOptimize(calc::roof::checkRoofs(laid));
}
BENCHMARK(checkOnly)->Arg(30)->Arg(45)->Arg(60)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
