// Preparing a layout: the ends conductors share, the surfaces that can bound a free centre, and
// which surfaces each cylinder can meet (see engine/rolling_sphere.h).
#include "engine/detail/model.h"

#include <array>
#include <cmath>

namespace calc::rolling_sphere::detail {

void Model::findSharedEnds()
{
    struct End {
        Point at;
        std::size_t index;
    };
    std::vector<End> ends;
    for (std::size_t k = 0; k < conductors.size(); ++k)
        for (std::size_t e = 0; e < 2; ++e)
            ends.push_back({e == 0 ? conductors[k].a : conductors[k].b, 2 * k + e});
    auto key = [](const End &u) { return std::array<double, 3>{u.at.x, u.at.y, u.at.z}; };
    std::sort(ends.begin(), ends.end(), [&](const End &u, const End &v) {
        return key(u) != key(v) ? key(u) < key(v) : u.index < v.index;
    });
    sharedEnds.assign(conductors.size(), 0);
    for (std::size_t i = 1; i < ends.size(); ++i)
        if (key(ends[i]) == key(ends[i - 1]) && ends[i].index / 2 != ends[i - 1].index / 2)
            sharedEnds[ends[i].index / 2] |= static_cast<std::uint8_t>(1u << (ends[i].index % 2));
}

void Model::buildPieces()
{
    pieces.push_back({Kind::Plane, -1, {}, {}, {}, {}, 0, {}, {}});
    setBox(pieces.back(), {}, hr);
    for (std::size_t k = 0; k < conductors.size(); ++k) {
        const Conductor &s = conductors[k];
        const int owner = static_cast<int>(k);
        const Point ab = s.b - s.a;
        const double len = norm(ab);
        const Point along = len > 0 ? (1 / len) * ab : Point{};
        for (int e = 0; e < (len > 0 ? 2 : 1); ++e) {
            const Point end = e == 0 ? s.a : s.b;
            const Point out = e == 0 ? -1.0 * along : along;
            if (sharedEnds[k] & (1u << e)) continue;
            // An end whose outer half-sphere stays below z = hr bounds nothing free.
            const double top = end.z + (out.z >= 0 ? hr : hr * std::sqrt(1 - out.z * out.z));
            if (top < hr * (1 - 1e-12)) continue;
            pieces.push_back({Kind::Sphere, owner, end, out, {}, {}, 0, {}, {}});
            setBox(pieces.back(), s, hr);
        }
        if (len <= 0) continue;
        if (std::max(s.a.z, s.b.z) + hr * std::sqrt(std::max(0.0, 1 - sq(along.z))) <
            hr * (1 - 1e-12))
            continue;
        Piece y{Kind::Cylinder, owner, s.a, along, {}, {}, len, {}, {}};
        setBox(y, s, hr);
        const Point horizontal = cross(y.d, {0, 0, 1});
        y.n1 = norm(horizontal) > 1e-9 ? (1 / norm(horizontal)) * horizontal : Point{1, 0, 0};
        y.n2 = cross(y.d, y.n1);
        pieces.push_back(y);
    }
}

void Model::findPartners()
{
    partnerStart.assign(pieces.size() + 1, 0);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        partnerStart[i] = partners.size();
        if (pieces[i].kind != Kind::Cylinder) continue;
        for (std::size_t j = 0; j < pieces.size(); ++j)
            if (j != i && pieces[j].owner != pieces[i].owner &&
                ownersNear(pieces[i].owner, pieces[j].owner))
                partners.push_back(static_cast<std::uint32_t>(j));
    }
    partnerStart[pieces.size()] = partners.size();
    slots = std::make_unique<std::atomic<const Edge *>[]>(partners.size());
}

} // namespace calc::rolling_sphere::detail
