// The circles and vertices where the plane and end spheres meet, worked out once per layout
// (see engine/rolling_sphere.h).
#include "engine/detail/model.h"

#include <array>
#include <cmath>

namespace calc::rolling_sphere::detail {

const std::vector<Circle> &Model::circles() const
{
    std::call_once(roundCirclesMade, [this] { findCircles(); });
    return roundCircles;
}

namespace {

// A box on the plan round a circle or a point.
PlanBox boxAround(Point m, double r) { return {m.x - r, m.y - r, m.x + r, m.y + r}; }

} // namespace

void Model::findCircles() const
{
    // Each end sphere meets the plane and the spheres of the conductors within 2 hr of it.
    std::vector<std::size_t> near;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece &a = pieces[i];
        if (a.kind == Kind::Cylinder) continue;
        std::vector<std::size_t> others;
        if (a.kind == Kind::Plane) {
            for (std::size_t j = i + 1; j < pieces.size(); ++j) others.push_back(j);
        } else {
            nearConductors(a.c, a.c, 2 * hr, near);
            for (const std::size_t k : near)
                for (std::size_t j = std::max(i + 1, pieceStart[k]); j < pieceStart[k + 1]; ++j)
                    others.push_back(j);
        }
        for (const std::size_t j : others) {
            const Piece &b = pieces[j];
            if (b.kind == Kind::Cylinder || a.owner == b.owner || !ownersNear(a.owner, b.owner))
                continue;
            if (a.kind == Kind::Plane || b.kind == Kind::Plane) {
                const Piece &round = a.kind == Kind::Plane ? b : a;
                const double h = hr - round.c.z;
                if (std::abs(h) >= hr) continue;
                roundCircles.push_back(
                    {{round.c.x, round.c.y, hr}, {0, 0, 1}, std::sqrt(hr * hr - h * h), {}, {}});
                continue;
            }
            const Point ab = b.c - a.c;
            const double len = norm(ab);
            if (len <= 0 || len >= 2 * hr) continue;
            roundCircles.push_back(
                {a.c + 0.5 * ab, (1 / len) * ab, std::sqrt(hr * hr - 0.25 * len * len), {}, {}});
        }
    }
    // Along each axis a circle reaches r times the sine of its tilt from that axis. One lying
    // wholly below z = hr holds no free centre and is dropped.
    std::erase_if(roundCircles, [this](Circle &c) {
        const Point reach{c.r * std::sqrt(std::max(0.0, 1 - sq(c.axis.x))),
                          c.r * std::sqrt(std::max(0.0, 1 - sq(c.axis.y))),
                          c.r * std::sqrt(std::max(0.0, 1 - sq(c.axis.z)))};
        c.low = c.m - reach;
        c.high = c.m + reach;
        c.low.z = std::max(c.low.z, hr - kFeasibleSlack);
        return c.high.z < c.low.z;
    });
    std::vector<PlanBox> boxes;
    for (const Circle &c : roundCircles) boxes.push_back({c.low.x, c.low.y, c.high.x, c.high.y});
    circleIndex = PlanIndex(boxes, 2 * hr);
}

const std::vector<Vertex> &Model::vertices() const
{
    std::call_once(roundVerticesMade, [this] { findVertices(); });
    return roundVertices;
}

void Model::findVertices() const
{
    std::vector<std::size_t> round;
    std::vector<std::size_t> place(pieces.size(), 0); // in round
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].kind != Kind::Cylinder) {
            place[i] = round.size();
            round.push_back(i);
        }
    auto near = [&](std::size_t a, std::size_t b) {
        return pieces[a].owner != pieces[b].owner && ownersNear(pieces[a].owner, pieces[b].owner);
    };
    // Two spheres of radius hr meet only when their centres lie within 2 hr.
    const double reach2 = sq(2 * hr) * (1 + 1e-12);
    auto meets = [&](const Piece &a, const Piece &b) {
        return a.kind == Kind::Plane || b.kind == Kind::Plane ||
               dot(a.c - b.c, a.c - b.c) <= reach2;
    };
    // Three surfaces that meet at a point lie within 2 hr of each other: each sphere's
    // neighbours come from the conductors near it, the plane's are every sphere.
    std::vector<std::vector<std::size_t>> after(round.size()); // later neighbours, in order
    std::vector<std::size_t> conductorsNear;
    for (std::size_t i = 0; i < round.size(); ++i) {
        const Piece &a = pieces[round[i]];
        if (a.kind == Kind::Plane) {
            for (std::size_t j = i + 1; j < round.size(); ++j)
                if (near(round[i], round[j])) after[i].push_back(j);
            continue;
        }
        nearConductors(a.c, a.c, 2 * hr, conductorsNear);
        for (const std::size_t k : conductorsNear)
            for (std::size_t p = pieceStart[k]; p < pieceStart[k + 1]; ++p)
                if (pieces[p].kind != Kind::Cylinder && place[p] > i && meets(a, pieces[p]) &&
                    near(round[i], p))
                    after[i].push_back(place[p]);
    }
    std::array<Point, 2> found{};
    const double slack = sq(hr - kFeasibleSlack);
    std::size_t blocker = 0;
    const auto meet = [&](std::size_t i, std::size_t j, std::size_t k) {
        const int n =
            closedFormVertices(pieces[round[i]], pieces[round[j]], pieces[round[k]], hr, found);
        for (int m = 0; m < n; ++m) {
            const Point c = found[static_cast<std::size_t>(m)];
            // Most points are inside an obstacle, often the one the last point was inside:
            // it is asked first.
            if (c.z < hr - kFeasibleSlack ||
                pointSegmentDist2(c, conductors[blocker].a, conductors[blocker].b) < slack)
                continue;
            bool free = true;
            nearConductors(c, c, hr, [&](std::size_t k) {
                if (free && pointSegmentDist2(c, conductors[k].a, conductors[k].b) < slack) {
                    free = false;
                    blocker = k;
                }
            });
            if (free) roundVertices.emplace_back(c);
        }
    };
    for (std::size_t i = 0; i < round.size(); ++i) {
        // The plane neighbours every sphere low enough: its third surface comes from the
        // second's neighbours (two spheres that meet lie within 2 hr, so those hold them all),
        // not from every sphere of the site. Both lists are in order, so the vertices come
        // in the same order either way.
        const bool plane = pieces[round[i]].kind == Kind::Plane;
        for (const std::size_t j : after[i])
            for (const std::size_t k : plane ? after[j] : after[i]) {
                if (k <= j || !meets(pieces[round[j]], pieces[round[k]]) ||
                    !near(round[j], round[k]))
                    continue;
                if (plane && !near(round[i], round[k])) continue;
                meet(i, j, k);
            }
    }
    std::vector<PlanBox> boxes;
    for (const Vertex &v : roundVertices) boxes.push_back(boxAround(v.at, 0));
    vertexIndex = PlanIndex(boxes, 2 * hr);
}

} // namespace calc::rolling_sphere::detail
