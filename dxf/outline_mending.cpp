#include "dxf/outline_mending.h"

#include <algorithm>
#include <cmath>

namespace dxf {

using calc::layout::Corner;

namespace {

double distance(const Corner &a, const Corner &b) { return std::hypot(a.x - b.x, a.y - b.y); }

double toSegment(const Corner &q, const Corner &a, const Corner &b)
{
    const double ex = b.x - a.x, ey = b.y - a.y, len2 = ex * ex + ey * ey;
    const double t =
        len2 > 0 ? std::clamp(((q.x - a.x) * ex + (q.y - a.y) * ey) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(a.x + t * ex - q.x, a.y + t * ey - q.y);
}

// A corner where the outline turns straight back: the one before and the one after lie on a
// line through it, on its same side.
bool spike(const Corner &a, const Corner &b, const Corner &c, double tolerance)
{
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    if (ux * vx + uy * vy >= 0) return false;
    // The shorter arm lies along the longer one.
    return distance(a, b) < distance(b, c) ? toSegment(a, b, c) <= tolerance
                                           : toSegment(c, a, b) <= tolerance;
}

// Whether every corner lies within the tolerance of one line: the outline encloses nothing.
bool onOneLine(const std::vector<Corner> &ring, double tolerance)
{
    if (ring.size() < 3) return true;
    const Corner &a = ring.front();
    const Corner *far = &a;
    for (const Corner &c : ring)
        if (distance(a, c) > distance(a, *far)) far = &c;
    const double len = distance(a, *far);
    if (!(len > 0)) return true;
    for (const Corner &c : ring)
        if (std::abs((far->x - a.x) * (c.y - a.y) - (far->y - a.y) * (c.x - a.x)) / len > tolerance)
            return false;
    return true;
}

} // namespace

double ringArea(const std::vector<Corner> &ring)
{
    double twice = 0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += (ring[j].x - ring[i].x) * (ring[j].y + ring[i].y);
    return std::abs(twice) / 2;
}

MendedOutline mendOutline(std::vector<Corner> ring, double tolerance)
{
    MendedOutline m;
    // The closing corner repeated, as many drawings close their polylines.
    while (ring.size() > 1 && distance(ring.front(), ring.back()) <= tolerance * 1e-6)
        ring.pop_back();
    // Corners on the one before (within a thousandth of the tolerance: finely drawn arcs keep
    // their chords): one corner, one edge of no length fewer.
    const double same = tolerance * 1e-3;
    int repeated = 0;
    std::vector<Corner> kept;
    for (const Corner &c : ring) {
        if (!kept.empty() && distance(kept.back(), c) <= same) {
            ++repeated;
            continue;
        }
        kept.push_back(c);
    }
    while (kept.size() > 1 && distance(kept.front(), kept.back()) <= same) {
        kept.pop_back();
        ++repeated;
    }
    // Corners all on one line enclose nothing, whatever spikes they make.
    if (kept.size() >= 3 && onOneLine(kept, tolerance)) {
        m.ring = std::move(kept);
        m.fault = QStringLiteral("面积为零");
        return m;
    }
    // Spikes, each taken out until none is left (taking one can leave another).
    int spikes = 0;
    for (bool found = true; found && kept.size() >= 3;) {
        found = false;
        for (std::size_t i = 0; i < kept.size() && kept.size() >= 3; ++i) {
            const std::size_t n = kept.size();
            if (!spike(kept[(i + n - 1) % n], kept[i], kept[(i + 1) % n], tolerance)) continue;
            kept.erase(kept.begin() + std::ptrdiff_t(i));
            ++spikes;
            found = true;
            // The neighbours may now repeat each other.
            const std::size_t at = i % kept.size(), before = (at + kept.size() - 1) % kept.size();
            if (kept.size() > 1 && distance(kept[before], kept[at]) <= same) {
                kept.erase(kept.begin() + std::ptrdiff_t(at));
                ++repeated;
            }
        }
    }
    m.ring = std::move(kept);
    if (repeated > 0)
        m.mends << QStringLiteral("去掉了 %1 个重合的角点（长度为零的边）").arg(repeated);
    if (spikes > 0) m.mends << QStringLiteral("去掉了 %1 处折回的尖刺").arg(spikes);
    if (m.ring.size() < 3)
        m.fault = QStringLiteral("不足三个角点");
    else if (onOneLine(m.ring, tolerance))
        m.fault = QStringLiteral("面积为零");
    else if (!calc::layout::isSimplePolygon(m.ring))
        m.fault = QStringLiteral("自相交");
    else if (!(ringArea(m.ring) > tolerance * tolerance))
        m.fault = QStringLiteral("面积为零");
    return m;
}

bool liesWithin(const std::vector<Corner> &inner, const std::vector<Corner> &outer,
                double tolerance)
{
    for (const Corner &q : inner) {
        bool in = false;
        double nearest = INFINITY;
        for (std::size_t i = 0, j = outer.size() - 1; i < outer.size(); j = i++) {
            const Corner &a = outer[i], &b = outer[j];
            if ((a.y > q.y) != (b.y > q.y) && q.x < (b.x - a.x) * (q.y - a.y) / (b.y - a.y) + a.x)
                in = !in;
            nearest = std::min(nearest, toSegment(q, a, b));
        }
        if (!in && nearest > tolerance) return false;
    }
    return true;
}

} // namespace dxf
