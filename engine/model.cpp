// Preparing a layout: the ends conductors share, the surfaces that can bound a free centre, and
// which surfaces each cylinder can meet (see engine/rolling_sphere.h).
#include "engine/detail/model.h"

#include <array>
#include <cmath>
#include <string>

namespace calc::rolling_sphere::detail {

namespace {

LimitExceeded tooDense()
{
    return LimitExceeded("接闪器过于密集：彼此相距两倍滚球半径以内的接闪器超过 " +
                         std::to_string(kMostNearPairs) + " 对，超出计算的限度");
}

} // namespace

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
    pieceStart.assign(conductors.size() + 1, 0);
    for (std::size_t k = 0; k < conductors.size(); ++k) {
        pieceStart[k] = pieces.size();
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
    pieceStart[conductors.size()] = pieces.size();
}

void Model::buildIndex()
{
    std::vector<PlanBox> boxes;
    boxes.reserve(conductors.size());
    for (const Conductor &k : conductors)
        boxes.push_back({std::min(k.a.x, k.b.x), std::min(k.a.y, k.b.y), std::max(k.a.x, k.b.x),
                         std::max(k.a.y, k.b.y)});
    index = PlanIndex(boxes, 2 * hr);
}

void Model::findNeighbours()
{
    neighbourStart.assign(conductors.size() + 1, 0);
    const double reach2 = 4 * hr * hr;
    std::vector<std::size_t> near;
    for (std::size_t k = 0; k < conductors.size(); ++k) {
        neighbourStart[k] = neighbours.size();
        const Conductor &s = conductors[k];
        nearConductors({std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y), 0},
                       {std::max(s.a.x, s.b.x), std::max(s.a.y, s.b.y), 0}, 2 * hr, near);
        for (const std::size_t j : near) {
            const Conductor &t = conductors[j];
            if (segmentSegmentDist2(s.a, s.b, t.a, t.b) < reach2)
                neighbours.push_back(static_cast<std::uint32_t>(j));
        }
        if (neighbours.size() > kMostNearPairs) throw tooDense();
    }
    neighbourStart[conductors.size()] = neighbours.size();
}

void Model::findPartners()
{
    // A cylinder can meet the surfaces of the conductors within 2 hr of its own, and the plane.
    partnerStart.assign(pieces.size() + 1, 0);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        partnerStart[i] = partners.size();
        if (pieces[i].kind != Kind::Cylinder) continue;
        const int owner = pieces[i].owner;
        if (ownersNear(owner, -1)) partners.push_back(0);
        for (std::size_t n = neighbourStart[static_cast<std::size_t>(owner)];
             n < neighbourStart[static_cast<std::size_t>(owner) + 1]; ++n) {
            const std::size_t k = neighbours[n];
            if (static_cast<int>(k) == owner) continue;
            for (std::size_t j = pieceStart[k]; j < pieceStart[k + 1]; ++j)
                partners.push_back(static_cast<std::uint32_t>(j));
        }
        if (partners.size() > kMostNearPairs) throw tooDense();
    }
    partnerStart[pieces.size()] = partners.size();
    slots = std::make_unique<std::atomic<const Edge *>[]>(partners.size());
}

} // namespace calc::rolling_sphere::detail
