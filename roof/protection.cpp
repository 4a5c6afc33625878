#include "roof/protection.h"

#include <algorithm>

namespace calc::roof {

std::vector<ObjectProtection> objectProtections(const layout::Layout &layout,
                                                const SiteRoofs &roofs,
                                                std::span<const layout::ObjectVerdict> sphere)
{
    std::vector<ObjectProtection> result(layout.objects.size());
    for (std::size_t i = 0; i < result.size() && i < sphere.size(); ++i)
        result[i].isProtected = sphere[i].isProtected;
    for (std::size_t b = 0; b < roofs.buildings.size(); ++b) {
        const BuildingRoofs &building = roofs.buildings[b];
        for (const std::size_t i : building.parts) result[i].building = b;
        if (building.state != BuildingState::Checked) continue;
        // A part is protected by the mesh when each roof its top makes passes.
        for (const std::size_t i : building.parts) {
            bool onRoof = false, allPass = true;
            for (const Roof &roof : building.roofs)
                if (std::ranges::find(roof.parts, i) != roof.parts.end()) {
                    onRoof = true;
                    allPass = allPass && roof.meshPasses;
                }
            if (onRoof && allPass) result[i] = {Method::Mesh, true, b};
        }
        for (const RooftopObject &o : building.rooftop)
            if (o.metal) result[o.object] = {Method::Bonded, true, b};
    }
    return result;
}

} // namespace calc::roof
