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

void Model::findCircles() const
{
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece &a = pieces[i];
        if (a.kind == Kind::Cylinder) continue;
        for (std::size_t j = i + 1; j < pieces.size(); ++j) {
            const Piece &b = pieces[j];
            if (b.kind == Kind::Cylinder || a.owner == b.owner || !ownersNear(a.owner, b.owner))
                continue;
            if (a.kind == Kind::Plane || b.kind == Kind::Plane) {
                const Piece &round = a.kind == Kind::Plane ? b : a;
                const double h = hr - round.c.z;
                if (std::abs(h) >= hr) continue;
                roundCircles.push_back(
                    {{round.c.x, round.c.y, hr}, {0, 0, 1}, std::sqrt(hr * hr - h * h)});
                continue;
            }
            const Point ab = b.c - a.c;
            const double len = norm(ab);
            if (len <= 0 || len >= 2 * hr) continue;
            roundCircles.push_back(
                {a.c + 0.5 * ab, (1 / len) * ab, std::sqrt(hr * hr - 0.25 * len * len)});
        }
    }
}

const std::vector<Vertex> &Model::vertices() const
{
    std::call_once(roundVerticesMade, [this] { findVertices(); });
    return roundVertices;
}

void Model::findVertices() const
{
    std::vector<std::size_t> round;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].kind != Kind::Cylinder) round.push_back(i);
    auto near = [&](std::size_t a, std::size_t b) {
        return pieces[a].owner != pieces[b].owner && ownersNear(pieces[a].owner, pieces[b].owner);
    };
    std::array<Point, 2> found{};
    for (std::size_t i = 0; i < round.size(); ++i)
        for (std::size_t j = i + 1; j < round.size(); ++j) {
            if (!near(round[i], round[j])) continue;
            for (std::size_t k = j + 1; k < round.size(); ++k) {
                if (!near(round[i], round[k]) || !near(round[j], round[k])) continue;
                const int n = closedFormVertices(pieces[round[i]], pieces[round[j]],
                                                 pieces[round[k]], hr, found);
                for (int m = 0; m < n; ++m) {
                    const Point c = found[static_cast<std::size_t>(m)];
                    if (isFree(c)) roundVertices.emplace_back(c);
                }
            }
        }
}

} // namespace calc::rolling_sphere::detail
