#include "engine/rolling_sphere.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace {

namespace rs = calc::rolling_sphere;
using rs::Conductor;
using rs::Point;

// Well inside the required millimetre: the engine solves its geometry to rounding.
constexpr double kTol = 1e-6;

Conductor rod(double x, double y, double h) { return {{x, y, 0}, {x, y, h}}; }

// The single-rod zone's radius at height hx (a rod taller than hr protects as one of hr).
double rodRadius(double h, double hr, double hx)
{
    h = std::min(h, hr);
    return std::sqrt(h * (2 * hr - h)) - std::sqrt(hx * (2 * hr - hx));
}

// Expects p on the zone's boundary, the zone inside (toward `inward`) and not outside. On the
// ground every unprotected point has clearance 0: a sphere resting there touches it.
void expectBoundary(const std::vector<Conductor> &layout, double hr, Point p, Point inward)
{
    const double c = rs::clearance(layout, hr, p);
    EXPECT_NEAR(c, 0, kTol) << "at " << p.x << ", " << p.y << ", " << p.z;
    const double step = 1e-3;
    const Point in{p.x + step * inward.x, p.y + step * inward.y, p.z + step * inward.z};
    const Point out{p.x - step * inward.x, p.y - step * inward.y, p.z - step * inward.z};
    EXPECT_GT(rs::clearance(layout, hr, in), 0);
    if (p.z > 0)
        EXPECT_LT(rs::clearance(layout, hr, out), 0);
    else
        EXPECT_NEAR(rs::clearance(layout, hr, out), 0, kTol);
}

struct RodRow {
    std::string_view name;
    double h, hr, hx;
};
class SingleRodZone : public testing::TestWithParam<RodRow> {};

TEST_P(SingleRodZone, MeetsTheClosedFormRadius)
{
    const RodRow &row = GetParam();
    const double rx = rodRadius(row.h, row.hr, row.hx);
    expectBoundary({rod(3, -4, row.h)}, row.hr, {3 + rx, -4, row.hx}, {-1, 0, 0});
    // A horizontal wire at height h has the rod's section, measured from its line.
    const Conductor wire{{-500, 7, row.h}, {500, 7, row.h}};
    if (row.h <= row.hr) expectBoundary({wire}, row.hr, {0, 7 + rx, row.hx}, {0, -1, 0});
}

INSTANTIATE_TEST_SUITE_P(Cases, SingleRodZone,
                         testing::Values(RodRow{"Class3Low", 20, 60, 5},
                                         RodRow{"Class2AtGround", 25, 45, 0},
                                         RodRow{"Class1Mid", 20, 30, 12},
                                         RodRow{"TallerThanRadius", 50, 30, 10},
                                         RodRow{"NearTheTip", 10, 45, 9.5}),
                         [](const auto &info) { return std::string(info.param.name); });

struct TwoRodRow {
    std::string_view name;
    double hr, h1, h2, d;
};
class TwoRodsZone : public testing::TestWithParam<TwoRodRow> {};

// Unequal rods: D1 = ((hr-h2)^2 - (hr-h1)^2 + D^2) / 2D from the taller rod; equal rods have
// D1 = D/2 and reduce to the two-rod formulas.
TEST_P(TwoRodsZone, LowestPointAndGroundHalfWidth)
{
    const TwoRodRow &r = GetParam();
    const double d1 = (std::pow(r.hr - r.h2, 2) - std::pow(r.hr - r.h1, 2) + r.d * r.d) / (2 * r.d);
    const double h0 = r.hr - std::sqrt(std::pow(r.hr - r.h1, 2) + d1 * d1);
    const double b0 = std::sqrt(r.h1 * (2 * r.hr - r.h1) - d1 * d1);
    const std::vector<Conductor> layout{rod(0, 0, r.h1), rod(r.d, 0, r.h2)};
    expectBoundary(layout, r.hr, {d1, 0, h0}, {0, 0, -1});
    expectBoundary(layout, r.hr, {d1, b0, 0}, {0, -1, 0});
    expectBoundary(layout, r.hr, {d1, -b0, 0}, {0, 1, 0});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TwoRodsZone,
    testing::Values(TwoRodRow{"PublishedExample", 45, 10, 10, 9}, // h0 9.71, b0 27.92
                    TwoRodRow{"EqualClass3", 60, 30, 30, 40},
                    TwoRodRow{"EqualWide", 30, 25, 25, 50}, TwoRodRow{"Unequal", 45, 30, 20, 40},
                    TwoRodRow{"UnequalClass3", 60, 40, 30, 40}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RollingSphere, PublishedTwoRodExampleFigures)
{
    // hr 45, h 10, D 9: the zone's lowest point 9.71 m midway, its ground half-width 27.92 m.
    const std::vector<Conductor> layout{rod(0, 0, 10), rod(9, 0, 10)};
    EXPECT_GT(rs::clearance(layout, 45, {4.5, 0, 9.70}), 0);
    EXPECT_LT(rs::clearance(layout, 45, {4.5, 0, 9.72}), 0);
    EXPECT_GT(rs::clearance(layout, 45, {4.5, 27.91, 0}), 0);
    EXPECT_NEAR(rs::clearance(layout, 45, {4.5, 27.93, 0}), 0, kTol);
}

TEST(RollingSphere, FourRodsMeetTheClosedFormOnASquare)
{
    // h0 = sqrt(hr^2 - (D3/2)^2) + h - hr at the centre, D3 the diagonal.
    for (const auto [side, h, hr] : {std::array{20.0, 20.0, 30.0}, std::array{40.0, 25.0, 45.0}}) {
        const std::vector<Conductor> layout{rod(0, 0, h), rod(side, 0, h), rod(0, side, h),
                                            rod(side, side, h)};
        const double h0 = std::sqrt(hr * hr - side * side / 2) + h - hr;
        expectBoundary(layout, hr, {side / 2, side / 2, h0}, {0, 0, -1});
    }
}

TEST(RollingSphere, NarrowRectangleIsReachedLowerThanTheClosedForm)
{
    // 50 m x 10 m, h = hr = 30: the closed form gives 15.811 m at the centre, but a sphere on
    // the ground touching two rods of a long side (centre 16.583 m out) reaches down to 9.163 m.
    const std::vector<Conductor> layout{rod(0, 0, 30), rod(50, 0, 30), rod(0, 10, 30),
                                        rod(50, 10, 30)};
    const double out = std::sqrt(30.0 * 30 - 25 * 25);
    const double lowest = 30 - std::sqrt(30.0 * 30 - std::pow(5 + out, 2));
    EXPECT_NEAR(lowest, 9.163, 5e-4);
    expectBoundary(layout, 30, {25, 5, lowest}, {0, 0, -1});
    EXPECT_LT(rs::clearance(layout, 30, {25, 5, 15.811}), -4);
}

TEST(RollingSphere, RodsFarApartProtectAlone)
{
    const std::vector<Conductor> layout{rod(0, 0, 20), rod(200, 0, 20)};
    const double rx = rodRadius(20, 30, 6);
    expectBoundary(layout, 30, {rx, 0, 6}, {-1, 0, 0});
    expectBoundary(layout, 30, {200 - rx, 0, 6}, {1, 0, 0});
    EXPECT_NEAR(rs::clearance(layout, 30, {100, 0, 2}), -2, kTol); // open ground between
}

TEST(RollingSphere, GroundAndConductorPoints)
{
    const std::vector<Conductor> layout{rod(0, 0, 20)};
    // Far from everything a sphere rests on the ground: clearance is -z, or the depth below.
    EXPECT_NEAR(rs::clearance(layout, 30, {500, 0, 4}), -4, kTol);
    EXPECT_NEAR(rs::clearance(layout, 30, {500, 0, -5}), 5, kTol);
    EXPECT_NEAR(rs::clearance(layout, 30, {500, 0, 45}), -30, kTol); // itself a free centre
    // No sphere touches a conductor's inside: on the rod the clearance is at least 0; at its
    // tip exactly 0 (a sphere resting on the tip).
    EXPECT_GE(rs::clearance(layout, 30, {0, 0, 10}), -kTol);
    EXPECT_NEAR(rs::clearance(layout, 30, {0, 0, 20}), 0, kTol);
    EXPECT_NEAR(rs::clearance(std::vector<Conductor>{}, 30, {1, 2, 3}), -3, kTol);
}

TEST(RollingSphere, ConductorsSharingAnEndKeepEachZone)
{
    // A rod of 20 m with a wire from its tip 60 m along +x and a single point at the tip, in
    // either order: away from the wire the zone is the rod's alone, and beside the wire's middle
    // the wire's section, rx from its line (hr 45).
    const Point tip{0, 0, 20};
    const Conductor wire{tip, {60, 0, 20}}, point{tip, tip};
    for (const auto &layout : {std::vector<Conductor>{rod(0, 0, 20), wire, point},
                               std::vector<Conductor>{point, wire, rod(0, 0, 20)}}) {
        for (const double hx : {0.0, 8.0, 15.0}) {
            const double rx = rodRadius(20, 45, hx);
            expectBoundary(layout, 45, {-rx, 0, hx}, {1, 0, 0});
            expectBoundary(layout, 45, {30, rx, hx}, {0, -1, 0});
        }
    }
}

// Rods at the corners of a 50 m square, 60 m tall, with wires along the top edges.
std::vector<Conductor> closedCage()
{
    std::vector<Conductor> cage{rod(0, 0, 60), rod(50, 0, 60), rod(0, 50, 60), rod(50, 50, 60)};
    const std::array<Point, 4> tops{{{0, 0, 60}, {50, 0, 60}, {50, 50, 60}, {0, 50, 60}}};
    for (std::size_t i = 0; i < 4; ++i) cage.push_back({tops[i], tops[(i + 1) % 4]});
    return cage;
}

TEST(RollingSphere, ClosedCageProtectsItsInside)
{
    // hr 30, rods at the corners of a 50 m square, 60 m tall, wires along the top edges. A free
    // sphere fits inside (centre (25, 25, 30): 35.4 m from the rods, 39.1 m from the wires) but
    // cannot get in; the nearest reachable centre rests on the ground outside a side, 30 m from
    // two rods: (25, -16.583, 30).
    std::vector<Conductor> cage = closedCage();
    const Point inside{25, 25, 1};
    const double outside = std::hypot(25 + std::sqrt(30.0 * 30 - 25 * 25), 29.0) - 30;
    EXPECT_NEAR(rs::clearance(cage, 30, inside), outside, kTol);
    EXPECT_GT(outside, 20);
    // Without the wires the sphere drops in to (25, 25, 30).
    cage.resize(4);
    EXPECT_NEAR(rs::clearance(cage, 30, inside), -1, kTol);
}

// Random layouts of rods, sloping wires and single points within a 60 m square.
std::vector<Conductor> randomLayout(std::mt19937 &rng, int count)
{
    std::uniform_real_distribution<double> xy(0, 60), height(2, 40), unit(0, 1);
    std::vector<Conductor> layout;
    for (int i = 0; i < count; ++i) {
        const double pick = unit(rng);
        const double x = xy(rng), y = xy(rng);
        if (pick < 0.5)
            layout.push_back(rod(x, y, height(rng)));
        else if (pick < 0.85)
            layout.push_back({{x, y, height(rng)}, {xy(rng), xy(rng), height(rng)}});
        else
            layout.push_back({{x, y, height(rng)}, {x, y, 0}});
    }
    return layout;
}

Point randomPoint(std::mt19937 &rng)
{
    std::uniform_real_distribution<double> xy(-10, 70), z(-1, 45);
    return {xy(rng), xy(rng), z(rng)};
}

TEST(RollingSphere, FreeSpheresAreCertificates)
{
    // A centre that is free, with a free column above it, is reachable: every point within hr
    // of it has a clearance no greater than its distance to the centre minus hr.
    std::mt19937 rng(7);
    auto distance = [](Point p, const Conductor &c) {
        const double dx = c.b.x - c.a.x, dy = c.b.y - c.a.y, dz = c.b.z - c.a.z;
        const double l2 = dx * dx + dy * dy + dz * dz;
        double t = l2 > 0 ? ((p.x - c.a.x) * dx + (p.y - c.a.y) * dy + (p.z - c.a.z) * dz) / l2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(p.x - c.a.x - t * dx, p.y - c.a.y - t * dy, p.z - c.a.z - t * dz);
    };
    int checked = 0;
    for (int layoutIndex = 0; layoutIndex < 20; ++layoutIndex) {
        const double hr = std::uniform_real_distribution<double>(15, 60)(rng);
        const std::vector<Conductor> layout = randomLayout(rng, 6);
        const rs::Layout prepared(layout, hr);
        for (int attempt = 0; attempt < 200; ++attempt) {
            Point c = randomPoint(rng);
            c.z = std::max(c.z, hr);
            bool free = true;
            for (double z = c.z; z < 45 + hr && free; z += 0.05)
                for (const Conductor &k : layout) free = free && distance({c.x, c.y, z}, k) >= hr;
            if (!free) continue;
            std::uniform_real_distribution<double> u(-1, 1);
            for (int i = 0; i < 5; ++i) {
                const Point d{u(rng), u(rng), u(rng)};
                const double len = std::hypot(d.x, d.y, d.z), r = hr * std::abs(u(rng));
                const Point p{c.x + r * d.x / len, c.y + r * d.y / len, c.z + r * d.z / len};
                EXPECT_LE(prepared.clearance(p), r - hr + kTol);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 500);
}

// The centre given with a clearance is the one that gives it: a real centre, free of every
// conductor, above the plane z = hr, reachable, and exactly clearance + hr from the point.
TEST(RollingSphere, NearestCentreGivesTheClearance)
{
    std::mt19937 rng(5);
    int withCentre = 0;
    for (int layoutIndex = 0; layoutIndex < 15; ++layoutIndex) {
        const double hr = std::uniform_real_distribution<double>(15, 60)(rng);
        const rs::Layout prepared(randomLayout(rng, 6), hr);
        for (int i = 0; i < 40; ++i) {
            const Point p = randomPoint(rng);
            const double limit = std::uniform_real_distribution<double>(0.5, 20)(rng);
            const auto nearest = prepared.nearest(p, limit);
            const double value = prepared.clearance(p, limit);
            ASSERT_EQ(nearest.clearance, value);
            if (!nearest.centre) {
                // Only at the limit, or where p is a reachable centre itself.
                EXPECT_TRUE(value >= limit || value == -hr) << value;
                continue;
            }
            ++withCentre;
            const Point c = *nearest.centre;
            EXPECT_LT(value, limit);
            EXPECT_NEAR(std::hypot(p.x - c.x, p.y - c.y, p.z - c.z) - hr, value, kTol);
            EXPECT_GE(c.z, hr - kTol);
            EXPECT_GE(prepared.conductorMargin(c), -kTol);
            EXPECT_TRUE(prepared.reachable(c));
        }
    }
    EXPECT_GT(withCentre, 300);
    // A point far above everything is itself a centre: no direction to give.
    const rs::Layout one(std::vector<Conductor>{rod(0, 0, 20)}, 45);
    const auto above = one.nearest({200, 0, 100}, 10);
    EXPECT_EQ(above.clearance, -45);
    EXPECT_FALSE(above.centre);
    // Within the limit, the rod's zone at 5 m: the centre lies on the tip's sphere or the
    // plane, hr from the boundary point.
    const double r = rodRadius(20, 45, 5);
    const auto edge = one.nearest({r, 0, 5}, 10);
    ASSERT_TRUE(edge.centre);
    EXPECT_NEAR(edge.clearance, 0, kTol);
    EXPECT_NEAR(edge.centre->y, 0, kTol);
    EXPECT_GT(edge.centre->x, r);
}

// A hint only speeds the search up: the centre found for a point close by, a point that is no
// centre at all, or a free centre in a closed pocket, never changes the answer.
TEST(RollingSphere, HintsDoNotChangeTheAnswer)
{
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> nudge(-1.5, 1.5);
    for (int layoutIndex = 0; layoutIndex < 10; ++layoutIndex) {
        const double hr = std::uniform_real_distribution<double>(15, 60)(rng);
        const rs::Layout prepared(randomLayout(rng, 6), hr);
        for (int i = 0; i < 30; ++i) {
            const Point p = randomPoint(rng);
            const Point q{p.x + nudge(rng), p.y + nudge(rng), std::max(0.0, p.z + nudge(rng))};
            const double plain = prepared.clearance(q, 15);
            for (const auto &hint :
                 {prepared.nearest(p, 15).centre, std::optional{randomPoint(rng)},
                  std::optional{Point{q.x, q.y, hr - 1}}}) {
                const auto hinted = prepared.nearest(q, 15, hint);
                EXPECT_NEAR(hinted.clearance, plain, kTol);
            }
        }
    }
    // The cage of ClosedCageProtectsItsInside: its free inside is no hint.
    const rs::Layout caged(closedCage(), 30);
    const Point inside{25, 25, 1};
    EXPECT_NEAR(caged.nearest(inside, 100, Point{25, 25, 30}).clearance, caged.clearance(inside),
                kTol);
    EXPECT_GT(caged.clearance(inside), 20);
}

TEST(RollingSphere, AddingAConductorNeverLowersClearance)
{
    std::mt19937 rng(11);
    for (int layoutIndex = 0; layoutIndex < 25; ++layoutIndex) {
        const double hr = std::uniform_real_distribution<double>(15, 60)(rng);
        std::vector<Conductor> layout = randomLayout(rng, 5);
        const rs::Layout fewer(layout, hr);
        layout.push_back(randomLayout(rng, 1).front());
        const rs::Layout more(layout, hr);
        for (int i = 0; i < 20; ++i) {
            const Point p = randomPoint(rng);
            EXPECT_GE(more.clearance(p), fewer.clearance(p) - kTol);
        }
    }
}

// Layouts where an edge between two cylinders is cut at a glancing angle, so that its free part
// is short in the angle that follows it; once missed, removing a conductor raised the clearance.
TEST(RollingSphere, GlancingEdgesAreFollowed)
{
    const std::vector<std::vector<Conductor>> layouts{
        {{{100, 100, 13.647058823529411}, {100, 100, 7.058823529411765}},
         {{0, 100, 56}, {14.901960784313726, 37.64705882352941, 53.41176470588235}},
         {{100, 0.39215686274509803, 5.647058823529412},
          {18.03921568627451, 0, 8.705882352941176}}},
        {{{0.39215686274509803, 0, 50.8235294117647}, {54.509803921568626, 0.39215686274509803, 0}},
         {{0.39215686274509803, 25.098039215686274, 52.705882352941174},
          {62.35294117647059, 15.294117647058824, 53.17647058823529}},
         {{47.84313725490196, 100, 60}, {100, 100, 60}},
         {{100, 100, 60}, {1.1764705882352942, 100, 59.294117647058826}},
         {{100, 23.92156862745098, 60}, {0, 18.823529411764707, 7.529411764705882}},
         {{37.64705882352941, 11.372549019607844, 45.88235294117647},
          {76.47058823529412, 76.47058823529412, 45.88235294117647}}}};
    const std::vector<std::pair<double, Point>> queries{
        {100, {5.098039215686274, 36.86274509803921, -20}},
        {85.01176470588236, {56.470588235294116, 56.470588235294116, 56.470588235294116}}};
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        std::vector<Conductor> layout = layouts[i];
        const auto [hr, p] = queries[i];
        while (!layout.empty()) {
            const double all = rs::clearance(layout, hr, p);
            layout.pop_back();
            EXPECT_GE(all, rs::clearance(layout, hr, p) - kTol) << "layout " << i;
        }
    }
}

TEST(RollingSphere, MovingOrTurningTheLayoutChangesNothing)
{
    std::mt19937 rng(13);
    for (int layoutIndex = 0; layoutIndex < 20; ++layoutIndex) {
        const double hr = std::uniform_real_distribution<double>(15, 60)(rng);
        const double angle = std::uniform_real_distribution<double>(0, 6.283)(rng);
        const double ca = std::cos(angle), sa = std::sin(angle);
        auto move = [&](Point p) {
            return Point{ca * p.x - sa * p.y + 123.5, sa * p.x + ca * p.y - 77.25, p.z};
        };
        const std::vector<Conductor> layout = randomLayout(rng, 5);
        std::vector<Conductor> moved;
        for (const Conductor &c : layout) moved.push_back({move(c.a), move(c.b)});
        const rs::Layout original(layout, hr), turned(moved, hr);
        for (int i = 0; i < 20; ++i) {
            const Point p = randomPoint(rng);
            EXPECT_NEAR(turned.clearance(move(p)), original.clearance(p), kTol);
        }
    }
}

// A prepared layout keeps what it works out on first need (the curves where the obstacles meet,
// their vertices, the pocket fill): an answer must not depend on what was asked before it.
TEST(RollingSphere, AnswersDoNotDependOnEarlierQuestions)
{
    std::mt19937 rng(17);
    for (int layoutIndex = 0; layoutIndex < 15; ++layoutIndex) {
        const double hr = std::uniform_real_distribution<double>(15, 60)(rng);
        const std::vector<Conductor> layout = randomLayout(rng, 7);
        std::vector<Point> points;
        for (int i = 0; i < 30; ++i) points.push_back(randomPoint(rng));
        const rs::Layout forward(layout, hr), backward(layout, hr);
        std::vector<double> ahead(points.size()), behind(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) ahead[i] = forward.clearance(points[i]);
        for (std::size_t i = points.size(); i-- > 0;) behind[i] = backward.clearance(points[i]);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const double alone = rs::clearance(layout, hr, points[i]);
            EXPECT_NEAR(ahead[i], alone, kTol) << "layout " << layoutIndex << ", point " << i;
            EXPECT_NEAR(behind[i], alone, kTol) << "layout " << layoutIndex << ", point " << i;
        }
    }
}

// Several threads share one prepared layout, as the layout program's checks do.
TEST(RollingSphere, ThreadsSharingALayoutAgreeWithOneThread)
{
    std::mt19937 rng(19);
    const double hr = 45;
    std::vector<Conductor> layout = randomLayout(rng, 12);
    std::vector<Point> points;
    for (int i = 0; i < 200; ++i) points.push_back(randomPoint(rng));
    std::vector<double> expected;
    const rs::Layout alone(layout, hr);
    for (const Point &p : points) expected.push_back(alone.clearance(p));

    const rs::Layout shared(layout, hr);
    constexpr std::size_t kThreads = 4;
    std::vector<std::vector<double>> found(kThreads, std::vector<double>(points.size()));
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            // Each thread starts elsewhere, so they work out the shared parts at the same time.
            for (std::size_t k = 0; k < points.size(); ++k) {
                const std::size_t i = (k + t * points.size() / kThreads) % points.size();
                found[t][i] = shared.clearance(points[i]);
            }
        });
    for (std::thread &thread : threads) thread.join();
    for (std::size_t t = 0; t < kThreads; ++t)
        for (std::size_t i = 0; i < points.size(); ++i)
            EXPECT_NEAR(found[t][i], expected[i], kTol) << "thread " << t << ", point " << i;
}

struct BadRow {
    std::string_view name;
    std::vector<Conductor> layout;
    double hr;
    Point p;
};
class InvalidInput : public testing::TestWithParam<BadRow> {};

TEST_P(InvalidInput, IsRejected)
{
    const BadRow &row = GetParam();
    EXPECT_THROW(rs::clearance(row.layout, row.hr, row.p), std::invalid_argument);
}

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidInput,
    testing::Values(BadRow{"ZeroRadius", {rod(0, 0, 10)}, 0, {}},
                    BadRow{"NegativeRadius", {rod(0, 0, 10)}, -30, {}},
                    BadRow{"NanRadius", {rod(0, 0, 10)}, kNan, {}},
                    BadRow{"InfiniteRadius", {rod(0, 0, 10)}, kInf, {}},
                    BadRow{"NanConductor", {rod(kNan, 0, 10)}, 30, {}},
                    BadRow{"InfiniteConductor", {{{0, 0, 0}, {0, 0, kInf}}}, 30, {}},
                    BadRow{"EndBelowGround", {{{0, 0, -0.5}, {0, 0, 10}}}, 30, {}},
                    BadRow{"NanPoint", {rod(0, 0, 10)}, 30, {kNan, 0, 0}},
                    BadRow{"InfinitePoint", {rod(0, 0, 10)}, 30, {0, 0, -kInf}}),
    [](const auto &info) { return std::string(info.param.name); });

// Thousands of conductors all within reach of each other are no site: the engine refuses them
// when it prepares the layout, saying why, rather than take the machine's memory.
TEST(RollingSphereLimits, DenseTangleIsRefused)
{
    std::vector<rs::Conductor> tangle;
    for (int i = 0; i < 4000; ++i) {
        const double x = i % 64, y = (i / 64) % 64;
        tangle.push_back({{x, y, 10.0 + i % 7}, {x + 3, y + 2, 12}});
    }
    try {
        const rs::Layout layout(tangle, 45);
        ADD_FAILURE() << "a tangle of 4000 conductors was prepared";
    } catch (const rs::LimitExceeded &e) {
        EXPECT_NE(std::string_view(e.what()).find("接闪器过于密集"), std::string_view::npos);
    }
}

} // namespace
