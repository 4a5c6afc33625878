// Feeds random layouts and points to the rolling-sphere engine. Input layout: one byte for the
// radius, one for the number of conductors, then six bytes per conductor (two ends on a 100 m
// grid), three for the point, three for a small step away from it and one for a limit near its
// clearance. Checked: no crash, no NaN, the invariants of the geometry (bounds, ground,
// conductors, monotony, Lipschitz), and that a query with a limit agrees with one without.
#include "engine/rolling_sphere.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

namespace rs = calc::rolling_sphere;

constexpr double kTol = 1e-6;

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

class Bytes {
public:
    Bytes(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    double coordinate() { return next() * (100.0 / 255); }

private:
    const std::uint8_t *data_;
    std::size_t size_, at_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Bytes in(data, size);
    const std::uint8_t radiusByte = in.next();
    const double hr = radiusByte == 0 ? 0 : 2 + radiusByte * (98.0 / 255);
    const int count = in.next() % 7;
    std::vector<rs::Conductor> layout;
    double top = 0;
    for (int i = 0; i < count; ++i) {
        rs::Conductor c;
        c.a = {in.coordinate(), in.coordinate(), in.coordinate() * 0.6};
        c.b = {in.coordinate(), in.coordinate(), in.coordinate() * 0.6};
        top = std::max({top, c.a.z, c.b.z});
        layout.push_back(c);
    }
    const rs::Point p{in.coordinate() - 20, in.coordinate() - 20, in.coordinate() - 20};
    const rs::Point q{p.x + (in.next() - 128) / 64.0, p.y + (in.next() - 128) / 64.0,
                      p.z + (in.next() - 128) / 64.0};
    const double limitOffset = (in.next() - 128) / 32.0;

    if (hr <= 0) {
        bool refused = false;
        try {
            (void)rs::clearance(layout, hr, p);
        } catch (const std::invalid_argument &) {
            refused = true;
        }
        require(refused, "a zero radius is accepted");
        return 0;
    }

    const rs::Layout all(layout, hr);
    const double c = all.clearance(p);
    require(std::isfinite(c), "clearance not finite");
    require(c >= -hr - kTol, "clearance below -hr");
    // The centre straight above everything is free and reachable.
    const double above = std::max(hr, top + hr);
    require(c <= std::abs(std::max(above, p.z) - p.z) - hr + kTol, "above the free centre's bound");
    if (p.z <= 0) require(c >= -p.z - kTol, "a sphere cuts into the ground");
    // No sphere touches a conductor.
    if (!layout.empty())
        require(all.clearance(layout.front().b) >= -kTol, "a conductor is reached");
    // A step moves the clearance by no more than its length.
    const double step = std::hypot(q.x - p.x, q.y - p.y, q.z - p.z);
    require(std::abs(all.clearance(q) - c) <= step + kTol, "clearance jumps");
    // Below a limit the answer is the same; above it, the limit or more but never above the truth.
    const double limit = c + limitOffset;
    const double capped = all.clearance(p, limit);
    if (c < limit - kTol)
        require(std::abs(capped - c) <= kTol, "a limit above the clearance changes it");
    else
        require(capped >= std::min(limit, c) - kTol && capped <= c + kTol,
                "a limit below the clearance is not kept");
    // Removing a conductor never raises the clearance.
    if (!layout.empty()) {
        layout.pop_back();
        require(rs::Layout(layout, hr).clearance(p) <= c + kTol, "a conductor lowers clearance");
    }
    return 0;
}
