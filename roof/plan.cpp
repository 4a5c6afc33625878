#include "roof/plan.h"

#include <cmath>

namespace calc::roof {

namespace {

double signedArea(const Ring &ring)
{
    double twice = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Corner a = ring[i], b = ring[(i + 1) % ring.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

} // namespace

double ringLength(const Ring &ring)
{
    double length = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Corner a = ring[i], b = ring[(i + 1) % ring.size()];
        length += std::hypot(b.x - a.x, b.y - a.y);
    }
    return length;
}

double areaOf(const Area &area)
{
    double a = std::abs(signedArea(area.outer));
    for (const Ring &hole : area.holes) a -= std::abs(signedArea(hole));
    return a;
}

double areaOf(const std::vector<Area> &areas)
{
    double a = 0;
    for (const Area &piece : areas) a += areaOf(piece);
    return a;
}

} // namespace calc::roof
