// The circles and vertices where the plane and end spheres meet, worked out once per layout
// (see engine/rolling_sphere.h).
#include "engine/detail/model.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace calc::rolling_sphere::detail {

const std::vector<Circle> &Model::circles() const
{
    std::call_once(roundCirclesMade, [this] { findCircles(); });
    return roundCircles;
}

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

void Model::buildVertexCells()
{
    std::vector<std::size_t> spheres;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].kind == Kind::Sphere) spheres.push_back(i);
    if (spheres.empty()) return;
    double x0 = pieces[spheres[0]].c.x, x1 = x0, y0 = pieces[spheres[0]].c.y, y1 = y0;
    for (const std::size_t i : spheres) {
        x0 = std::min(x0, pieces[i].c.x), x1 = std::max(x1, pieces[i].c.x);
        y0 = std::min(y0, pieces[i].c.y), y1 = std::max(y1, pieces[i].c.y);
    }
    // Cells of hr, no more than about a million however far apart the spheres lie.
    cellSize = std::max({hr, (x1 - x0) / 1024, (y1 - y0) / 1024});
    cellX0 = x0, cellY0 = y0;
    cellsX = static_cast<int>((x1 - x0) / cellSize) + 1;
    cellsY = static_cast<int>((y1 - y0) / cellSize) + 1;
    vertexCells = std::make_unique<VertexCell[]>(static_cast<std::size_t>(cellsX) * cellsY);
    for (const std::size_t i : spheres) {
        const int cx = std::min(cellsX - 1, static_cast<int>((pieces[i].c.x - x0) / cellSize));
        const int cy = std::min(cellsY - 1, static_cast<int>((pieces[i].c.y - y0) / cellSize));
        vertexCells[static_cast<std::size_t>(cy) * cellsX + cx].spheres.push_back(i);
    }
}

void Model::findVertices(VertexCell &cell) const
{
    auto near = [&](std::size_t a, std::size_t b) {
        return pieces[a].owner != pieces[b].owner && ownersNear(pieces[a].owner, pieces[b].owner);
    };
    // Two spheres of radius hr meet only when their centres lie within 2 hr.
    const double reach2 = sq(2 * hr) * (1 + 1e-12);
    auto meets = [&](std::size_t a, std::size_t b) {
        return dot(pieces[a].c - pieces[b].c, pieces[a].c - pieces[b].c) <= reach2;
    };
    // A sphere's later neighbours, in order: the spheres it meets, of conductors near it.
    std::vector<std::size_t> conductorsNear;
    const auto after = [&](std::size_t i, std::vector<std::size_t> &out) {
        out.clear();
        nearConductors(pieces[i].c, pieces[i].c, 2 * hr, conductorsNear);
        for (const std::size_t k : conductorsNear)
            for (std::size_t p = pieceStart[k]; p < pieceStart[k + 1]; ++p)
                if (pieces[p].kind == Kind::Sphere && p > i && meets(i, p) && near(i, p))
                    out.push_back(p);
    };
    std::array<Point, 2> found{};
    std::vector<Point> points;
    const double slack = sq(hr - kFeasibleSlack);
    std::size_t blocker = 0;
    const auto meet = [&](std::size_t i, std::size_t j, std::size_t k) {
        const int n = closedFormVertices(pieces[i], pieces[j], pieces[k], hr, found);
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
            if (free) points.push_back(c);
        }
    };
    std::vector<std::vector<std::size_t>> later(cell.spheres.size());
    for (std::size_t n = 0; n < cell.spheres.size(); ++n) after(cell.spheres[n], later[n]);
    // The plane with two spheres, the first of them here; then three spheres, the first here.
    for (std::size_t n = 0; n < cell.spheres.size(); ++n) {
        const std::size_t j = cell.spheres[n];
        if (!near(0, j)) continue;
        for (const std::size_t k : later[n])
            if (near(0, k)) meet(0, j, k);
    }
    for (std::size_t n = 0; n < cell.spheres.size(); ++n) {
        const std::size_t i = cell.spheres[n];
        for (const std::size_t j : later[n])
            for (const std::size_t k : later[n])
                if (k > j && meets(j, k) && near(j, k)) meet(i, j, k);
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const Point &u, const Point &v) { return u.x < v.x; });
    cell.vertices.reserve(points.size());
    for (const Point &c : points) cell.vertices.emplace_back(c);
}

} // namespace calc::rolling_sphere::detail
