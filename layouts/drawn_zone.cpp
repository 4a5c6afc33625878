#include "layouts/drawn_zone.h"

#include <algorithm>

namespace calc::layout {

PlanZone drawnZone(const Layout &layout, const rolling_sphere::Layout &engine, double height)
{
    if (layout.conductors.empty()) return {};
    const PlanBox box = planBox(layout);
    const double size = std::max(box.maxX - box.minX, box.maxY - box.minY);
    return planZone(engine, box, height, size / 60, 0.04);
}

} // namespace calc::layout
