#include "calc/rod_height.h"
#include "calc/single_rod.h"
#include "calc/strike_count.h"
#include "calc/two_rods.h"

#include <benchmark/benchmark.h>

namespace {

void singleRodCut(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(
            calc::computeSingleRod("10", "30", 0, calc::ResultTextStyle::CutToFive));
}
BENCHMARK(singleRodCut);

void singleRodRounded(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(
            calc::computeSingleRod("10", "30", 0, calc::ResultTextStyle::RoundToThree));
}
BENCHMARK(singleRodRounded);

void twoRods(benchmark::State &state)
{
    for (auto _ : state) benchmark::DoNotOptimize(calc::computeTwoRods("30", "40", 0));
}
BENCHMARK(twoRods);

void rodHeight(benchmark::State &state)
{
    for (auto _ : state) benchmark::DoNotOptimize(calc::computeRodHeight("10", "10", 0));
}
BENCHMARK(rodHeight);

void strikeCount(benchmark::State &state)
{
    for (auto _ : state) benchmark::DoNotOptimize(calc::computeStrikeCount("50", "20", "30", 0, 0));
}
BENCHMARK(strikeCount);

} // namespace
