#include "layouts/layout.h"

#include "layouts/in_parallel.h"
#include "layouts/surface_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <thread>

namespace calc::layout {

using rolling_sphere::Point;

bool isSphereRadius(double hr)
{
    return std::ranges::any_of(kSphereRadii, [hr](int r) { return hr == r; });
}

std::string newObjectName(const Layout &layout)
{
    for (std::size_t n = layout.objects.size() + 1;; ++n) {
        const std::string name = "建筑物" + std::to_string(n);
        if (std::none_of(layout.objects.begin(), layout.objects.end(),
                         [&](const Object &o) { return o.name == name; }))
            return name;
    }
}

std::vector<rolling_sphere::Conductor> engineConductors(std::span<const Conductor> conductors)
{
    std::vector<rolling_sphere::Conductor> out;
    out.reserve(conductors.size());
    for (const Conductor &c : conductors) {
        if (const Rod *rod = std::get_if<Rod>(&c))
            // The whole rod, not its tip alone: a rod taller than the sphere is touched on its
            // side.
            out.push_back({{rod->x, rod->y, 0}, {rod->x, rod->y, rod->h}});
        else
            out.push_back({std::get<Wire>(c).a, std::get<Wire>(c).b});
    }
    return out;
}

namespace {

double cross(Corner o, Corner a, Corner b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// p lies on the segment ab, given that the three are collinear.
bool withinBox(Corner a, Corner b, Corner p)
{
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

int sign(double v) { return (v > 0) - (v < 0); }

bool segmentsMeet(Corner a, Corner b, Corner c, Corner d)
{
    const int d1 = sign(cross(c, d, a)), d2 = sign(cross(c, d, b));
    const int d3 = sign(cross(a, b, c)), d4 = sign(cross(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    return (d1 == 0 && withinBox(c, d, a)) || (d2 == 0 && withinBox(c, d, b)) ||
           (d3 == 0 && withinBox(a, b, c)) || (d4 == 0 && withinBox(a, b, d));
}

double signedArea(std::span<const Corner> polygon)
{
    double twice = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Corner a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

} // namespace

bool isSimplePolygon(std::span<const Corner> polygon)
{
    const std::size_t n = polygon.size();
    if (n < 3) return false;
    for (const Corner &c : polygon)
        if (!std::isfinite(c.x) || !std::isfinite(c.y)) return false;
    if (!(std::abs(signedArea(polygon)) > 0)) return false;
    for (std::size_t i = 0; i < n; ++i) {
        const Corner a = polygon[i], b = polygon[(i + 1) % n];
        if (a.x == b.x && a.y == b.y) return false;
        for (std::size_t j = i + 1; j < n; ++j) {
            const Corner c = polygon[j], d = polygon[(j + 1) % n];
            if (j == i + 1) {
                // Neighbours share b = c; they must not fold back over each other.
                if (sign(cross(a, b, d)) == 0 && withinBox(a, b, d)) return false;
                if (sign(cross(c, d, a)) == 0 && withinBox(c, d, a)) return false;
            } else if (i == 0 && j == n - 1) {
                // The last edge ends where the first begins.
                if (sign(cross(a, b, c)) == 0 && withinBox(a, b, c)) return false;
                if (sign(cross(c, d, b)) == 0 && withinBox(c, d, b)) return false;
            } else if (segmentsMeet(a, b, c, d)) {
                return false;
            }
        }
    }
    return true;
}

namespace {

void checkInput(const Object &object)
{
    if (!isSimplePolygon(object.footprint))
        throw std::invalid_argument("footprint is not a simple polygon");
    if (!std::isfinite(object.height) || object.height < 0)
        throw std::invalid_argument("object height is negative or not finite");
}

} // namespace

namespace {

// A footprint this long or more is searched in two parts at once (the roof holds most of the
// work, and is cut across); a smaller one is not worth a thread.
constexpr double kSplitFrom = 16.0;

bool large(const Object &object)
{
    double x0 = object.footprint[0].x, x1 = x0, y0 = object.footprint[0].y, y1 = y0;
    for (const Corner &c : object.footprint) {
        x0 = std::min(x0, c.x), x1 = std::max(x1, c.x);
        y0 = std::min(y0, c.y), y1 = std::max(y1, c.y);
    }
    return std::max(x1 - x0, y1 - y0) >= kSplitFrom;
}

ObjectVerdict searchSurface(const rolling_sphere::Layout &engine, const Object &object,
                            const CheckLimits &limits, double floor, bool split = true)
{
    checkInput(object);
    if (!split || !large(object)) return detail::SurfaceSearch(engine, object, limits, floor).run();
    // Each part's answer does not depend on the other's, so the least of them is the same
    // however the threads run; on a tie the first part's stands.
    constexpr unsigned kParts = 2;
    std::atomic<std::size_t> asked{0};
    std::array<ObjectVerdict, kParts> found;
    inParallel(kParts, [&](std::size_t i) {
        detail::SurfaceSearch part(engine, object, limits, floor);
        part.onlyPart(static_cast<unsigned>(i), kParts, asked);
        found[i] = part.run();
    });
    const auto least = std::min_element(found.begin(), found.end(),
                                        [](const ObjectVerdict &a, const ObjectVerdict &b) {
                                            return a.leastClearance < b.leastClearance;
                                        });
    return *least;
}

} // namespace

ObjectVerdict checkObject(const rolling_sphere::Layout &engine, const Object &object,
                          const CheckLimits &limits)
{
    return searchSurface(engine, object, limits, -std::numeric_limits<double>::infinity());
}

ObjectVerdict quickVerdict(const rolling_sphere::Layout &engine, const Object &object,
                           const CheckLimits &limits)
{
    return searchSurface(engine, object, limits, kProtectedFrom);
}

rolling_sphere::Layout prepareEngine(const Layout &layout)
{
    return {engineConductors(layout.conductors), static_cast<double>(layout.hr)};
}

std::vector<ObjectVerdict> checkObjects(const Layout &layout, const CheckLimits &limits)
{
    const rolling_sphere::Layout engine = prepareEngine(layout);
    // The objects on every core, sharing the prepared engine; a large object in parts too,
    // when there are too few of them to keep every core busy.
    const auto largeOnes = std::ranges::count_if(layout.objects, [](const Object &object) {
        return object.footprint.size() >= 3 && large(object);
    });
    const bool split = largeOnes < 2 * static_cast<long>(std::thread::hardware_concurrency());
    std::vector<ObjectVerdict> verdicts(layout.objects.size());
    inParallel(layout.objects.size(), [&](std::size_t i) {
        verdicts[i] = searchSurface(engine, layout.objects[i], limits,
                                    -std::numeric_limits<double>::infinity(), split);
    });
    return verdicts;
}

bool ClosedFormCheck::agrees() const
{
    return std::ranges::all_of(values, &ClosedFormValue::agrees);
}

namespace {

constexpr double kAgreement = 0.001;

// The height of the protected zone above (x, y): the zone is where the clearance is positive,
// and nothing above every conductor is protected.
double zoneHeight(const rolling_sphere::Layout &engine, double x, double y, double top)
{
    if (!(engine.clearance({x, y, 0}) > 0)) return 0;
    double lo = 0, hi = top;
    for (int i = 0; i < 60 && hi - lo > 1e-9; ++i) {
        const double mid = (lo + hi) / 2;
        (engine.clearance({x, y, mid}) > 0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

// How far the zone reaches on the ground from (x, y) in the direction (dx, dy). The zone meets
// the ground tangentially, so its edge is where the clearance rises above a rounding-level
// threshold; the threshold moves the edge by well under a millimetre.
double groundReach(const rolling_sphere::Layout &engine, double x, double y, double dx, double dy,
                   double far)
{
    constexpr double kThreshold = 1e-10;
    if (!(engine.clearance({x, y, 0}) > kThreshold)) return 0;
    double lo = 0, hi = far;
    for (int i = 0; i < 60 && hi - lo > 1e-9; ++i) {
        const double mid = (lo + hi) / 2;
        (engine.clearance({x + mid * dx, y + mid * dy, 0}) > kThreshold ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

ClosedFormValue value(std::string_view name, double closedForm, double engine)
{
    return {name, closedForm, engine, std::abs(closedForm - engine) <= kAgreement};
}

std::optional<ClosedFormCheck> twoRods(Rod a, Rod b, double hr, const rolling_sphere::Layout &eng)
{
    // A rod taller than the sphere protects like one of height hr.
    const double h1 = std::min(a.h, hr), h2 = std::min(b.h, hr);
    const double d = std::hypot(b.x - a.x, b.y - a.y);
    if (!(d > 0)) return std::nullopt;
    // The zone's lowest line across the rods lies d1 from the first.
    const double d1 = ((hr - h2) * (hr - h2) - (hr - h1) * (hr - h1) + d * d) / (2 * d);
    const double b0sq = h1 * (2 * hr - h1) - d1 * d1;
    if (!(d1 > 0 && d1 < d && b0sq > 0)) return std::nullopt;
    const double h0 = hr - std::sqrt((hr - h1) * (hr - h1) + d1 * d1);
    const double b0 = std::sqrt(b0sq);

    const double ux = (b.x - a.x) / d, uy = (b.y - a.y) / d;
    const double px = a.x + d1 * ux, py = a.y + d1 * uy;
    const double top = std::max(a.h, b.h);
    const double far = 2 * hr + d;
    ClosedFormCheck check{ClosedFormKind::TwoRods, d1, {}};
    check.values.push_back(value("h0", h0, zoneHeight(eng, px, py, top)));
    check.values.push_back(value("b0", b0, groundReach(eng, px, py, -uy, ux, far)));
    return check;
}

std::optional<ClosedFormCheck> fourRods(const std::vector<Rod> &rods, double hr,
                                        const rolling_sphere::Layout &eng)
{
    const double h = rods[0].h;
    for (const Rod &r : rods)
        if (r.h != h) return std::nullopt;
    double cx = 0, cy = 0;
    for (const Rod &r : rods) {
        cx += r.x / 4;
        cy += r.y / 4;
    }
    // Four points at one distance from their centroid pair off as opposite corners: a
    // rectangle, with that distance half its diagonal.
    const double half = std::hypot(rods[0].x - cx, rods[0].y - cy);
    const double tol = 1e-9 * std::max(1.0, half);
    if (!(half > 0)) return std::nullopt;
    for (const Rod &r : rods)
        if (std::abs(std::hypot(r.x - cx, r.y - cy) - half) > tol) return std::nullopt;
    for (std::size_t i = 0; i < rods.size(); ++i)
        for (std::size_t j = i + 1; j < rods.size(); ++j)
            if (std::hypot(rods[i].x - rods[j].x, rods[i].y - rods[j].y) <= tol)
                return std::nullopt;

    const double hl = std::min(h, hr);
    const double d3 = 2 * half;
    if (!(d3 < 2 * std::sqrt(hl * (2 * hr - hl)) && half < hr)) return std::nullopt;
    const double h0 = std::sqrt(hr * hr - half * half) + hl - hr;
    if (!(h0 > 0)) return std::nullopt;

    // The closed form gives the zone's lowest point within the rectangle, the sphere resting
    // on all four tips over the centre. The engine's lowest is taken over the centre and the
    // middle of each side, where a sphere resting on the outside of two neighbouring rods sits
    // lowest: on a narrow rectangle the long sides dip below the centre.
    double lowest = zoneHeight(eng, cx, cy, h);
    for (std::size_t i = 0; i < rods.size(); ++i)
        for (std::size_t j = i + 1; j < rods.size(); ++j) {
            const double mx = (rods[i].x + rods[j].x) / 2, my = (rods[i].y + rods[j].y) / 2;
            // The diagonals' midpoints are the centre itself.
            if (std::hypot(mx - cx, my - cy) > tol)
                lowest = std::min(lowest, zoneHeight(eng, mx, my, h));
        }
    ClosedFormCheck check{ClosedFormKind::FourRodRectangle, d3, {}};
    check.values.push_back(value("h0", h0, lowest));
    return check;
}

} // namespace

std::optional<ClosedFormCheck> closedFormCheck(const Layout &layout,
                                               const rolling_sphere::Layout &engine)
{
    std::vector<Rod> rods;
    for (const Conductor &c : layout.conductors) {
        const Rod *rod = std::get_if<Rod>(&c);
        if (!rod) return std::nullopt;
        rods.push_back(*rod);
    }
    if (rods.size() == 2) return twoRods(rods[0], rods[1], layout.hr, engine);
    if (rods.size() == 4) return fourRods(rods, layout.hr, engine);
    return std::nullopt;
}

} // namespace calc::layout
