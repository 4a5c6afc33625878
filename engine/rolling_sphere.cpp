// The public API: checks its input, prepares the layout's model once, and runs a search per
// query (the account of the method is in engine/rolling_sphere.h).
#include "engine/rolling_sphere.h"

#include "engine/detail/search.h"

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

namespace calc::rolling_sphere {
namespace {

bool finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

} // namespace

struct Layout::Impl {
    detail::Model model;
};

Layout::Layout(std::span<const Conductor> conductors, double hr) : impl_(std::make_unique<Impl>())
{
    if (!std::isfinite(hr) || hr <= 0)
        throw std::invalid_argument("rolling sphere: the radius must be a positive number");
    impl_->model.hr = hr;
    impl_->model.conductors.assign(conductors.begin(), conductors.end());
    for (const Conductor &k : conductors) {
        if (!finite(k.a) || !finite(k.b))
            throw std::invalid_argument("rolling sphere: a conductor coordinate is not a number");
        if (k.a.z < 0 || k.b.z < 0)
            throw std::invalid_argument("rolling sphere: a conductor end lies below the ground");
        for (const Point &e : {k.a, k.b}) {
            if (impl_->model.empty) {
                impl_->model.low = impl_->model.high = e;
                impl_->model.empty = false;
            }
            impl_->model.low = {std::min(impl_->model.low.x, e.x),
                                std::min(impl_->model.low.y, e.y),
                                std::min(impl_->model.low.z, e.z)};
            impl_->model.high = {std::max(impl_->model.high.x, e.x),
                                 std::max(impl_->model.high.y, e.y),
                                 std::max(impl_->model.high.z, e.z)};
        }
    }
    impl_->model.findSharedEnds();
    impl_->model.buildPieces();
    impl_->model.buildIndex();
    impl_->model.buildVertexCells();
    impl_->model.findNeighbours();
    impl_->model.findPartners();
}

Layout::~Layout() = default;
Layout::Layout(Layout &&) noexcept = default;
Layout &Layout::operator=(Layout &&) noexcept = default;

double Layout::clearance(Point p) const
{
    return clearance(p, std::numeric_limits<double>::infinity());
}

double Layout::clearance(Point p, double limit) const
{
    if (!finite(p))
        throw std::invalid_argument("rolling sphere: a point coordinate is not a number");
    if (std::isnan(limit)) throw std::invalid_argument("rolling sphere: the limit is not a number");
    return detail::Search(impl_->model, p).run(limit);
}

Layout::Nearest Layout::nearest(Point p, double limit, std::optional<Point> hint) const
{
    if (!finite(p))
        throw std::invalid_argument("rolling sphere: a point coordinate is not a number");
    if (std::isnan(limit)) throw std::invalid_argument("rolling sphere: the limit is not a number");
    detail::Search search(impl_->model, p);
    const double value = search.run(limit, hint);
    return {value, search.centre()};
}

double Layout::conductorMargin(Point c) const
{
    if (!finite(c))
        throw std::invalid_argument("rolling sphere: a point coordinate is not a number");
    // The nearest conductor, looked for ever farther out until one is nearer than the search
    // went.
    const detail::Model &m = impl_->model;
    double margin = std::numeric_limits<double>::infinity();
    for (double reach = m.hr; !m.conductors.empty(); reach *= 4) {
        m.nearConductors(c, c, reach, [&](std::size_t k) {
            const Conductor &s = m.conductors[k];
            margin = std::min(margin, std::sqrt(detail::pointSegmentDist2(c, s.a, s.b)));
        });
        if (margin <= reach) break;
    }
    return margin - m.hr;
}

bool Layout::reachable(Point c) const
{
    if (!finite(c))
        throw std::invalid_argument("rolling sphere: a point coordinate is not a number");
    return impl_->model.reachable(c);
}

double Layout::radius() const { return impl_->model.hr; }

double clearance(std::span<const Conductor> conductors, double hr, Point p)
{
    return Layout(conductors, hr).clearance(p);
}

} // namespace calc::rolling_sphere
