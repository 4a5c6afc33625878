#include "bench_site.h"

#include "layouts/layout.h"
#include "calc/rod_height.h"
#include "engine/rolling_sphere.h"
#include "calc/single_rod.h"
#include "calc/strike_count.h"
#include "calc/two_rods.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

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

namespace rs = calc::rolling_sphere;

// Query points over the site, from the ground up to 25 m: protected and unprotected alike.
std::vector<rs::Point> queries(double side)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> place(-10, side + 10), height(0, 25);
    std::vector<rs::Point> points;
    for (int i = 0; i < 64; ++i) points.push_back({place(rng), place(rng), height(rng)});
    return points;
}

// One query of the plain function, which prepares the layout on every call.
void rollingSphere(benchmark::State &state)
{
    const std::vector<rs::Conductor> conductors = bench::site(static_cast<int>(state.range(0)));
    const std::vector<rs::Point> points =
        queries(bench::siteSide(static_cast<int>(state.range(0))));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rs::clearance(conductors, 45, points[i++ % points.size()]));
}
BENCHMARK(rollingSphere)->Arg(10)->Arg(50)->Arg(200);

// One query of a layout prepared once.
void rollingSpherePrepared(benchmark::State &state)
{
    const std::vector<rs::Conductor> conductors = bench::site(static_cast<int>(state.range(0)));
    const std::vector<rs::Point> points =
        queries(bench::siteSide(static_cast<int>(state.range(0))));
    const rs::Layout layout(conductors, 45);
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(layout.clearance(points[i++ % points.size()]));
}
BENCHMARK(rollingSpherePrepared)->Arg(10)->Arg(50)->Arg(200);

// Every object's verdict and least clearance over its whole surface, for a site of `count`
// conductors with 20 buildings (6 to 15 m tall, 8 x 12 m) spread over it: the work after an
// edit of the layout.
void layoutCheck(benchmark::State &state)
{
    namespace cl = calc::layout;
    const int count = static_cast<int>(state.range(0));
    const std::vector<rs::Conductor> conductors = bench::site(count);
    const std::vector<cl::Object> objects = bench::buildings(count);
    for (auto _ : state) {
        const rs::Layout layout(conductors, 45);
        for (const cl::Object &object : objects)
            benchmark::DoNotOptimize(cl::checkObject(layout, object));
    }
}
// One iteration each: a check takes seconds while the engine's queries take milliseconds.
BENCHMARK(layoutCheck)->Arg(10)->Arg(50)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
