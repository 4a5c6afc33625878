#include "calc/layout.h"
#include "calc/rod_height.h"
#include "calc/rolling_sphere.h"
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

// A site of `count` conductors at a constant density: masts 15 to 35 m tall, with wires strung
// between the tops of neighbouring masts, over a square that grows with the count.
std::vector<rs::Conductor> site(int count, double &side)
{
    std::mt19937 rng(2026);
    side = 25 * std::sqrt(count / 2.0);
    std::uniform_real_distribution<double> place(0, side), height(15, 35);
    std::vector<rs::Conductor> conductors;
    std::vector<rs::Point> tops;
    for (int i = 0; i < (count + 1) / 2; ++i) {
        const rs::Point top{place(rng), place(rng), height(rng)};
        conductors.push_back({{top.x, top.y, 0}, top});
        tops.push_back(top);
    }
    for (std::size_t i = 0; static_cast<int>(conductors.size()) < count; ++i) {
        const rs::Point a = tops[i % tops.size()];
        std::size_t nearest = i % tops.size() == 0 ? 1 : 0;
        for (std::size_t j = 0; j < tops.size(); ++j) {
            const auto far = [&](std::size_t k) {
                return std::hypot(tops[k].x - a.x, tops[k].y - a.y) + (k <= i % tops.size()) * 1e9;
            };
            if (j != i % tops.size() && far(j) < far(nearest)) nearest = j;
        }
        conductors.push_back({a, tops[nearest]});
    }
    return conductors;
}

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
    double side = 0;
    const std::vector<rs::Conductor> conductors = site(static_cast<int>(state.range(0)), side);
    const std::vector<rs::Point> points = queries(side);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rs::clearance(conductors, 45, points[i++ % points.size()]));
}
BENCHMARK(rollingSphere)->Arg(10)->Arg(50)->Arg(200);

// One query of a layout prepared once.
void rollingSpherePrepared(benchmark::State &state)
{
    double side = 0;
    const std::vector<rs::Conductor> conductors = site(static_cast<int>(state.range(0)), side);
    const std::vector<rs::Point> points = queries(side);
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
    double side = 0;
    const std::vector<rs::Conductor> conductors = site(static_cast<int>(state.range(0)), side);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> place(0, side - 12), height(6, 15);
    std::vector<cl::Object> objects;
    for (int i = 0; i < 20; ++i) {
        const double x = place(rng), y = place(rng);
        objects.push_back({"b", {{x, y}, {x + 12, y}, {x + 12, y + 8}, {x, y + 8}}, height(rng)});
    }
    for (auto _ : state) {
        const rs::Layout layout(conductors, 45);
        for (const cl::Object &object : objects)
            benchmark::DoNotOptimize(cl::checkObject(layout, object));
    }
}
// One iteration each: a check takes seconds while the engine's queries take milliseconds.
BENCHMARK(layoutCheck)->Arg(10)->Arg(50)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
